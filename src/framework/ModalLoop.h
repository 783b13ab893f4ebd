#pragma once
// The message loop of a modal dialog: it runs until the dialog ends, shows a dialog that is
// not visible yet once its queue first runs empty (or on a key in the system menu, or the
// caret's timer), turns a control's keys into clicks of the dialog's buttons and lets the
// dialog manager have the other keys.

#include <windows.h>

#include <functional>
#include <span>

namespace fw {

class ModalLoop {
  public:
    // The loop of the dialog whose window `hwnd` holds (null once it is destroyed).
    explicit ModalLoop(const HWND& hwnd) : hwnd(hwnd) {}
    ModalLoop(const ModalLoop&) = delete;
    ModalLoop& operator=(const ModalLoop&) = delete;

    // Marks the loop as running, before the window is made (its initialisation may end it), and
    // without control keys.
    void Begin();
    // Runs until End or until the window is destroyed; returns the end code. A WM_QUIT ends it
    // with −1 and is posted again for the loop outside.
    INT_PTR Run();
    // Ends the loop with `result` once the current message has been handled.
    void End(int result);

    bool Running() const { return running; }
    int Result() const { return result; }

    // Runs a nested loop until `done` holds, `limitMs` have passed or the dialog is ending;
    // `done` is asked at least every 50 ms. True when `done` held.
    bool PumpUntil(const std::function<bool()>& done, DWORD limitMs);

    // The keys of `control`, an accelerator table: while `control` has the focus, a key of
    // `keys` (FVIRTKEY, with FALT for one pressed with Alt, whatever Shift and Ctrl) clicks the
    // dialog's button whose id is the entry's command, instead of reaching the control or the
    // dialog manager. The loop reads Alt from the key's message, which says whether Alt was
    // held when the key was pressed. `keys` must outlive the loop.
    void SetControlKeys(HWND control, std::span<const ACCEL> keys);

  private:
    // One message: a control key, or the dialog manager's keys, else dispatched.
    void DispatchQueued(MSG& msg);
    // When `msg` presses one of the control keys: posts its click; true then.
    bool ClickForKey(const MSG& msg) const;

    const HWND& hwnd;
    HWND keysControl = nullptr;
    std::span<const ACCEL> controlKeys;
    bool running = false;
    int result = -1;
};

} // namespace fw
