#pragma once
// The pop-up menu of viewers for one hand-off.

#include <windows.h>

#include <span>
#include <string>
#include <vector>

#include "framework/Controls.h"

// Command id of the first viewer in the pop-up menu; viewer i has ID_VIEWER_BASE + i.
constexpr UINT ID_VIEWER_BASE = 3400;
// The last command id a viewer may have: command ids are 16 bits.
constexpr UINT ID_VIEWER_LAST = 0xEFFF;

// One item for each title, in the order given, showing the title exactly as it is, the first
// nine with their number key, and beside it the image given for it (from ProgramIcons), if any.
class ViewerMenu {
  public:
    explicit ViewerMenu(std::vector<std::wstring> titles, std::span<const HBITMAP> images = {});
    HMENU Handle() const { return menu.Handle(); }
    // The title of the item with command `id`; null for an id of no item of this menu.
    const std::wstring* TitleOf(UINT id) const;

    // The answer of this menu's owner `owner` to WM_MENUCHAR for a typed `key`: a number key
    // chooses its item, a letter highlights the next item that starts with it (MenuKeyActionOf).
    // A highlight is also checked on `owner`'s message `followUp`, posted with the item, whose
    // handler calls FinishHighlight.
    LRESULT AnswerMenuChar(WPARAM key, HWND owner, UINT followUp) const;
    // The position of the item of `title` (compared as the store compares titles); −1 when
    // the menu has none.
    int ItemOf(const std::wstring& title) const;
    // Makes the menu open with `item` (when it is one) highlighted: posts `owner` the arrow keys
    // that move the highlight there, which the menu's loop takes as typed keys, before any key
    // typed once it is open. Called right before the menu is tracked.
    void HighlightWhenOpen(int item, HWND owner) const;
    // Highlights `item` again when nothing is: under Wine the mouse move that the opening menu
    // gets at the pointer, which has not moved, takes the highlight away.
    void RestoreHighlight(UINT item) const;
    // Highlights `item` where the system did not (Wine ignores a highlight that WM_MENUCHAR
    // asks for), by typing arrow keys into the open menu.
    void FinishHighlight(UINT item) const;

  private:
    fw::PopupMenu menu;
    std::vector<std::wstring> titles;
};
