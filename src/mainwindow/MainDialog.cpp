#include "mainwindow/MainDialog.h"

#include "core/LaunchLine.h"
#include "framework/App.h"
#include "framework/DataExchange.h"
#include "framework/Dpi.h"
#include "instance/Instance.h"
#include "mainwindow/AboutDialog.h"
#include "mainwindow/Launch.h"
#include "mainwindow/ViewerMenu.h"
#include "resource.h"
#include "store/ViewerStore.h"

namespace {
// How long a launch waits for its viewer to become ready for input.
constexpr DWORD viewerReadyLimitMs = 100000;
} // namespace

const UINT MainDialog::taskbarCreatedMessage = RegisterWindowMessageW(L"TaskbarCreated");

const fw::MessageEntry MainDialog::messageTable[] = {
    fw::CrackedHandler<WM_SYSCOMMAND, &MainDialog::OnSysCommand>(),
    fw::MessageHandler<&MainDialog::OnDestroy>(WM_DESTROY),
    fw::CrackedHandler<WM_SHOWWINDOW, &MainDialog::OnShowWindow>(),
    fw::CrackedHandler<WM_WINDOWPOSCHANGING, &MainDialog::OnWindowPosChanging>(),
    fw::CommandHandler<&MainDialog::OnAddEntry>(IDC_ADD),
    fw::CommandHandler<&MainDialog::OnEditEntry>(IDC_EDIT),
    fw::CommandHandler<&MainDialog::OnDeleteEntry>(IDC_DELETE),
    fw::CommandHandler<&MainDialog::OnMoveUp>(IDC_UP),
    fw::CommandHandler<&MainDialog::OnMoveDown>(IDC_DOWN),
    fw::NotifyHandler<&MainDialog::OnListItemChanged>(IDC_VIEWER_LIST, LVN_ITEMCHANGED),
    fw::NotifyHandler<&MainDialog::OnListDblClk>(IDC_VIEWER_LIST, NM_DBLCLK),
    fw::NotifyHandler<&MainDialog::OnListGetDispInfo>(IDC_VIEWER_LIST, LVN_GETDISPINFOW),
    fw::NotifyHandler<&MainDialog::OnListFindItem>(IDC_VIEWER_LIST, LVN_ODFINDITEMW),
    fw::MessageHandler<&MainDialog::OnTrayNotify>(WM_TRAYNOTIFY),
    fw::MessageHandler<&MainDialog::OnHandoff>(WM_HANDOFF),
    fw::MessageHandler<&MainDialog::OnNextHandoff>(WM_NEXTHANDOFF),
    fw::MessageHandler<&MainDialog::OnViewerChosen>(WM_VIEWERCHOSEN),
    fw::CrackedHandler<WM_TIMER, &MainDialog::OnTimer>(),
    fw::CrackedHandler<WM_MENUCHAR, &MainDialog::OnMenuChar>(),
    fw::WParamHandler<&MainDialog::OnMenuHighlight>(WM_MENUHIGHLIGHT),
    fw::CrackedHandler<WM_ENTERIDLE, &MainDialog::OnEnterIdle>(),
    fw::CrackedHandler<WM_MEASUREITEM, &MainDialog::OnMeasureItem>(),
    fw::CrackedHandler<WM_DRAWITEM, &MainDialog::OnDrawItem>(),
    fw::RegisteredMessageHandler<&MainDialog::OnTaskbarCreated>(taskbarCreatedMessage),
};

std::span<const fw::MessageEntry> MainDialog::MessageTable() const {
    return messageTable;
}

MainDialog::MainDialog(HWND returnFocusTo, std::wstring firstHandoff)
    : fw::Dialog(IDD_MAIN), returnFocusTo(returnFocusTo), firstHandoff(std::move(firstHandoff)),
      viewerList(*this) {}

void MainDialog::DoDataExchange(fw::DataExchange& dx) {
    viewerList.Bind(dx);
}

