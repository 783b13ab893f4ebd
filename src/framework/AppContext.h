#pragma once
// What the framework's windows need of the program: the module whose resources they load, the
// caption of message boxes that give none, and the owner of windows made without a parent.
// The application object (App.h) is the context; a process without one (a test program) gets
// the process's image, no caption and no owner.

#include <windows.h>

#include <string>

namespace fw {

class AppContext {
  public:
    AppContext(const AppContext&) = delete;
    AppContext& operator=(const AppContext&) = delete;

    virtual const char* Name() const = 0;
    virtual HINSTANCE Module() const = 0;
    // The main window's handle; null while there is none.
    virtual HWND MainWindowHandle() const = 0;

    // The context of this process, or null when there is none.
    static AppContext* Current();

  protected:
    // The context constructed last, until it goes, is the process's.
    AppContext();
    virtual ~AppContext();
};

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
