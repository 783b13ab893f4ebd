#include "framework/Dpi.h"

#include "framework/AppContext.h"
#include "platform/SystemFunctions.h"

namespace fw {

namespace {

// The system's DPI: the one every window has on systems that do not scale per monitor.
// Read from the screen, with the graphics library bound at run time (a start that only
// hands its file over never loads it itself).
UINT SystemDpi() {
    auto* getDeviceCaps = platform::getDeviceCaps.Get();
    HDC screen = GetDC(nullptr);
    const int dpi = getDeviceCaps && screen ? getDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : defaultDpi;
}

} // namespace

UINT DpiOf(HWND window) {
    if (window) {
        if (auto* forWindow = platform::getDpiForWindow.Get()) {
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
    // Without GetSystemMetricsForDpi, every window has the system's DPI, which is what
    // GetSystemMetrics measures.
    if (auto* forDpi = platform::getSystemMetricsForDpi.Get())
        return forDpi(index, dpi);
    return MulDiv(GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(SystemDpi()));
}

UniqueIcon LoadIconForDpi(UINT iconId, IconSize size, UINT dpi) {
    const bool isSmall = size == IconSize::Small;
    const int width = SystemMetricForDpi(isSmall ? SM_CXSMICON : SM_CXICON, dpi);
    const int height = SystemMetricForDpi(isSmall ? SM_CYSMICON : SM_CYICON, dpi);
    return UniqueIcon(static_cast<HICON>(
        LoadImageW(ResourceModule(), MAKEINTRESOURCEW(iconId), IMAGE_ICON, width, height, 0)));
}

} // namespace fw
