// The tray icon, the main dialog's visibility and the About box.

#include <windows.h>
#include <shellapi.h>

#include "framework/App.h"
#include "framework/SystemLibrary.h"
#include "mainwindow/AboutDialog.h"
#include "mainwindow/MainDialog.h"
#include "resource.h"
#include "store/ViewerStore.h"

const UINT MainDialog::taskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated");

namespace {

constexpr UINT trayIconId = 1000;
// The size of the record as Windows 4.0 knows it (88 bytes in a 32-bit program); the shells
// after it accept it too.
constexpr DWORD trayRecordSize = NOTIFYICONDATAA_V1_SIZE;
constexpr const char* trayTip = "Brindle";
constexpr const char* exitItemText = "終了";

// Shell_NotifyIconA, with the shell loaded only by the resident instance.
BOOL NotifyIcon(DWORD message, NOTIFYICONDATAA* record) {
    using Notify = BOOL WINAPI(DWORD, NOTIFYICONDATAA*);
    auto* notify = fw::SystemFunction<Notify>("shell32.dll", "Shell_NotifyIconA");
    return notify ? notify(message, record) : FALSE;
}

NOTIFYICONDATAA TrayRecord(HWND window) {
    NOTIFYICONDATAA record{};
    record.cbSize = trayRecordSize;
    record.hWnd = window;
    record.uID = trayIconId;
    return record;
}

} // namespace

void MainDialog::SetUpTray() {
    if (HMENU systemMenu = GetSystemMenu(Hwnd(), FALSE)) {
        char aboutText[256] = {};
        if (LoadStringA(fw::ResourceModule(), IDS_ABOUTBOX, aboutText, sizeof aboutText) > 0) {
            AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
            AppendMenuA(systemMenu, MF_STRING, IDM_ABOUTBOX, aboutText);
        }
    }
    SetIcons(IDI_APP);

    // Start hidden only when there is a way back: the tray icon, and viewers to pick from.
    if (AddTrayIcon()) {
        SettingsKey settings;
        if (settings.CountSubKeys(menusKeyName) != 0)
            keepHidden = true;
    }
}

bool MainDialog::AddTrayIcon() {
    NOTIFYICONDATAA record = TrayRecord(Hwnd());
    record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    record.uCallbackMessage = WM_TRAYNOTIFY;
    record.hIcon = SmallIcon();
    lstrcpynA(record.szTip, trayTip, sizeof record.szTip);
    // A shell that announces itself (TaskbarCreated) may still hold the icon and then refuses to
    // add it again; the icon is there all the same.
    trayIconAdded =
        NotifyIcon(NIM_ADD, &record) != FALSE || NotifyIcon(NIM_MODIFY, &record) != FALSE;
    return trayIconAdded;
}

LRESULT MainDialog::OnTaskbarCreated(WPARAM, LPARAM) {
    AddTrayIcon();
    return 0;
}

void MainDialog::HideToTray(bool keep) {
    if (!trayIconAdded) {
        // Without a tray icon a hidden window could never be shown or ended again.
        ShowWindow(SW_MINIMIZE);
        return;
    }
    keepHidden = keep;
    ShowWindow(SW_HIDE);
}

LRESULT MainDialog::OnTrayNotify(WPARAM, LPARAM mouseMessage) {
    POINT point{};
    GetCursorPos(&point);
    if (mouseMessage == WM_LBUTTONDBLCLK) {
        keepHidden = false;
        ShowWindow(SW_SHOW);
        SetForegroundWindow(Hwnd());
    } else if (mouseMessage == WM_RBUTTONDOWN && !menuOpen) {
        // One menu at a time (the system refuses a second one): a hand-off that arrives while
        // this menu is open waits for it, as for a viewer menu, instead of losing its file.
        fw::PopupMenu menu;
        menu.AppendItem(IDCANCEL, exitItemText);
        TrackMenu(menu, point, 0);
        ResumeWaitingHandoffs();
    }
    return 0;
}

LRESULT MainDialog::OnSysCommand(WPARAM command, LPARAM) {
    switch (command & 0xFFF0) {
    case IDM_ABOUTBOX: {
        AboutDialog about;
        about.DoModal();
        return 0;
    }
    case SC_MINIMIZE:
        if (trayIconAdded) {
            HideToTray(true);
            return 0;
        }
        break;
    }
    return Default();
}

void MainDialog::OnOK() {
    HideToTray(false);
}

void MainDialog::OnDestroy() {
    NOTIFYICONDATAA record = TrayRecord(Hwnd());
    NotifyIcon(NIM_DELETE, &record);
    Default();
}

LRESULT MainDialog::OnPaint(WPARAM, LPARAM) {
    if (!IsIconic(Hwnd()))
        return Default();
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(Hwnd(), &paint);
    SendMessageA(Hwnd(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client{};
    GetClientRect(Hwnd(), &client);
    int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, appIcon.Get());
    EndPaint(Hwnd(), &paint);
    return 0;
}

LRESULT MainDialog::OnQueryDragIcon(WPARAM, LPARAM) {
    return reinterpret_cast<LRESULT>(appIcon.Get());
}
