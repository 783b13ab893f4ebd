#pragma once
// The application object and the process's start-up.

#include <windows.h>

#include "framework/AppContext.h"

namespace fw {

class Dialog;

// One static instance per program, constructed with the application's name, which is also the
// caption of message boxes that give none. The program's WinMain calls RunApplication, which
// calls InitInstance once; the process ends when it returns, with the exit code it returned.
// An application runs its windows inside InitInstance (its main dialog's message pump is then
// the process's loop: Dialog::RunModeless).
class App : public AppContext {
  public:
    explicit App(const char* name);

    // Does the program's work; returns the process's exit code.
    virtual int InitInstance() = 0;

    const char* Name() const override { return name; }
    HINSTANCE Module() const override { return module; }
    HWND MainWindowHandle() const override;

    // The main window: the owner of last resort for dialogs created without a parent.
    void SetMainWindow(Dialog* window) { mainWindow = window; }

    // The application object of this process, or null when there is none (test programs).
    static App* Current() { return static_cast<App*>(AppContext::Current()); }

  private:
    friend int RunApplication(HINSTANCE module);
    const char* name;
    HINSTANCE module;
    Dialog* mainWindow = nullptr;
};

// The body of WinMain: InitInstance; returns its exit code (1 when the program has no
// application object).
int RunApplication(HINSTANCE module);

} // namespace fw
