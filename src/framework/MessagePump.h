#pragma once
// The program's one message pump: the main dialog's message loop, the waits in which its window
// goes on answering while something else gets ready, and a start's wait for its hand-off. It
// takes and dispatches messages as Unicode, as Brindle's windows are: an ANSI loop would hand
// each typed double-byte character to an edit control as two single bytes, which it shows as
// two wrong characters. (Modal dialogs run in the system's own loop: Dialog::DoModal.)

#include <windows.h>

#include <functional>
#include <span>

#include "platform/Handles.h"

namespace fw {

class MessagePump {
  public:
    MessagePump() = default;
    MessagePump(const MessagePump&) = delete;
    MessagePump& operator=(const MessagePump&) = delete;

    // The messages of dialog `dialog` and its controls go through the dialog manager's
    // keyboard interface (Tab, Enter, Escape, mnemonics) before they are dispatched.
    void SetDialog(HWND dialog) { this->dialog = dialog; }
    // While `control` of the dialog has the focus, its keys go through the accelerator table
    // `keys` first: a key of the table (FVIRTKEY, with FALT for one typed with Alt), typed
    // whatever Shift and Ctrl, sends the dialog the entry's command (WM_COMMAND with code 1)
    // instead of reaching the control.
    void SetControlKeys(HWND control, std::span<const ACCEL> keys);

    // Dispatches messages until `done` holds, which is asked whenever the waiting messages have
    // all been dispatched and at least every `pollMs`. Returns false without waiting for `done`
    // when `limitMs` have passed, once Stop has been called, or when a WM_QUIT arrives (posted
    // again for the loop outside).
    // `wakeOn`, unless null, is a kernel object whose signal also has `done` asked at once.
    bool RunUntil(const std::function<bool()>& done, DWORD limitMs = INFINITE,
                  DWORD pollMs = INFINITE, HANDLE wakeOn = nullptr);
    // Ends every run of this pump, nested ones too, once the message being handled is done
    // with; runs that start later end at once, until Resume.
    void Stop() { stopped = true; }
    void Resume() { stopped = false; }

  private:
    // One message: the control's keys, then the dialog manager's, else translated and sent to
    // its window.
    void Dispatch(MSG& msg);

    HWND dialog = nullptr;
    HWND keysControl = nullptr;
    UniqueAcceleratorTable keys;
    bool stopped = false;
};

} // namespace fw
