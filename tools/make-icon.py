#!/usr/bin/env python3
"""Writes src/resources/brindle.ico: Brindle's icon, a letter with an "open with" arrow.

Images of 16x16 and 32x32 pixels, each drawn on its own, and of 20, 24, 40, 48 and 64 pixels
(the small and large icon sizes at 125 %, 150 % and 200 %) scaled from the 32x32 drawing. The
small images are 32-bit BGRA, the large scaled ones have a palette of 16 colours; each has an
AND mask. All are drawn pixel by pixel with hard edges so that every size stays crisp. The
output is the same on every run; run it again after changing a drawing below and commit the
.ico with it.

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


def draw_scaled(size):
    """The 32x32 drawing at another size, for displays above 100 %: its shapes scaled, its
    outlines about a pixel wide per 32 pixels of size."""
    c = Canvas(size)
    k = size / 32
    t = max(1, round(k))  # outline width

    def box(left, top, right, bottom):
        """A rectangle of the 32x32 drawing, corners included, as pixels at this size."""
        return (round(left * k), round(top * k), round((right + 1) * k) - 1,
                round((bottom + 1) * k) - 1)

    def scaled(points):
        return [(x * k, y * k) for x, y in points]

    def pixel(x, y):
        """The pixel at this size whose centre matches the centre of a 32x32 pixel."""
        return round((x + 0.5) * k - 0.5), round((y + 0.5) * k - 0.5)

    left, top, right, bottom = box(1, 6, 26, 24)
    c.rect(left, top, right, bottom, PAPER)
    c.polygon(scaled([(1, 6), (27, 6), (14, 17)]), FLAP)
    for i in range(t):
        c.frame(left + i, top + i, right - i, bottom - i, OUTLINE)
    for (x0, y0), (x1, y1) in (((1, 6), (13, 16)), ((26, 6), (14, 16))):
        (x0, y0), (x1, y1) = pixel(x0, y0), pixel(x1, y1)
        for i in range(t):
            c.line(x0, y0 + i, x1, y1 + i, OUTLINE)
    c.disc(24 * k, 24 * k, 8 * k, BADGE_RIM)
    c.disc(24 * k, 24 * k, 8 * k - t, BADGE)
    c.rect(*box(19, 23, 23, 24), ARROW)
    c.polygon(scaled([(23, 19), (29, 24), (23, 29)]), ARROW)
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


def and_mask_row(row):
    """One row of the AND mask: 1 where the screen shows through, padded to 32 bits."""
    bits = bytearray(((len(row) + 31) // 32) * 4)
    for x, pixel in enumerate(row):
        if pixel is None:
            bits[x // 8] |= 0x80 >> (x % 8)
    return bytes(bits)


def dib(canvas, depth):
    """BITMAPINFOHEADER, its palette (4 bits a pixel), the bottom-up colour rows (BGRA at 32
    bits a pixel), then the bottom-up AND mask."""
    size = canvas.size
    palette = []
    if depth == 4:
        palette = [(0, 0, 0)]  # under the transparent pixels
        for row in canvas.pixels:
            for pixel in row:
                if pixel is not None and pixel not in palette:
                    palette.append(pixel)
        assert len(palette) <= 16, "too many colours for 4 bits a pixel"
        palette += [(0, 0, 0)] * (16 - len(palette))
    colour = bytearray()
    mask = bytearray()
    for row in reversed(canvas.pixels):
        if depth == 32:
            for pixel in row:
                if pixel is None:
                    colour += b"\0\0\0\0"
                else:
                    red, green, blue = pixel
                    colour += bytes((blue, green, red, 0xFF))
        else:
            indexes = [0 if p is None else palette.index(p) for p in row]
            packed = bytearray((size + 1) // 2)
            for x, index in enumerate(indexes):
                packed[x // 2] |= index << (4 if x % 2 == 0 else 0)
            colour += packed + bytes(-len(packed) % 4)
        mask += and_mask_row(row)
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, depth, 0,
                         len(colour) + len(mask), 0, 0, len(palette), 0)
    quads = b"".join(bytes((blue, green, red, 0)) for red, green, blue in palette)
    return header + quads + bytes(colour) + bytes(mask)


def icon_file(images):
    """An .ico of (canvas, bits a pixel) pairs."""
    dibs = [dib(canvas, depth) for canvas, depth in images]
    out = bytearray(struct.pack("<HHH", 0, 1, len(dibs)))
    offset = 6 + 16 * len(dibs)
    for (canvas, depth), data in zip(images, dibs):
        colours = 16 if depth == 4 else 0
        out += struct.pack("<BBBBHHII", canvas.size, canvas.size, colours, 0, 1, depth,
                           len(data), offset)
        offset += len(data)
    for data in dibs:
        out += data
    return bytes(out)


def main():
    default = pathlib.Path(__file__).resolve().parent.parent / "src" / "resources" / "brindle.ico"
    target = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else default
    # The small and large icon sizes at 100 %, 125 %, 150 % and 200 %. The drawing has few
    # colours: 4 bits a pixel hold the large images at an eighth of the size. The small ones,
    # which the tray shows, keep 32 bits: Wine's shell hands an icon to its tray with the rows
    # of the AND mask cut short unless the width is a multiple of 16, and an icon with an
    # alpha channel does not need its mask.
    images = [(draw_16(), 32), (draw_scaled(20), 32), (draw_scaled(24), 32), (draw_32(), 32),
              (draw_scaled(40), 4), (draw_scaled(48), 4), (draw_scaled(64), 4)]
    target.write_bytes(icon_file(images))
    print(f"wrote {target}")


if __name__ == "__main__":
    main()
