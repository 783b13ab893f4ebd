#pragma once
// What every start of Brindle and the resident instance agree on: the application's name, the
// resident window's title and the private messages that pass between them.

#include <windows.h>

#include <string>

#include "instance/WindowTitle.h"

// The application's name, also the caption of message boxes that give none.
constexpr const char* applicationName = "BRINDLE";

// The tray icon's callback message; lParam carries the mouse message. A start without a file
// posts it with WM_LBUTTONDBLCLK to show the resident window.
constexpr UINT WM_TRAYNOTIFY = WM_USER + 100;

// wParam: a global atom whose name is the hand-off text (0: none); lParam: 0, or the process id
// of the start that waits for the hand-off's menu. The receiver reads and deletes the atom and
// returns once the hand-off's menu has closed (0). A hand-off that has to wait for another menu
// or a launch returns at once: with handoffWaits when lParam names the start, whose event
// (HandoffDoneEventName) it sets once the hand-off's own menu has closed; with 0 otherwise, as
// for a start that knows nothing of waiting (an earlier version sends lParam 0 and ends on any
// result).
constexpr UINT WM_HANDOFF = WM_USER + 101;
constexpr LRESULT handoffWaits = 1;

// The event of the start of process `startProcess` that waits for the menu of its hand-off of
// `atom`, in the session's namespace. (Its digits written here: std::to_wstring would bring the
// C runtime's formatting along.)
inline std::wstring HandoffDoneEventName(DWORD startProcess, ATOM atom) {
    const auto decimal = [](DWORD value) {
        std::wstring digits;
        do {
            digits.insert(digits.begin(), static_cast<wchar_t>(L'0' + value % 10));
            value /= 10;
        } while (value != 0);
        return digits;
    };
    return L"Local\\Brindle-HandoffDone-" + decimal(startProcess) + L'-' + decimal(atom);
}
