#pragma once
// The argument of Dialog::DoDataExchange: binds control wrappers to controls and moves text
// between controls and members, in the direction given by `saving`. A control that is not
// there fails the exchange: the later steps are skipped.

#include <windows.h>
#include <string>

namespace fw {

class Dialog;
class Window;

class DataExchange {
  public:
    DataExchange(Dialog& dialog, bool saving) : dialog(dialog), saving(saving) {}

    // Binds `control` to the dialog's control `id`, once: a bound wrapper keeps its window.
    void Control(int id, Window& control);

    // Saving: the whole text of control `id` into `value`. Loading: `value` into the control,
    // written only when the control's text differs.
    void Text(int id, std::wstring& value);

    bool InternalError() const { return internalError; }

  private:
    HWND ControlWindow(int id);

    Dialog& dialog;
    const bool saving;
    bool internalError = false;
};

} // namespace fw
