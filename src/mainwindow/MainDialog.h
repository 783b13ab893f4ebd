#pragma once
// The resident instance's main dialog. Its message pump is the process's message loop. It routes
// what arrives to the parts it owns: hand-offs to the hand-off queue and the viewer menu, the
// tray icon's clicks to the tray icon and its own visibility, the list's buttons and
// notifications to the viewer list pane, its showing and timer to the store follower.

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/HandoffQueue.h"
#include "framework/Dialog.h"
#include "mainwindow/StoreFollower.h"
#include "mainwindow/TrayIcon.h"
#include "mainwindow/ViewerListPane.h"

class ViewerMenu;

class MainDialog : public fw::Dialog {
  public:
    // `returnFocusTo` is the window that was in front when the process started; it gets the
    // focus back after each menu. `firstHandoff`, when not empty, is this start's own hand-off
    // text: its menu opens as soon as the loop runs, exactly as if another start had handed
    // the file over.
    MainDialog(HWND returnFocusTo, std::wstring firstHandoff);

  protected:
    void DoDataExchange(fw::DataExchange& dx) override;
    BOOL OnInitDialog() override;
    // 最小化: hides the window; the dialog does not end.
    void OnOK() override;
    std::span<const fw::MessageEntry> MessageTable() const override;

  private:
    // Posted to itself when a hand-off waits for a menu to close.
    static constexpr UINT WM_NEXTHANDOFF = WM_USER + 102;
    // Posted to itself when a viewer was chosen from a menu: its launch begins.
    static constexpr UINT WM_VIEWERCHOSEN = WM_USER + 103;
    // Posted to itself with an item of the open viewer menu that a typed letter highlights.
    static constexpr UINT WM_MENUHIGHLIGHT = WM_USER + 104;

    // Visibility.
    LRESULT OnWindowPosChanging(WINDOWPOS& position);
    LRESULT OnSysCommand(UINT command);
    LRESULT OnShowWindow(bool shown, UINT status);
    // Hides the window into the tray (`keep`: until the tray icon shows it again); without a
    // tray icon it minimises instead, so that the window can always be reached.
    void HideToTray(bool keep);

    // The store's changes, followed while the window is shown: routed to the store follower.
    LRESULT OnTimer(UINT_PTR id);

    // The tray icon.
    LRESULT OnTrayNotify(WPARAM wParam, LPARAM mouseMessage);
    void OnTaskbarCreated();
    void OnDestroy();

    // Hand-offs, the viewer menu and the launch.
    // WM_HANDOFF: the atom of the hand-off text, and the start's window that waits for it.
    LRESULT OnHandoff(WPARAM atom, LPARAM waiter);
    void OnNextHandoff();
    void ShowViewerMenu(const std::wstring& file);
    void OnViewerChosen();
    // Tracks `menu` at `point` from the foreground, one menu at a time: hand-offs that arrive
    // meanwhile wait. Returns what TrackPopupMenu returned.
    UINT TrackMenu(HMENU menu, POINT point, UINT flags);
    // Makes `window`, when there is one, the foreground and the active window again.
    static void GiveFocusBack(HWND window);
    // Gives the next waiting hand-off its turn, once whatever is posted now has been handled.
    void ResumeWaitingHandoffs();
    // Keys typed in the open viewer menu, and its items' images where the menu leaves them to
    // its owner.
    LRESULT OnMenuChar(wchar_t key, UINT flags, HMENU menu);
    void OnMenuHighlight(UINT item);
    LRESULT OnEnterIdle(UINT source, HWND window);
    LRESULT OnMeasureItem(MEASUREITEMSTRUCT& measure);
    LRESULT OnDrawItem(const DRAWITEMSTRUCT& draw);

    // The list of viewers: routed to the pane.
    void OnAddEntry() { viewerList.OnAdd(); }
    void OnEditEntry() { viewerList.OnEdit(); }
    void OnDeleteEntry() { viewerList.OnDelete(); }
    void OnMoveUp() { viewerList.OnMove(-1); }
    void OnMoveDown() { viewerList.OnMove(+1); }
    void OnListItemChanged(NMHDR*, LRESULT* result) { *result = viewerList.OnItemChanged(); }
    void OnListDblClk(NMHDR*, LRESULT* result) { *result = viewerList.OnDoubleClick(); }
    void OnListGetDispInfo(NMHDR* header, LRESULT* result) {
        *result = viewerList.OnGetDispInfo(header);
    }
    void OnListFindItem(NMHDR* header, LRESULT* result) { *result = viewerList.OnFindItem(header); }

    bool keepHidden = false; // while set, the window may not become visible
    HWND returnFocusTo;
    std::wstring firstHandoff;
    TrayIcon trayIcon;
    ViewerListPane viewerList;
    HandoffQueue handoffs;
    StoreFollower storeFollower{viewerList};
    ViewerMenu* openViewerMenu = nullptr; // while a viewer menu is tracked

    static const fw::MessageEntry messageTable[];
    // Broadcast by the shell when it (re)starts: its tray has lost every icon.
    static const UINT taskbarCreatedMessage;
};
