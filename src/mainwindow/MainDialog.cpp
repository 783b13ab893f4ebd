#include "mainwindow/MainDialog.h"

#include "framework/App.h"
#include "framework/DataExchange.h"
#include "instance/Identity.h"
#include "mainwindow/AboutDialog.h"
#include "resource.h"
#include "store/ViewerStore.h"

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
    fw::MessageHandler<&MainDialog::OnNextHandoff>(HandoffPipeline::WM_NEXTHANDOFF),
    fw::MessageHandler<&MainDialog::OnViewerChosen>(HandoffPipeline::WM_VIEWERCHOSEN),
    fw::WParamHandler<&MainDialog::OnMenuHighlight>(HandoffPipeline::WM_MENUHIGHLIGHT),
    fw::CrackedHandler<WM_TIMER, &MainDialog::OnTimer>(),
    fw::CrackedHandler<WM_MENUCHAR, &MainDialog::OnMenuChar>(),
    fw::CrackedHandler<WM_ENTERIDLE, &MainDialog::OnEnterIdle>(),
    fw::CrackedHandler<WM_MEASUREITEM, &MainDialog::OnMeasureItem>(),
    fw::CrackedHandler<WM_DRAWITEM, &MainDialog::OnDrawItem>(),
    fw::RegisteredMessageHandler<&MainDialog::OnTaskbarCreated>(taskbarCreatedMessage),
};

std::span<const fw::MessageEntry> MainDialog::MessageTable() const {
    return messageTable;
}

MainDialog::MainDialog(HWND returnFocusTo, std::wstring firstHandoff)
    : fw::Dialog(IDD_MAIN), firstHandoff(std::move(firstHandoff)), viewerList(*this),
      pipeline(*this, storeFollower, returnFocusTo) {}

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
    if (!firstHandoff.empty())
        pipeline.HandOverToSelf(firstHandoff);
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

void MainDialog::ShowFromTray() {
    keepHidden = false;
    ShowWindow(SW_SHOW);
    SetForegroundWindow(Hwnd());
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
    if (mouseMessage == WM_LBUTTONDBLCLK)
        ShowFromTray();
    else if (mouseMessage == WM_RBUTTONDOWN)
        pipeline.ShowTrayMenu(point);
    return 0;
}

void MainDialog::OnTaskbarCreated() {
    trayIcon.Add(Hwnd(), SmallIcon(), WM_TRAYNOTIFY);
}

void MainDialog::OnDestroy() {
    trayIcon.Remove();
    Default();
}

// --- The menus' messages -------------------------------------------------------------------

LRESULT MainDialog::OnMenuChar(wchar_t key, UINT, HMENU menu) {
    const std::optional<LRESULT> answer = pipeline.OnMenuChar(key, menu);
    return answer ? *answer : Default();
}

LRESULT MainDialog::OnEnterIdle(UINT source, HWND) {
    pipeline.OnEnterIdle(source);
    return Default();
}

LRESULT MainDialog::OnMeasureItem(MEASUREITEMSTRUCT& measure) {
    return pipeline.OnMeasureItem(measure) ? TRUE : Default();
}

LRESULT MainDialog::OnDrawItem(const DRAWITEMSTRUCT& draw) {
    return pipeline.OnDrawItem(draw) ? TRUE : Default();
}
