#!/usr/bin/env python3
"""Writes src/resources/brindle.ico: Brindle's icon, a letter with an "open with" arrow.

Two images, 16x16 and 32x32, each 32-bit BGRA with an AND mask, drawn pixel by pixel with
hard edges so that both sizes stay crisp. The output is the same on every run; run it again
after changing a drawing below and commit the .ico with it.

    tools/make-icon.py [OUTPUT]   (default: src/resources/brindle.ico next to this script)
"""

import pathlib
import struct
import sys

# Colours as (red, green, blue).
OUTLINE = (0x24, 0x33, 0x4D)    # dark slate: letter outline and flap
PAPER = (0xFF, 0xF8, 0xE6)      # cream: letter body
FLAP = (0xE9, 0xD6, 0xA8)       # darker cream: the flap's triangle
BADGE = (0xE6, 0x6A, 0x12)      # orange: the round badge
BADGE_RIM = (0x9C, 0x3F, 0x05)  # dark orange: the badge's rim
ARROW = (0xFF, 0xFF, 0xFF)      # white: the arrow on the badge


class Canvas:
    """A square image; None is a transparent pixel, rows run from the top."""

    def __init__(self, size):
        self.size = size
        self.pixels = [[None] * size for _ in range(size)]

    def put(self, x, y, colour):
        if 0 <= x < self.size and 0 <= y < self.size:
            self.pixels[y][x] = colour

    def rect(self, left, top, right, bottom, colour):
        """Fills the rectangle with both corners included."""
        for y in range(top, bottom + 1):
            for x in range(left, right + 1):
                self.put(x, y, colour)

    def frame(self, left, top, right, bottom, colour):
        """Draws the one-pixel border of the rectangle, corners included."""
        for x in range(left, right + 1):
            self.put(x, top, colour)
            self.put(x, bottom, colour)
        for y in range(top, bottom + 1):
            self.put(left, y, colour)
            self.put(right, y, colour)

    def line(self, x0, y0, x1, y1, colour):
        """Bresenham line, both ends included."""
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        while True:
            self.put(x0, y0, colour)
            if x0 == x1 and y0 == y1:
                return
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def polygon(self, points, colour):
        """Fills the pixels whose centres lie inside the polygon (even-odd rule)."""
        for y in range(self.size):
            for x in range(self.size):
                if inside(points, x + 0.5, y + 0.5):
                    self.put(x, y, colour)

    def disc(self, cx, cy, radius, colour):
        """Fills the pixels whose centres lie within radius of (cx, cy)."""
        for y in range(self.size):
            for x in range(self.size):
                if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= radius * radius:
                    self.put(x, y, colour)


def inside(points, px, py):
    result = False
    for i, (x0, y0) in enumerate(points):
        x1, y1 = points[i - 1]
        if (y0 > py) != (y1 > py) and px < x0 + (py - y0) * (x1 - x0) / (y1 - y0):
            result = not result
    return result


def draw_32():
    c = Canvas(32)
    # Letter: body, flap triangle, outline, flap edges.
    c.rect(1, 6, 26, 24, PAPER)
    c.polygon([(1, 6), (27, 6), (14, 17)], FLAP)
    c.frame(1, 6, 26, 24, OUTLINE)
    c.line(1, 6, 13, 16, OUTLINE)
    c.line(26, 6, 14, 16, OUTLINE)
    # Badge over the lower right corner, with a white arrow pointing right.
    c.disc(24, 24, 8, BADGE_RIM)
    c.disc(24, 24, 7, BADGE)
    c.rect(19, 23, 23, 24, ARROW)
    c.polygon([(23, 19), (29, 24), (23, 29)], ARROW)
    return c


def draw_16():
    c = Canvas(16)
    c.rect(0, 2, 12, 12, PAPER)
    c.polygon([(0, 2), (13, 2), (6.5, 8)], FLAP)
    c.frame(0, 2, 12, 12, OUTLINE)
    c.line(0, 2, 6, 8, OUTLINE)
    c.line(12, 2, 6, 8, OUTLINE)
    c.disc(11.5, 11.5, 4.5, BADGE_RIM)
    c.disc(11.5, 11.5, 3.6, BADGE)
    c.rect(8, 11, 10, 11, ARROW)
    c.polygon([(11, 9), (14, 11.5), (11, 14)], ARROW)
    return c


def dib(canvas):
    """BITMAPINFOHEADER, bottom-up BGRA colour rows, then the bottom-up AND mask."""
    size = canvas.size
    colour = bytearray()
    mask = bytearray()
    mask_stride = ((size + 31) // 32) * 4
    for row in reversed(canvas.pixels):
        bits = bytearray(mask_stride)
        for x, pixel in enumerate(row):
            if pixel is None:
                colour += b"\0\0\0\0"
                bits[x // 8] |= 0x80 >> (x % 8)  # 1: the screen shows through
            else:
                red, green, blue = pixel
                colour += bytes((blue, green, red, 0xFF))
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 32, 0,
                         len(colour) + len(mask), 0, 0, 0, 0)
    return header + bytes(colour) + bytes(mask)


def icon_file(canvases):
    images = [dib(c) for c in canvases]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for canvas, image in zip(canvases, images):
        out += struct.pack("<BBBBHHII", canvas.size, canvas.size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    for image in images:
        out += image
    return bytes(out)


def main():
    default = pathlib.Path(__file__).resolve().parent.parent / "src" / "resources" / "brindle.ico"
    target = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else default
    target.write_bytes(icon_file([draw_16(), draw_32()]))
    print(f"wrote {target}")


if __name__ == "__main__":
    main()
