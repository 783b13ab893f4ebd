// The viewer menu's keys: number keys choose, letters highlight (see core/MenuKeys.h).

#include <algorithm>

#include "core/MenuKeys.h"
#include "mainwindow/ViewerMenu.h"
#include "store/ViewerTitles.h"

namespace {

// The position of the highlighted item of `menu`, or −1.
int HighlightedItem(HMENU menu) {
    for (int item = 0, count = GetMenuItemCount(menu); item < count; ++item)
        if (GetMenuState(menu, static_cast<UINT>(item), MF_BYPOSITION) & MF_HILITE)
            return item;
    return -1;
}

struct MenuWindowSearch {
    HMENU menu;
    HWND found;
};

BOOL CALLBACK FindMenuWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<MenuWindowSearch*>(param);
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpA(className, "#32768") == 0 && IsWindowVisible(window) &&
        reinterpret_cast<HMENU>(SendMessageA(window, MN_GETHMENU, 0, 0)) == search->menu) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// The window of this thread that shows the open pop-up menu `menu`; null when it is closed.
HWND MenuWindowOf(HMENU menu) {
    MenuWindowSearch search{menu, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), FindMenuWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

} // namespace

LRESULT ViewerMenu::AnswerMenuChar(wchar_t key, HWND owner, UINT followUp) const {
    const MenuKeyAction action = MenuKeyActionOf(key, titles, HighlightedItem(Handle()));
    switch (action.kind) {
    case MenuKeyAction::Kind::Choose:
        return MAKELRESULT(static_cast<WORD>(action.item), MNC_EXECUTE);
    case MenuKeyAction::Kind::Highlight:
        // Checked once the menu has acted on the answer.
        PostMessageA(owner, followUp, action.item, 0);
        return MAKELRESULT(static_cast<WORD>(action.item), MNC_SELECT);
    case MenuKeyAction::Kind::None:
        break;
    }
    return MAKELRESULT(0, MNC_IGNORE);
}

int ViewerMenu::ItemOf(const std::wstring& title) const {
    const auto found = std::find_if(titles.begin(), titles.end(), [&](const std::wstring& item) {
        return SameTitle(item, title);
    });
    return title.empty() || found == titles.end() ? -1 : static_cast<int>(found - titles.begin());
}

void ViewerMenu::HighlightWhenOpen(int item, HWND owner, POINT pointer, UINT followUp) {
    if (item < 0 || item >= static_cast<int>(titles.size()))
        return;
    presetItem = item;
    presetPointer = pointer;
    PostMessageW(owner, followUp, static_cast<WPARAM>(item), 0);
}

void ViewerMenu::KeepHighlight(HWND owner) {
    if (presetItem < 0)
        return;
    POINT now{};
    GetCursorPos(&now);
    const int highlighted = HighlightedItem(Handle());
    if (now.x != presetPointer.x || now.y != presetPointer.y ||
        (highlighted >= 0 && highlighted != presetItem))
        presetItem = -1; // the user took the mouse or moved the highlight
    else if (highlighted < 0)
        FinishHighlight(static_cast<UINT>(presetItem), owner);
}

void ViewerMenu::FinishHighlight(UINT item, HWND owner) const {
    const auto highlighted = [&] {
        return (GetMenuState(Handle(), item, MF_BYPOSITION) & MF_HILITE) != 0;
    };
    HWND window = MenuWindowOf(Handle());
    if (!window || highlighted())
        return;
    // Windows' menu window selects an item on MN_SELECTITEM, which its headers leave out;
    // Wine's ignores it, and selects the item of a tracked menu on HiliteMenuItem instead,
    // which Windows applies to menu bars only.
    constexpr UINT selectItemMessage = 0x01E5;
    SendMessageW(window, selectItemMessage, item, 0);
    if (!highlighted())
        HiliteMenuItem(owner, Handle(), item, MF_BYPOSITION | MF_HILITE);
}
