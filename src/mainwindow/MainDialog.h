#pragma once
// The resident instance's main dialog. Its loop is the process's message loop. It keeps its own
// visibility (hidden in the tray while it is to stay hidden) and routes what arrives to the
// parts it owns: hand-offs and the menus' messages to the hand-off pipeline, the tray icon's
// clicks to the tray icon and the pipeline, the list's buttons and notifications to the viewer
// list pane, its showing and timer to the store follower.

#include <span>
#include <string>

#include "framework/Dialog.h"
#include "mainwindow/HandoffPipeline.h"
#include "mainwindow/StoreFollower.h"
#include "mainwindow/TrayIcon.h"
#include "mainwindow/ViewerListPane.h"

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
    // Visibility.
    LRESULT OnWindowPosChanging(WINDOWPOS& position);
    LRESULT OnSysCommand(UINT command);
    LRESULT OnShowWindow(bool shown, UINT status);
    // Hides the window into the tray (`keep`: until the tray icon shows it again); without a
    // tray icon it minimises instead, so that the window can always be reached.
    void HideToTray(bool keep);
    // Shows the window and brings it to the front.
    void ShowFromTray();

    // The tray icon.
    LRESULT OnTrayNotify(WPARAM wParam, LPARAM mouseMessage);
    void OnTaskbarCreated();
    void OnDestroy();

    // The store's changes, followed while the window is shown: routed to the store follower.
    LRESULT OnTimer(UINT_PTR id);

    // Hand-offs and the menus: routed to the pipeline.
    LRESULT OnHandoff(WPARAM atom, LPARAM waiter) { return pipeline.OnHandoff(atom, waiter); }
    void OnNextHandoff() { pipeline.OnNextHandoff(); }
    void OnViewerChosen() { pipeline.OnViewerChosen(); }
    void OnMenuHighlight(UINT item) { pipeline.OnMenuHighlight(item); }
    LRESULT OnMenuChar(wchar_t key, UINT flags, HMENU menu);
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
    std::wstring firstHandoff;
    TrayIcon trayIcon;
    ViewerListPane viewerList;
    StoreFollower storeFollower{viewerList};
    HandoffPipeline pipeline;

    static const fw::MessageEntry messageTable[];
    // Broadcast by the shell when it (re)starts: its tray has lost every icon.
    static const UINT taskbarCreatedMessage;
};
