#pragma once
// The application object and the process's start-up.

#include <windows.h>

#include <string>

namespace fw {

class Dialog;

// One static instance per program, constructed with the application's name, which is also the
// caption of message boxes that give none. The program's WinMain calls RunApplication, which
// calls InitInstance once; the process ends when it returns, with the exit code it returned.
// An application runs its windows inside InitInstance (a modal dialog's loop is then the
// process's loop).
class App {
  public:
    explicit App(const char* name);
    virtual ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    // Does the program's work; returns the process's exit code.
    virtual int InitInstance() = 0;

    const char* Name() const { return name; }
    HINSTANCE Module() const { return module; }

    // The main window: the owner of last resort for dialogs created without a parent.
    Dialog* MainWindow() const { return mainWindow; }
    void SetMainWindow(Dialog* window) { mainWindow = window; }

    // The application object of this process, or null when there is none (test programs).
    static App* Current();

  private:
    friend int RunApplication(HINSTANCE module);
    const char* name;
    HINSTANCE module;
    Dialog* mainWindow = nullptr;
};

// The body of WinMain: InitInstance; returns its exit code (1 when the program has no
// application object).
int RunApplication(HINSTANCE module);

// The module whose resources the framework loads: the application's, or the process's image.
HINSTANCE ResourceModule();

// The caption for message boxes that give none: the application's name ("" without one).
std::wstring DefaultCaption();

// String `id` of the resources' string table; "" when there is none.
std::wstring LoadText(UINT id);

// The owner for a window created without a parent: the main window's last active pop-up, or
// null when there is no main window yet.
HWND DefaultOwner();

// A message box owned by DefaultOwner(); a null caption becomes the application's name.
int AppMessageBox(const std::wstring& text, UINT type = MB_OK, const wchar_t* caption = nullptr);

} // namespace fw
