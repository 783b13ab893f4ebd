#pragma once
// The hand-offs of the resident instance, from arrival to launch: they take turns
// (HandoffQueue), each gets a viewer menu at the pointer, and the viewer chosen from it is
// started once the menu's hand-off has returned (a waiting start is told then) and the focus is
// back in the window that was in front. The tray icon's menu takes its turn among them: one
// menu at a time. The main dialog owns it and routes the hand-offs' and the menus' messages
// to it.

#include <windows.h>

#include <optional>
#include <string>

#include "core/HandoffQueue.h"

namespace fw {
class Dialog;
}
class StoreFollower;
class ViewerMenu;

class HandoffPipeline {
  public:
    // The messages it posts to its owner for later, which the owner routes back to it.
    static constexpr UINT WM_NEXTHANDOFF = WM_APP + 10;   // a waiting hand-off may have its turn
    static constexpr UINT WM_VIEWERCHOSEN = WM_APP + 11;  // a chosen viewer's launch begins
    static constexpr UINT WM_MENUHIGHLIGHT = WM_APP + 12; // wParam: an item to highlight

    // `returnFocusTo` is the window that was in front when the process started; it gets the
    // focus back after each menu.
    HandoffPipeline(fw::Dialog& owner, StoreFollower& store, HWND returnFocusTo)
        : owner(owner), store(store), returnFocusTo(returnFocusTo) {}
    HandoffPipeline(const HandoffPipeline&) = delete;
    HandoffPipeline& operator=(const HandoffPipeline&) = delete;

    // This start's own hand-off of `text`: its menu opens once the owner's loop runs, exactly as
    // if another start had handed the file over.
    void HandOverToSelf(const std::wstring& text);
    // WM_HANDOFF: the atom of the hand-off text, and the window of a start that waits for the
    // hand-off's menu (0: none). Its result.
    LRESULT OnHandoff(WPARAM atom, LPARAM waiter);
    void OnNextHandoff();
    void OnViewerChosen();

    // The tray icon's menu with its one item, 終了, at `point`; none while another menu is
    // open (the system refuses a second one). The window in front gets the focus back.
    void ShowTrayMenu(POINT point);

    // The open viewer menu's messages to its owner: a typed key's answer (none: not this
    // menu's), a highlight to finish, the menu falling idle, its items' images.
    std::optional<LRESULT> OnMenuChar(wchar_t key, HMENU menu);
    void OnMenuHighlight(UINT item);
    void OnEnterIdle(UINT source);
    bool OnMeasureItem(MEASUREITEMSTRUCT& measure);
    bool OnDrawItem(const DRAWITEMSTRUCT& draw);

  private:
    void ShowViewerMenu(const std::wstring& file);
    // Tracks `menu` at `point` from the foreground, one menu at a time: hand-offs that arrive
    // meanwhile wait. Returns what TrackPopupMenu returned.
    UINT TrackMenu(HMENU menu, POINT point, UINT flags);
    // Gives the next waiting hand-off its turn, once whatever is posted now has been handled.
    void ResumeWaitingHandoffs();

    fw::Dialog& owner;
    StoreFollower& store;
    HWND returnFocusTo;
    HandoffQueue handoffs;
    ViewerMenu* openViewerMenu = nullptr; // while a viewer menu is tracked
};
