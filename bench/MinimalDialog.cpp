// The baseline of a dialog program: one modal dialog from a small template, ended by OK or
// Cancel. Nothing else: no common controls, no registry, no tray icon.

#include <windows.h>

namespace {

constexpr int minimalDialogId = 100; // IDD_MINIMAL of minimal_dialog.rc

INT_PTR CALLBACK MinimalDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG)
        return TRUE;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return static_cast<int>(DialogBoxParamA(instance, MAKEINTRESOURCEA(minimalDialogId), nullptr,
                                            MinimalDialogProc, 0));
}
