#include "framework/DataExchange.h"

#include "framework/Controls.h"
#include "framework/Dialog.h"

namespace fw {

HWND DataExchange::ControlWindow(int id) {
    HWND control = GetDlgItem(dialog.Hwnd(), id);
    if (!control)
        internalError = true;
    return control;
}

void DataExchange::Control(int id, Window& control) {
    if (internalError || control.Hwnd())
        return;
    if (HWND window = ControlWindow(id))
        control.Attach(window);
}

void DataExchange::Text(int id, std::wstring& value) {
    if (internalError)
        return;
    HWND control = ControlWindow(id);
    if (!control)
        return;
    if (saving) {
        value = WindowText(control);
    } else if (WindowText(control) != value) {
        // Writing an unchanged text would still move the caret and raise EN_CHANGE.
        SetWindowTextW(control, value.c_str());
    }
}

} // namespace fw
