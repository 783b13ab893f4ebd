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
// nine with their number key, and beside it the image given for it (from ProgramIcons, of
// `imageSize` pixels square), if any.
class ViewerMenu {
  public:
    explicit ViewerMenu(std::vector<std::wstring> titles, std::span<const HBITMAP> images = {},
                        int imageSize = 0);
    HMENU Handle() const { return menu.Handle(); }
    // The title of the item with command `id`; null for an id of no item of this menu.
    const std::wstring* TitleOf(UINT id) const;

    // The answer of this menu's owner `owner` to WM_MENUCHAR for a typed `key`: a number key
    // chooses its item, a letter highlights the next item that starts with it (MenuKeyActionOf).
    // A highlight is also checked on `owner`'s message `followUp`, posted with the item, whose
    // handler calls FinishHighlight.
    LRESULT AnswerMenuChar(wchar_t key, HWND owner, UINT followUp) const;
    // The position of the item of `title` (compared as the store compares titles); −1 when
    // the menu has none.
    int ItemOf(const std::wstring& title) const;
    // Makes the menu open with `item` (when it is one) highlighted: posts `owner` the message
    // `followUp` with the item, whose handler calls FinishHighlight. The menu's loop handles a
    // posted message before any key the user types, so a key typed while the menu opens acts
    // on the highlight. The highlight is kept while the pointer stays at `pointer`, where the
    // menu opens (KeepHighlight). Called right before the menu is tracked.
    void HighlightWhenOpen(int item, HWND owner, POINT pointer, UINT followUp);
    // The owner's WM_ENTERIDLE from the open menu: highlights the item of HighlightWhenOpen
    // again when nothing is, as long as the pointer has not moved (under Wine the mouse move
    // that the opening menu gets at the pointer takes the highlight away); once the user moved
    // the pointer or the highlight, the menu is the user's.
    void KeepHighlight(HWND owner);
    // Highlights `item` of the open menu of `owner`, in one step whatever its place, where the
    // system has not (Wine ignores a highlight that WM_MENUCHAR asks for).
    void FinishHighlight(UINT item, HWND owner) const;

    // The owner's WM_MEASUREITEM and WM_DRAWITEM for the items' images where the menu leaves
    // them to its owner (SetItemImage); false when the message is about something else.
    bool MeasureItem(MEASUREITEMSTRUCT& measure) const;
    bool DrawItem(const DRAWITEMSTRUCT& draw) const;

  private:
    fw::PopupMenu menu;
    int imageSize;
    std::vector<std::wstring> titles;
    // The item of HighlightWhenOpen (−1: none, or the user moved the pointer), and where the
    // pointer was when the menu opened.
    int presetItem = -1;
    POINT presetPointer{};
};
