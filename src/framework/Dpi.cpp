#include "framework/Dpi.h"

#include "framework/App.h"
#include "framework/SystemLibrary.h"

namespace fw {

namespace {

// The system's DPI: the one every window has on systems that do not scale per monitor.
// Read from the screen, with the graphics library bound at run time (a start that only
// hands its file over never loads it itself).
UINT SystemDpi() {
    using GetDeviceCapsFunction = int WINAPI(HDC, int);
    auto* getDeviceCaps = SystemFunction<GetDeviceCapsFunction>("gdi32.dll", "GetDeviceCaps");
    HDC screen = GetDC(nullptr);
    const int dpi = getDeviceCaps && screen ? getDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : defaultDpi;
}

} // namespace

UINT DpiOf(HWND window) {
    // Windows 10 1607 and later.
    using GetDpiForWindowFunction = UINT WINAPI(HWND);
    if (window) {
        if (auto* forWindow =
                SystemFunction<GetDpiForWindowFunction>("user32.dll", "GetDpiForWindow")) {
            if (UINT dpi = forWindow(window))
                return dpi;
        }
    }
    return SystemDpi();
}

int ScaleToDpi(int pixels, UINT dpi) {
    return MulDiv(pixels, static_cast<int>(dpi), static_cast<int>(defaultDpi));
}

int ScaleForWindow(HWND window, int pixels) {
    return ScaleToDpi(pixels, DpiOf(window));
}

int SystemMetricForDpi(int index, UINT dpi) {
    // Windows 10 1607 and later; before, every window has the system's DPI, which is what
    // GetSystemMetrics measures.
    using GetSystemMetricsForDpiFunction = int WINAPI(int, UINT);
    if (auto* forDpi =
            SystemFunction<GetSystemMetricsForDpiFunction>("user32.dll", "GetSystemMetricsForDpi"))
        return forDpi(index, dpi);
    return MulDiv(GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(SystemDpi()));
}

UniqueIcon LoadIconForDpi(UINT iconId, IconSize size, UINT dpi) {
    const bool isSmall = size == IconSize::Small;
    const int width = SystemMetricForDpi(isSmall ? SM_CXSMICON : SM_CXICON, dpi);
    const int height = SystemMetricForDpi(isSmall ? SM_CYSMICON : SM_CYICON, dpi);
    return UniqueIcon(static_cast<HICON>(
        LoadImageA(ResourceModule(), MAKEINTRESOURCEA(iconId), IMAGE_ICON, width, height, 0)));
}

} // namespace fw
