#include "mainwindow/TrayIcon.h"

#include <shellapi.h>

#include "framework/AppContext.h"
#include "platform/SystemFunctions.h"
#include "resource.h"

namespace {

constexpr UINT trayIconId = 1000;
// The size of the record as Windows 4.0 knows it (152 bytes in a 32-bit program); the shells
// after it accept it too.
constexpr DWORD trayRecordSize = NOTIFYICONDATAW_V1_SIZE;

// Shell_NotifyIconW, with the shell loaded only by the resident instance.
BOOL NotifyIcon(DWORD message, NOTIFYICONDATAW* record) {
    auto* notify = platform::shellNotifyIcon.Get();
    return notify ? notify(message, record) : FALSE;
}

NOTIFYICONDATAW TrayRecord(HWND window) {
    NOTIFYICONDATAW record{};
    record.cbSize = trayRecordSize;
    record.hWnd = window;
    record.uID = trayIconId;
    return record;
}

} // namespace

bool TrayIcon::Add(HWND owner, HICON icon, UINT callbackMessage) {
    window = owner;
    NOTIFYICONDATAW record = TrayRecord(window);
    record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    record.uCallbackMessage = callbackMessage;
    record.hIcon = icon;
    lstrcpynW(record.szTip, fw::LoadText(IDS_TRAY_TIP).c_str(), ARRAYSIZE(record.szTip));
    // A shell that announces itself (TaskbarCreated) may still hold the icon and then refuses to
    // add it again; the icon is there all the same.
    present = NotifyIcon(NIM_ADD, &record) != FALSE || NotifyIcon(NIM_MODIFY, &record) != FALSE;
    return present;
}

void TrayIcon::Remove() {
    if (!window)
        return;
    NOTIFYICONDATAW record = TrayRecord(window);
    NotifyIcon(NIM_DELETE, &record);
    window = nullptr;
    present = false;
}
