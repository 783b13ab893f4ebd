#include "framework/MessagePump.h"

#include <algorithm>
#include <vector>

namespace fw {

void MessagePump::SetControlKeys(HWND control, std::span<const ACCEL> table) {
    // Each key also with Shift, Ctrl or both held, which the system's table would otherwise
    // require to be up. The system takes the entries through a pointer to non-const; it copies
    // them.
    std::vector<ACCEL> entries;
    for (const ACCEL& key : table)
        for (const BYTE held : {0, FSHIFT, FCONTROL, FSHIFT | FCONTROL})
            entries.push_back({static_cast<BYTE>(key.fVirt | held), key.key, key.cmd});
    keys.Reset(entries.empty()
                   ? nullptr
                   : CreateAcceleratorTableW(entries.data(), static_cast<int>(entries.size())));
    keysControl = control;
}

bool MessagePump::RunUntil(const std::function<bool()>& done, DWORD limitMs, DWORD pollMs,
                           HANDLE wakeOn) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg{};
        while (!stopped && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                return false;
            }
            Dispatch(msg);
        }
        if (stopped)
            return false;
        if (done())
            return true;
        const DWORD elapsed = GetTickCount() - start;
        if (limitMs != INFINITE && elapsed >= limitMs)
            return false;
        // Wakes for any message, as the queue is empty now.
        const DWORD wait = limitMs == INFINITE ? pollMs : std::min(pollMs, limitMs - elapsed);
        MsgWaitForMultipleObjects(wakeOn ? 1 : 0, wakeOn ? &wakeOn : nullptr, FALSE, wait,
                                  QS_ALLINPUT);
    }
}

void MessagePump::Dispatch(MSG& msg) {
    if (keys && msg.hwnd == keysControl && TranslateAcceleratorW(dialog, keys.Get(), &msg))
        return;
    if (dialog && IsDialogMessageW(dialog, &msg))
        return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

} // namespace fw