BOOL MainDialog::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    if (HMENU systemMenu = GetSystemMenu(Hwnd(), FALSE)) {
        const std::wstring aboutText = fw::LoadText(IDS_ABOUTBOX);
        if (!aboutText.empty()) {
            AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
            AppendMenuW(systemMenu, MF_STRING, IDM_ABOUTBOX, aboutText.c_str());
        }
    }
    SetIcons(IDI_APP);

    // Start hidden only when there is a way back: the tray icon, and viewers to pick from.
    if (trayIcon.Add(Hwnd(), SmallIcon(), WM_TRAYNOTIFY) && ViewerStore().HasViewers())
        keepHidden = true;
    viewerList.SetUp();
    storeFollower.Start();

    if (!firstHandoff.empty()) {
        if (ATOM atom = AddHandoffAtom(firstHandoff))
            PostMessageW(Hwnd(), WM_HANDOFF, atom, 0);
    }
    return TRUE;
}

// --- Visibility ----------------------------------------------------------------------------

LRESULT MainDialog::OnWindowPosChanging(WINDOWPOS& position) {
    if (keepHidden)
        position.flags &= ~SWP_SHOWWINDOW;
    return Default();
}

void MainDialog::HideToTray(bool keep) {
    if (!trayIcon.Present()) {
        // Without a tray icon a hidden window could never be shown or ended again.
        ShowWindow(SW_MINIMIZE);
        return;
    }
    keepHidden = keep;
    ShowWindow(SW_HIDE);
}

void MainDialog::OnOK() {
    HideToTray(false);
}

LRESULT MainDialog::OnSysCommand(UINT command) {
    switch (command) {
    case IDM_ABOUTBOX: {
        AboutDialog about;
        about.DoModal();
        return 0;
    }
    case SC_MINIMIZE:
        if (trayIcon.Present()) {
            HideToTray(true);
            return 0;
        }
        break;
    }
    return Default();
}

LRESULT MainDialog::OnShowWindow(bool shown, UINT) {
    // The list is read when the window is first shown, not when the resident starts hidden.
    if (shown && !keepHidden)
        storeFollower.Shown(Hwnd());
    else if (!shown)
        storeFollower.Hidden(Hwnd());
    return Default();
}

LRESULT MainDialog::OnTimer(UINT_PTR id) {
    return storeFollower.OnTimer(id) ? 0 : Default();
}

// --- The tray icon -------------------------------------------------------------------------

LRESULT MainDialog::OnTrayNotify(WPARAM, LPARAM mouseMessage) {
    POINT point{};
    GetCursorPos(&point);
    if (mouseMessage == WM_LBUTTONDBLCLK) {
        keepHidden = false;
        ShowWindow(SW_SHOW);
        SetForegroundWindow(Hwnd());
    } else if (mouseMessage == WM_RBUTTONDOWN && !handoffs.MenuOpen()) {
        // One menu at a time (the system refuses a second one): a hand-off that arrives while
        // this menu is open waits for it, as for a viewer menu, instead of losing its file. The
        // window in front at the click gets the focus back, as after a viewer menu.
        HWND front = GetForegroundWindow();
        fw::PopupMenu menu;
        menu.AppendItem(IDCANCEL, fw::LoadText(IDS_EXIT));
        TrackMenu(menu.Handle(), point, 0);
        GiveFocusBack(front);
        ResumeWaitingHandoffs();
    }
    return 0;
}

void MainDialog::OnTaskbarCreated() {
    trayIcon.Add(Hwnd(), SmallIcon(), WM_TRAYNOTIFY);
}

void MainDialog::OnDestroy() {
    trayIcon.Remove();
    Default();
}

// --- Hand-offs, the viewer menu and the launch ---------------------------------------------

LRESULT MainDialog::OnHandoff(WPARAM atom, LPARAM waiter) {
    std::optional<std::wstring> file = TakeHandoffAtom(static_cast<ATOM>(atom));
    if (!file)
        return 0;
    if (!IsLaunchableFile(*file)) {
        MessageBox(fw::LoadText(IDS_QUOTE_REFUSED), nullptr, MB_ICONHAND);
        return 0;
    }
    // A hand-off that arrives while a menu is open or a launch is under way waits for its
    // turn, so that each menu launches the file that opened it; its start is told when its
    // own menu has closed. One that can go now returns when its menu has closed.
    const auto waitingStart = reinterpret_cast<HWND>(waiter);
    if (!handoffs.Arrive({*file, reinterpret_cast<HandoffQueue::Waiter>(waitingStart)}))
        return waitingStart ? handoffWaits : 0;
    ShowViewerMenu(*file);
    return 0;
}

