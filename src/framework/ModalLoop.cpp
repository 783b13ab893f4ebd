#include "framework/ModalLoop.h"

namespace fw {

namespace {

// WM_SYSTIMER: the caret's blink timer. Like a key press in the system menu, it means the user
// may be waiting for a dialog that is still invisible.
constexpr UINT systemTimerMessage = 0x118;

bool IsIdleMessage(const MSG& msg) {
    return msg.message != WM_PAINT && msg.message != systemTimerMessage;
}

} // namespace

void ModalLoop::Begin() {
    running = true;
    result = -1;
    SetControlKeys(nullptr, {});
}

void ModalLoop::End(int endResult) {
    result = endResult;
    running = false;
    if (hwnd)
        PostMessageW(hwnd, WM_NULL, 0, 0); // wakes the loop
}

// The loop takes and dispatches messages as Unicode, as the dialogs' windows are: an ANSI
// loop would hand each typed double-byte character to an edit control as two single bytes,
// which it shows as two wrong characters.
void ModalLoop::DispatchQueued(MSG& msg) {
    if (ClickForKey(msg))
        return;
    if (!hwnd || !IsDialogMessageW(hwnd, &msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void ModalLoop::SetControlKeys(HWND control, std::span<const ACCEL> keys) {
    keysControl = control;
    controlKeys = keys;
}

bool ModalLoop::ClickForKey(const MSG& msg) const {
    if (!hwnd || !keysControl || msg.hwnd != keysControl ||
        (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN))
        return false;
    const bool alt = msg.message == WM_SYSKEYDOWN && (HIWORD(msg.lParam) & KF_ALTDOWN);
    for (const ACCEL& key : controlKeys) {
        if ((key.fVirt & FVIRTKEY) && key.key == msg.wParam && ((key.fVirt & FALT) != 0) == alt) {
            // Posted, as a click is.
            PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(key.cmd, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(hwnd, key.cmd)));
            return true;
        }
    }
    return false;
}

INT_PTR ModalLoop::Run() {
    bool showOnIdle = !(GetWindowLongW(hwnd, GWL_STYLE) & WS_VISIBLE);
    bool idle = true;
    auto showNow = [&] {
        ShowWindow(hwnd, SW_SHOWNORMAL);
        UpdateWindow(hwnd);
        showOnIdle = false;
    };
    MSG msg{};
    for (;;) {
        if (!running) // ended while a nested loop ran
            return result;
        if (idle && !PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (showOnIdle)
                showNow();
            idle = false;
        }
        do {
            if (GetMessageW(&msg, nullptr, 0, 0) <= 0) {
                PostQuitMessage(static_cast<int>(msg.wParam)); // for the loop outside
                return -1;
            }
            DispatchQueued(msg);
            if (showOnIdle && (msg.message == systemTimerMessage || msg.message == WM_SYSKEYDOWN))
                showNow();
            if (!running || !hwnd)
                return result;
            if (IsIdleMessage(msg))
                idle = true;
        } while (PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE));
    }
}

bool ModalLoop::PumpUntil(const std::function<bool()>& done, DWORD limitMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (done())
            return true;
        if (!running || !hwnd || GetTickCount() - start >= limitMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        MSG msg{};
        while (running && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam)); // for the loops outside
                return false;
            }
            DispatchQueued(msg);
        }
    }
}

} // namespace fw
