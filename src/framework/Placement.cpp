#include "framework/Placement.h"

namespace fw {

namespace {

// The work area of the monitor that holds the largest part of `rect`.
RECT WorkAreaAround(const RECT& rect) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST), &monitor))
        return monitor.rcWork;
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

} // namespace

// True when the template asks the framework to place the dialog: it sits at (0, 0) and does
// not ask the dialog manager to align or centre it.
bool TemplateIsUnplaced(const void* dialogTemplate) {
    const auto* words = static_cast<const WORD*>(dialogTemplate);
    DWORD style;
    short x, y;
    if (words[0] == 1 && words[1] == 0xFFFF) { // DLGTEMPLATEEX
        const auto* extended = static_cast<const BYTE*>(dialogTemplate);
        style = *reinterpret_cast<const DWORD*>(extended + 12);
        x = *reinterpret_cast<const short*>(extended + 18);
        y = *reinterpret_cast<const short*>(extended + 20);
    } else {
        const auto* plain = static_cast<const DLGTEMPLATE*>(dialogTemplate);
        style = plain->style;
        x = plain->x;
        y = plain->y;
    }
    return x == 0 && y == 0 && !(style & (DS_ABSALIGN | DS_CENTER | DS_CENTERMOUSE));
}

void CentreIfUnplaced(HWND hwnd, bool templateUnplaced, bool wasVisible, const RECT& before) {
    if (wasVisible || !hwnd || (GetWindowLongW(hwnd, GWL_STYLE) & (WS_VISIBLE | WS_CHILD)))
        return;
    RECT now{};
    GetWindowRect(hwnd, &now);
    if (now.left != before.left || now.top != before.top)
        return; // placed by OnInitDialog
    HWND owner = GetWindow(hwnd, GW_OWNER);
    if ((owner && IsWindowEnabled(owner)) || !templateUnplaced)
        return;

    // Over the owner when it can be seen, else in the primary monitor's work area; then
    // inside the work area of the monitor it is on, where the left and top edges win over the
    // right and bottom ones.
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    RECT reference = area;
    if (owner) {
        LONG ownerStyle = GetWindowLongW(owner, GWL_STYLE);
        if ((ownerStyle & WS_VISIBLE) && !(ownerStyle & WS_MINIMIZE)) {
            GetWindowRect(owner, &reference);
            area = WorkAreaAround(reference);
        }
    }
    int width = now.right - now.left;
    int height = now.bottom - now.top;
    int left = (reference.left + reference.right) / 2 - width / 2;
    int top = (reference.top + reference.bottom) / 2 - height / 2;
    if (left < area.left)
        left = area.left;
    else if (left + width > area.right)
        left = area.right - width;
    if (top < area.top)
        top = area.top;
    else if (top + height > area.bottom)
        top = area.bottom - height;
    SetWindowPos(hwnd, nullptr, left, top, -1, -1, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace fw
