#pragma once
// Sizes for the display's resolution. Brindle declares itself per-monitor DPI aware, so the
// system no longer stretches its windows: whatever is measured in pixels (list columns, icons)
// is scaled here from its size at 96 DPI (100 %). The functions that newer systems offer for
// this are looked up at run time, so that the program still starts on systems without them.

#include <windows.h>

#include "platform/Handles.h"

namespace fw {

// The resolution that sizes in pixels are given at (100 %).
constexpr UINT defaultDpi = 96;

// WM_DPICHANGED, sent to a top-level window that moved to a monitor of another DPI, the new one
// in the low word of wParam. Windows 8.1 brings it; the headers declare it only for Windows 7
// and later (WINVER 0x0601), and Brindle's are set to XP.
constexpr UINT dpiChangedMessage = 0x02E0;

// The dots per inch that `window` is drawn at: its monitor's on systems that scale per
// monitor, otherwise the system's (null `window`: the system's). 96 when nothing says.
UINT DpiOf(HWND window);

// `pixels` as measured at 96 DPI, scaled to `dpi` and rounded to the nearest pixel.
int ScaleToDpi(int pixels, UINT dpi);

// `pixels` as measured at 96 DPI, scaled to the DPI of `window`.
int ScaleForWindow(HWND window, int pixels);

// System metric `index` (SM_CXICON, SM_CXSMICON, ...) as it is at `dpi`.
int SystemMetricForDpi(int index, UINT dpi);

enum class IconSize { Small, Large };

// Icon `iconId` of the application's resources, at the small or large icon size of the
// system for `dpi`; empty when there is no such icon.
UniqueIcon LoadIconForDpi(UINT iconId, IconSize size, UINT dpi);

} // namespace fw
