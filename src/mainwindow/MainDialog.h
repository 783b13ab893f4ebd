#pragma once
// The resident instance's main dialog. Its modal loop is the process's message loop: it pops
// up the viewer menu for each hand-off and launches the chosen viewer.

#include <deque>
#include <span>
#include <string>

#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "framework/Handle.h"

// Command id of the first viewer in the pop-up menu; viewer i has ID_VIEWER_BASE + i.
constexpr UINT ID_VIEWER_BASE = 3400;

// The tray icon's callback message; lParam carries the mouse message.
constexpr UINT WM_TRAYNOTIFY = WM_USER + 100;

class MainDialog : public fw::Dialog {
  public:
    // `parent` is null: the main dialog has no owner. `returnFocusTo` is the window that was in
    // front when the process started; it gets the focus back after each menu.
    MainDialog(fw::Dialog* parent, HWND returnFocusTo);

  protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void DoDataExchange(fw::DataExchange& dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    std::span<const fw::MessageEntry> MessageTable() const override;

  private:
    // A viewer chosen from a menu, bound to the file of the hand-off that opened that menu.
    struct ChosenViewer {
        UINT commandId;
        std::string file;
    };

    // Posted to itself when a hand-off waits for a menu to close.
    static constexpr UINT WM_NEXTHANDOFF = WM_USER + 102;

    LRESULT OnWindowPosChanging(WPARAM wParam, LPARAM lParam);

    // The viewer menu and the launch (ViewerMenu.cpp).
    LRESULT OnHandoff(WPARAM atom, LPARAM lParam);
    void OnNextHandoff();
    void ShowViewerMenu(const std::string& file);
    // Tracks `menu` at `point` from the foreground, one menu at a time: hand-offs that arrive
    // meanwhile wait. Returns what TrackPopupMenu returned.
    UINT TrackMenu(const fw::PopupMenu& menu, POINT point, UINT flags);
    // Posts the next waiting hand-off, once whatever the closed menu posted is queued.
    void ResumeWaitingHandoffs();
    void LaunchViewer(size_t index, const std::string& file);

    // The tray icon, the window's visibility and the About box (Tray.cpp).
    void SetUpTray();
    bool AddTrayIcon();
    void HideToTray(bool keep);
    LRESULT OnTrayNotify(WPARAM wParam, LPARAM mouseMessage);
    LRESULT OnTaskbarCreated(WPARAM wParam, LPARAM lParam);
    LRESULT OnSysCommand(WPARAM command, LPARAM lParam);
    void OnDestroy();
    LRESULT OnPaint(WPARAM wParam, LPARAM lParam);
    LRESULT OnQueryDragIcon(WPARAM wParam, LPARAM lParam);

    // The list of viewers and its editing (ViewerList.cpp).
    void SetUpList();
    void LoadList();
    void SaveList();
    int GetSelectedIndex() const;
    void UpdateMoveButtons();
    void OnListItemChanged(NMHDR* header, LRESULT* result);
    void OnListDblClk(NMHDR* header, LRESULT* result);
    void OnAddEntry();
    void OnEditEntry();
    void OnDeleteEntry();
    void OnMoveUp();
    void OnMoveDown();

    bool keepHidden = false; // while set, the window may not become visible
    std::string pendingFile; // the hand-off text of the last menu shown
    HWND returnFocusTo;
    fw::Button downButton, upButton, editButton, deleteButton;
    fw::ListView viewerList;
    fw::UniqueIcon appIcon;

    bool trayIconAdded = false;

    bool menuOpen = false;
    std::deque<std::string> waitingHandoffs; // arrived while a menu was open
    std::deque<ChosenViewer> chosenViewers;  // posted, not yet launched

    static const fw::MessageEntry messageTable[];
    // Broadcast by the shell when it (re)starts: its tray has lost every icon.
    static const UINT taskbarCreatedMessage;
};
