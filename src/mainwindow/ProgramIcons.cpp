#include "mainwindow/ProgramIcons.h"

#include <shellapi.h>

#include <algorithm>

#include "mainwindow/Launch.h"
#include "platform/SystemFunctions.h"
#include "store/ViewerStore.h"

namespace {

// Whether the GDI functions used here are bound (platform/SystemFunctions.h).
bool GdiBound() {
    using namespace platform;
    return createCompatibleDC.Get() && createDIBSection.Get() && selectObject.Get() &&
           deleteDC.Get() && deleteObject.Get() && getObject.Get() && gdiFlush.Get() &&
           gdiAlphaBlend.Get();
}

// A memory device context with `bitmap` selected, for drawing into it or from it.
class BitmapDC {
  public:
    BitmapDC(HDC compatibleWith, HBITMAP bitmap)
        : dc(platform::createCompatibleDC.Get()(compatibleWith)),
          previous(dc ? platform::selectObject.Get()(dc, bitmap) : nullptr) {}
    ~BitmapDC() {
        if (!dc)
            return;
        platform::selectObject.Get()(dc, previous);
        platform::deleteDC.Get()(dc);
    }
    BitmapDC(const BitmapDC&) = delete;
    BitmapDC& operator=(const BitmapDC&) = delete;
    HDC Get() const { return previous ? dc : nullptr; }

  private:
    HDC dc;
    HGDIOBJ previous;
};

// Whether the system's menus draw a 32-bit item bitmap with its alpha: Windows Vista and later
// do. Older Windows copies it as it is, and so does Wine, which also inverts it when the item
// is highlighted; Wine's ntdll tells it apart.
bool MenusBlendItemImages() {
    static int blends = -1;
    if (blends < 0) {
        const bool wine = platform::wineGetVersion.Get() != nullptr;
        blends = !wine && LOBYTE(LOWORD(GetVersion())) >= 6;
    }
    return blends != 0;
}

// `icon` drawn at `size` pixels square into a top-down 32-bit bitmap with premultiplied alpha,
// as menus and GdiAlphaBlend take it; null when GDI fails.
UniqueBitmap RenderIcon(HICON icon, int size) {
    if (!GdiBound() || size <= 0)
        return {};
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size;
    info.bmiHeader.biHeight = -size;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueBitmap bitmap(
        platform::createDIBSection.Get()(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits)
        return {};
    const BitmapDC dc(nullptr, bitmap.Get());
    if (!dc.Get())
        return {};

    // Drawn onto transparent black, an icon with alpha leaves its alpha and premultiplied
    // colours; one without leaves no alpha at all, and its mask tells which pixels show.
    DWORD* const pixels = static_cast<DWORD*>(bits);
    const size_t count = static_cast<size_t>(size) * static_cast<size_t>(size);
    std::fill(pixels, pixels + count, 0);
    DrawIconEx(dc.Get(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    platform::gdiFlush.Get()();
    if (std::none_of(pixels, pixels + count, [](DWORD pixel) { return (pixel >> 24) != 0; })) {
        std::vector<DWORD> colours(pixels, pixels + count);
        std::fill(pixels, pixels + count, 0x00FFFFFF);
        DrawIconEx(dc.Get(), 0, 0, icon, size, size, 0, nullptr, DI_MASK);
        platform::gdiFlush.Get()();
        for (size_t i = 0; i < count; ++i) // mask white: transparent; black: shown
            pixels[i] = (pixels[i] & 0x00FFFFFF) ? 0 : (colours[i] | 0xFF000000);
    }
    return bitmap;
}

// The small icon of `program` (a full path) as an image of `size` pixels; null when it has
// none. The system's small icon is the nearest to that size that it has.
UniqueBitmap LoadImageOf(const std::wstring& program, int size) {
    auto* extract = platform::extractIconEx.Get();
    HICON small = nullptr;
    if (!extract || extract(program.c_str(), 0, nullptr, &small, 1) == 0 || !small)
        return {};
    UniqueBitmap image = RenderIcon(small, size);
    DestroyIcon(small);
    return image;
}

} // namespace

std::vector<HBITMAP> ProgramIcons::ImagesOf(const std::vector<std::wstring>& titles,
                                            int imageSize) {
    if (imageSize != size) {
        Clear();
        size = imageSize;
    }
    const auto known = [&] {
        return std::all_of(titles.begin(), titles.end(),
                           [&](const std::wstring& title) { return byTitle.count(title) != 0; });
    };
    if (!known()) {
        // The viewers' commands, all in one read; each command is looked up once.
        std::unordered_map<std::wstring, HBITMAP> byCommand;
        for (const ViewerEntry& entry : ViewerStore().Load()) {
            if (byTitle.count(entry.title))
                continue;
            auto command = byCommand.find(entry.command);
            if (command == byCommand.end())
                command = byCommand.emplace(entry.command, ImageOfCommand(entry.command)).first;
            byTitle.emplace(entry.title, command->second);
        }
        // A viewer that the store did not give (it went meanwhile) shows none.
        for (const std::wstring& title : titles)
            byTitle.emplace(title, nullptr);
    }
    std::vector<HBITMAP> images;
    images.reserve(titles.size());
    for (const std::wstring& title : titles)
        images.push_back(byTitle[title]);
    return images;
}

HBITMAP ProgramIcons::ImageOfCommand(const std::wstring& command) {
    const std::wstring program = ProgramPathOf(command);
    if (program.empty())
        return nullptr;
    auto found = byProgram.find(program);
    if (found == byProgram.end())
        found = byProgram.emplace(program, LoadImageOf(program, size)).first;
    return found->second.Get();
}

void ProgramIcons::Clear() {
    byTitle.clear();
    byProgram.clear();
}

void SetItemImage(MENUITEMINFOA& item, HBITMAP image) {
    if (MenusBlendItemImages()) {
        if (image) {
            item.fMask |= MIIM_BITMAP;
            item.hbmpItem = image;
        }
        return;
    }
    // Wine lays out the texts of items without a bitmap as if they had one, but leaves the
    // bitmap out of where the shortcut column starts; with an image each, all line up.
    item.fMask |= MIIM_BITMAP | MIIM_DATA;
    item.hbmpItem = HBMMENU_CALLBACK;
    item.dwItemData = reinterpret_cast<ULONG_PTR>(image);
}

bool MeasureItemImage(MEASUREITEMSTRUCT& measure, int size) {
    if (measure.CtlType != ODT_MENU || size <= 0)
        return false;
    // The menu puts the title right after the place it is told, and the image is drawn at
    // its left.
    measure.itemWidth = static_cast<UINT>(size + size / 4);
    measure.itemHeight = static_cast<UINT>(size);
    return true;
}

bool DrawItemImage(const DRAWITEMSTRUCT& draw) {
    if (draw.CtlType != ODT_MENU)
        return false;
    const auto image = reinterpret_cast<HBITMAP>(draw.itemData);
    BITMAP bitmap{};
    if (!image || !GdiBound() || !platform::getObject.Get()(image, sizeof bitmap, &bitmap))
        return true; // the empty place
    const BitmapDC source(draw.hDC, image);
    if (!source.Get())
        return true;
    // The item's background is drawn already, highlighted or not: the image goes over it.
    const int top = (draw.rcItem.top + draw.rcItem.bottom - bitmap.bmHeight) / 2;
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    platform::gdiAlphaBlend.Get()(draw.hDC, draw.rcItem.left, top, bitmap.bmWidth, bitmap.bmHeight,
                                  source.Get(), 0, 0, bitmap.bmWidth, bitmap.bmHeight, blend);
    return true;
}
