// The floor of Brindle's resident instance: what a resident with a tray icon and a list of
// viewers cannot do without. A hidden dialog with a report list view, a tray icon and
// Brindle's manifest; a hand-off (WM_HANDOFF, as from the floor forwarder) tracks a pop-up
// menu of ITEMS items at the pointer, and the tray's double click shows the window with its
// list filled with ROWS rows. Menu and rows are made in memory (no registry), the menu once
// at the start. With ROWS "store", the double click instead reads the viewers that Brindle
// stores (each viewer's key opened and its two values read with the W calls) into a list that
// shows rows it holds itself (owner data), as Brindle's list does. Cancel or OK in the window
// ends it.
//   bench_floor_resident.exe ITEMS ROWS|store [FILE]
// With FILE, the menu opens as soon as the message loop runs, as Brindle's first start with a
// file opens its menu.

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "FloorProgram.h"
#include "floor_resource.h"
#include "instance/Identity.h"

namespace {

// Posted to itself by a start with a file.
constexpr UINT WM_FIRSTMENU = WM_APP;
constexpr UINT trayIconId = 1000;
constexpr UINT firstItemId = 1;

HMENU menu;
long rows;
bool filled;
// The "store" mode's rows: title, command, parameters.
bool fromStore;
std::vector<std::wstring> storeRows[3];

// Tracks the menu from the foreground, as every owner of a pop-up menu must for the menu to
// close properly, and lets the owner handle a message once it has closed.
void TrackMenu(HWND window) {
    POINT point{};
    GetCursorPos(&point);
    SetForegroundWindow(window);
    TrackPopupMenu(menu, TPM_RETURNCMD, point.x, point.y, 0, window, nullptr);
    PostMessageA(window, WM_NULL, 0, 0);
}

void AddColumn(HWND list, int index, const char* text, int width) {
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = const_cast<char*>(text);
    column.cx = width;
    column.iSubItem = index;
    SendMessageA(list, LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&column));
}

void SetSubItem(HWND list, int row, int column, char* text) {
    LVITEMA change{};
    change.iSubItem = column;
    change.pszText = text;
    SendMessageA(list, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&change));
}

// Value `name` (null: the default) of `key`, read whole; "" when it is missing.
std::wstring ValueOf(HKEY key, const wchar_t* name) {
    DWORD size = 0;
    if (RegQueryValueExW(key, name, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS)
        return {};
    std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
    RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(text.data()), &size);
    text.resize(wcslen(text.c_str()));
    return text;
}

// The viewers that Brindle stores, in the registry's order, into the list's own rows.
void ReadStore(HWND list) {
    HKEY menus = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Copperfinch\\Brindle\\Menus", 0, KEY_READ,
                      &menus) != ERROR_SUCCESS)
        return;
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = 256;
        if (RegEnumKeyExW(menus, i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        HKEY viewer = nullptr;
        if (RegOpenKeyExW(menus, name, 0, KEY_READ, &viewer) != ERROR_SUCCESS)
            continue;
        storeRows[0].push_back(name);
        storeRows[1].push_back(ValueOf(viewer, nullptr));
        storeRows[2].push_back(ValueOf(viewer, L"Param"));
        RegCloseKey(viewer);
    }
    RegCloseKey(menus);
    SendMessageW(list, LVM_SETITEMCOUNT, storeRows[0].size(), 0);
}

