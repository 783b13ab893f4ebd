#pragma once
// The message loop of a modal dialog: it runs until the dialog ends, shows a dialog that is
// not visible yet once its queue first runs empty (or on a key in the system menu, or the
// caret's timer), and lets the dialog manager have its keys.

#include <windows.h>

#include <functional>

namespace fw {

class ModalLoop {
  public:
    // The loop of the dialog whose window `hwnd` holds (null once it is destroyed).
    explicit ModalLoop(const HWND& hwnd) : hwnd(hwnd) {}
    ModalLoop(const ModalLoop&) = delete;
    ModalLoop& operator=(const ModalLoop&) = delete;

    // Marks the loop as running, before the window is made (its initialisation may end it).
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

  private:
    // One message: the dialog manager's keys, else dispatched.
    void DispatchQueued(MSG& msg);

    const HWND& hwnd;
    bool running = false;
    int result = -1;
};

} // namespace fw