void MainDialog::OnNextHandoff() {
    if (std::optional<HandoffQueue::Handoff> next = handoffs.NextTurn()) {
        ShowViewerMenu(next->file);
        ReportHandoffDone(reinterpret_cast<HWND>(next->waiter));
    }
}

void MainDialog::ShowViewerMenu(const std::wstring& file) {
    POINT point{};
    GetCursorPos(&point);
    const std::vector<std::wstring>& titles = storeFollower.MenuTitles();
    const int imageSize = fw::SystemMetricForDpi(SM_CXSMICON, fw::DpiOf(Hwnd()));
    ViewerMenu menu(titles, storeFollower.MenuImages(titles, imageSize), imageSize);
    openViewerMenu = &menu;
    menu.HighlightWhenOpen(menu.ItemOf(storeFollower.LastChoice()), Hwnd(), point);
    const UINT chosen = TrackMenu(menu.Handle(), point, TPM_RETURNCMD);
    openViewerMenu = nullptr;
    // The launch waits until this hand-off has returned (and with it a forwarding start's
    // SendMessage) and the focus is back where it was.
    if (const std::wstring* title = menu.TitleOf(chosen)) {
        storeFollower.RememberChoice(*title);
        handoffs.Choose(*title, file);
        PostMessageW(Hwnd(), WM_VIEWERCHOSEN, 0, 0);
    }
    GiveFocusBack(returnFocusTo);
    ResumeWaitingHandoffs();
}

void MainDialog::GiveFocusBack(HWND window) {
    if (window) {
        SetForegroundWindow(window);
        SetActiveWindow(window);
    }
}

void MainDialog::ResumeWaitingHandoffs() {
    if (handoffs.HasWaiting())
        PostMessageW(Hwnd(), WM_NEXTHANDOFF, 0, 0);
}

LRESULT MainDialog::OnMenuChar(wchar_t key, UINT, HMENU menu) {
    if (!openViewerMenu || menu != openViewerMenu->Handle())
        return Default();
    return openViewerMenu->AnswerMenuChar(key, Hwnd(), WM_MENUHIGHLIGHT);
}

void MainDialog::OnMenuHighlight(UINT item) {
    if (openViewerMenu)
        openViewerMenu->FinishHighlight(item);
}

LRESULT MainDialog::OnEnterIdle(UINT source, HWND) {
    if (source == MSGF_MENU && openViewerMenu)
        openViewerMenu->KeepHighlight();
    return Default();
}

LRESULT MainDialog::OnMeasureItem(MEASUREITEMSTRUCT& measure) {
    return openViewerMenu && openViewerMenu->MeasureItem(measure) ? TRUE : Default();
}

LRESULT MainDialog::OnDrawItem(const DRAWITEMSTRUCT& draw) {
    return openViewerMenu && openViewerMenu->DrawItem(draw) ? TRUE : Default();
}

UINT MainDialog::TrackMenu(HMENU menu, POINT point, UINT flags) {
    SetForegroundWindow(Hwnd());
    handoffs.MenuOpened();
    const auto result =
        static_cast<UINT>(TrackPopupMenu(menu, flags, point.x, point.y, 0, Hwnd(), nullptr));
    // Windows closes a background window's menu properly only when its owner was in front
    // while it was tracked and gets a message right after it closed.
    PostMessageW(Hwnd(), WM_NULL, 0, 0);
    handoffs.MenuClosed();
    return result;
}

void MainDialog::OnViewerChosen() {
    std::optional<HandoffQueue::Choice> choice = handoffs.TakeChoice();
    if (!choice)
        return;
    // The window goes on handling messages while the viewer gets ready, so that a later
    // start finds it responsive; hand-offs that arrive meanwhile wait their turn.
    LaunchViewer(choice->title, choice->file, [this](HANDLE process) {
        PumpUntil([process] { return WaitForInputIdle(process, 0) != WAIT_TIMEOUT; },
                  viewerReadyLimitMs);
    });
    handoffs.LaunchEnded();
    ResumeWaitingHandoffs();
}
