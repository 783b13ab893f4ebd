#include "mainwindow/ListKeys.h"

#include <commctrl.h>

#include "platform/SystemFunctions.h"
#include "resource.h"

namespace {

constexpr UINT_PTR listKeysSubclass = 1;

// The button that key `key` clicks, pressed with Alt when `alt`; 0 for any other key.
int ButtonOfKey(WPARAM key, bool alt) {
    if (alt)
        return key == VK_UP ? IDC_UP : key == VK_DOWN ? IDC_DOWN : 0;
    switch (key) {
    case VK_RETURN:
        return IDC_EDIT;
    case VK_DELETE:
        return IDC_DELETE;
    case VK_INSERT:
        return IDC_ADD;
    }
    return 0;
}

using DefaultProc = decltype(&::DefSubclassProc);

// `defaultProcData` is DefSubclassProc, bound once by RouteListKeys.
LRESULT CALLBACK ListKeysProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                              DWORD_PTR defaultProcData) {
    const auto defaultProc = reinterpret_cast<DefaultProc>(defaultProcData);
    switch (message) {
    case WM_GETDLGCODE:
        if (const auto* msg = reinterpret_cast<const MSG*>(lParam);
            msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN)
            return defaultProc(list, message, wParam, lParam) | DLGC_WANTMESSAGE;
        break;
    case WM_CHAR:
        if (wParam == '\r')
            return 0; // its key has been handled
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        const bool alt = message == WM_SYSKEYDOWN && (HIWORD(lParam) & KF_ALTDOWN);
        if (const int button = ButtonOfKey(wParam, alt)) {
            // Posted, as a click is: the key's handling ends before the button's begins.
            HWND dialog = GetParent(list);
            PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
            return 0;
        }
        break;
    }
    case WM_NCDESTROY:
        if (auto* remove = platform::removeWindowSubclass.Get())
            remove(list, ListKeysProc, listKeysSubclass);
        break;
    }
    return defaultProc(list, message, wParam, lParam);
}

} // namespace

void RouteListKeys(HWND list) {
    // DefSubclassProc comes with SetWindowSubclass: without either, the list has no keys.
    const DefaultProc defaultProc = platform::defSubclassProc.Get();
    if (!defaultProc)
        return;
    if (auto* subclass = platform::setWindowSubclass.Get())
        subclass(list, ListKeysProc, listKeysSubclass, reinterpret_cast<DWORD_PTR>(defaultProc));
}