// The rows as Brindle shows its viewers: an item per row, then its two other texts.
void FillList(HWND list) {
    for (long number = 1; number <= rows; ++number) {
        char title[64], command[64], parameters[16];
        std::snprintf(title, sizeof title, viewerTitleFormat, static_cast<int>(number));
        std::snprintf(command, sizeof command, viewerCommandFormat, static_cast<int>(number));
        std::snprintf(parameters, sizeof parameters, "%s", viewerParameters);
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(number - 1);
        item.pszText = title;
        const auto row = static_cast<int>(
            SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
        if (row < 0)
            continue;
        SetSubItem(list, row, 1, command);
        SetSubItem(list, row, 2, parameters);
    }
}

NOTIFYICONDATAA TrayRecord(HWND window) {
    NOTIFYICONDATAA record{};
    record.cbSize = NOTIFYICONDATAA_V1_SIZE;
    record.hWnd = window;
    record.uID = trayIconId;
    return record;
}

INT_PTR CALLBACK FloorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        HWND list = GetDlgItem(window, IDC_FLOOR_LIST);
        AddColumn(list, 0, "タイトル", 120);
        AddColumn(list, 1, "コマンド", 300);
        AddColumn(list, 2, "ﾊﾟﾗﾒｰﾀ", 100);
        return TRUE;
    }
    case WM_HANDOFF: {
        char file[256];
        const auto atom = static_cast<ATOM>(wParam);
        if (GlobalGetAtomNameA(atom, file, sizeof file) == 0)
            return TRUE; // nothing was handed over
        GlobalDeleteAtom(atom);
        TrackMenu(window);
        return TRUE;
    }
    case WM_FIRSTMENU:
        TrackMenu(window);
        return TRUE;
    case WM_NOTIFY: {
        auto* info = reinterpret_cast<NMLVDISPINFOW*>(lParam);
        if (info->hdr.code != LVN_GETDISPINFOW || !(info->item.mask & LVIF_TEXT) ||
            info->item.iSubItem < 0 || info->item.iSubItem > 2)
            return FALSE;
        const std::vector<std::wstring>& column = storeRows[info->item.iSubItem];
        if (info->item.iItem >= 0 && static_cast<size_t>(info->item.iItem) < column.size())
            lstrcpynW(info->item.pszText, column[info->item.iItem].c_str(), info->item.cchTextMax);
        return TRUE;
    }
    case WM_TRAYNOTIFY:
        if (lParam == WM_LBUTTONDBLCLK) {
            if (!filled) {
                filled = true;
                if (fromStore)
                    ReadStore(GetDlgItem(window, IDC_FLOOR_LIST));
                else
                    FillList(GetDlgItem(window, IDC_FLOOR_LIST));
            }
            ShowWindow(window, SW_SHOW);
            SetForegroundWindow(window);
        }
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
            DestroyWindow(window);
        return TRUE;
    case WM_DESTROY: {
        NOTIFYICONDATAA record = TrayRecord(window);
        Shell_NotifyIconA(NIM_DELETE, &record);
        PostQuitMessage(0);
        return TRUE;
    }
    }
    return FALSE;
}

// A count of the command line, from `text` on, between 0 and floorMaxCount.
long CountAt(const char* text, char** end) {
    const long count = std::strtol(text, end, 10);
    return count < 0 ? 0 : count > floorMaxCount ? floorMaxCount : count;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    char* rest = nullptr;
    const long items = CountAt(commandLine, &rest);
    while (*rest == ' ')
        ++rest;
    fromStore = std::strncmp(rest, "store", 5) == 0;
    rows = fromStore ? (rest += 5, 0) : CountAt(rest, &rest);
    while (*rest == ' ')
        ++rest;
    const bool withFile = *rest != '\0';

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    menu = CreatePopupMenu();
    for (long number = 1; number <= items; ++number) {
        char title[64];
        std::snprintf(title, sizeof title, viewerTitleFormat, static_cast<int>(number));
        AppendMenuA(menu, MF_STRING, firstItemId + number - 1, title);
    }
    // The store's rows are Unicode, as Brindle's window is, and the list then asks in Unicode.
    HWND window =
        fromStore
            ? CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_FLOOR_STORE), nullptr, FloorProc, 0)
            : CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_FLOOR), nullptr, FloorProc, 0);
    if (!window)
        return 1;
    NOTIFYICONDATAA record = TrayRecord(window);
    record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    record.uCallbackMessage = WM_TRAYNOTIFY;
    record.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_FLOOR));
    std::snprintf(record.szTip, sizeof record.szTip, "%s", floorWindowTitle);
    Shell_NotifyIconA(NIM_ADD, &record);
    if (withFile)
        PostMessageA(window, WM_FIRSTMENU, 0, 0);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageA(window, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    DestroyMenu(menu);
    return 0;
}
