#include "framework/DpiFollower.h"

#include <commctrl.h>

namespace fw {

namespace {

// For each child window: the columns of a list view, scaled from one DPI to another
// (`dpiChange` points to the two).
BOOL CALLBACK ScaleListColumns(HWND child, LPARAM dpiChange) {
    wchar_t className[32] = {};
    GetClassNameW(child, className, 32);
    if (lstrcmpiW(className, WC_LISTVIEWW) != 0)
        return TRUE;
    const auto* change = reinterpret_cast<const UINT*>(dpiChange); // {from, to}
    auto header = reinterpret_cast<HWND>(SendMessageW(child, LVM_GETHEADER, 0, 0));
    const auto columns = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    for (int column = 0; column < columns; ++column) {
        const auto width = static_cast<int>(SendMessageW(child, LVM_GETCOLUMNWIDTH, column, 0));
        const int scaled = MulDiv(width, static_cast<int>(change[1]), static_cast<int>(change[0]));
        SendMessageW(child, LVM_SETCOLUMNWIDTH, column, MAKELPARAM(scaled, 0));
    }
    return TRUE;
}

} // namespace

void DpiFollower::Attach(HWND followed) {
    window = followed;
    dpi = DpiOf(followed);
}

void DpiFollower::Detach() {
    window = nullptr;
    windowIconId = 0;
    largeIcon.Reset();
    smallIcon.Reset();
    shownIcons.clear();
}

void DpiFollower::SetIcons(UINT iconId) {
    windowIconId = iconId;
    UniqueIcon newLarge = LoadIconForDpi(iconId, IconSize::Large, dpi);
    UniqueIcon newSmall = LoadIconForDpi(iconId, IconSize::Small, dpi);
    SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(newLarge.Get()));
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(newSmall.Get()));
    // The icons replaced are no longer shown.
    largeIcon = std::move(newLarge);
    smallIcon = std::move(newSmall);
}

void DpiFollower::ShowIcon(int controlId, UINT iconId) {
    UniqueIcon icon = LoadIconForDpi(iconId, IconSize::Large, dpi);
    SendDlgItemMessageW(window, controlId, STM_SETICON, reinterpret_cast<WPARAM>(icon.Get()), 0);
    for (ShownIcon& shown : shownIcons) {
        if (shown.controlId == controlId) {
            shown.iconId = iconId;
            shown.icon = std::move(icon);
            return;
        }
    }
    shownIcons.push_back({controlId, iconId, std::move(icon)});
}

void DpiFollower::OnDpiChanged(UINT newDpi) {
    if (newDpi == 0 || newDpi == dpi)
        return;
    const UINT change[2] = {dpi, newDpi};
    EnumChildWindows(window, ScaleListColumns, reinterpret_cast<LPARAM>(change));
    dpi = newDpi;
    if (windowIconId)
        SetIcons(windowIconId);
    for (ShownIcon& shown : shownIcons)
        ShowIcon(shown.controlId, shown.iconId);
}

} // namespace fw
