// The viewer menu's keys: number keys choose, letters highlight (see core/MenuKeys.h).

#include <algorithm>

#include "core/MenuKeys.h"
#include "mainwindow/ViewerMenu.h"
#include "store/ViewerTitles.h"

namespace {

// Posts `count` presses of `key` to `window`.
void PostKeys(HWND window, WPARAM key, int count) {
    for (; count > 0; --count)
        PostMessageA(window, WM_KEYDOWN, key, 1);
}

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

void ViewerMenu::HighlightWhenOpen(int item, HWND owner, POINT pointer) {
    // With nothing highlighted, Down highlights the first item and Up the last.
    const int count = static_cast<int>(titles.size());
    if (item < 0 || item >= count)
        return;
    presetItem = item;
    presetPointer = pointer;
    if (item < count / 2)
        PostKeys(owner, VK_DOWN, item + 1);
    else
        PostKeys(owner, VK_UP, count - item);
}

void ViewerMenu::KeepHighlight() {
    if (presetItem < 0)
        return;
    POINT now{};
    GetCursorPos(&now);
    if (now.x != presetPointer.x || now.y != presetPointer.y)
        presetItem = -1; // the user took the mouse
    else if (HighlightedItem(Handle()) < 0)
        FinishHighlight(static_cast<UINT>(presetItem));
}

void ViewerMenu::FinishHighlight(UINT item) const {
    const int highlighted = HighlightedItem(Handle());
    HWND window = MenuWindowOf(Handle());
    if (!window || highlighted == static_cast<int>(item))
        return;
    // With nothing highlighted, Down highlights the first item. The menu's loop takes keys
    // posted to its window before the keys typed after them.
    const int target = static_cast<int>(item);
    PostKeys(window, target > highlighted ? VK_DOWN : VK_UP,
             target > highlighted ? target - highlighted : highlighted - target);
}
