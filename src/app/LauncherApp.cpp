// The application object and the start-up decision: hand the file over to the resident
// instance, or become the resident instance.

#include "core/HandoffText.h"
#include "framework/App.h"
#include "instance/Instance.h"
#include "mainwindow/MainDialog.h"

namespace {

class LauncherApp : public fw::App {
  public:
    LauncherApp() : fw::App(applicationName) {}
    void InitInstance() override;
};

LauncherApp theApp;

void LauncherApp::InitInstance() {
    HWND foreground = GetForegroundWindow();
    const std::vector<std::string> args = StartArguments();

    if (HWND resident = FindResidentInstance()) {
        // This start may bring windows to the front (it was started by the user or the mail
        // client); let the resident instance do it for its menu or its window.
        DWORD residentProcess = 0;
        GetWindowThreadProcessId(resident, &residentProcess);
        AllowSetForegroundWindow(residentProcess);
        if (args.empty()) {
            // A start without a file shows the resident window, as a double click on the tray
            // icon does.
            PostMessageA(resident, WM_TRAYNOTIFY, 0, WM_LBUTTONDBLCLK);
        } else if (ATOM atom = AddHandoffAtom(JoinHandoffText(args))) {
            // Returns once the resident instance's menu has closed.
            SendMessageA(resident, WM_HANDOFF, atom, 0);
        }
        return;
    }

    MainDialog dialog(foreground, args.empty() ? std::string() : JoinHandoffText(args));
    SetMainWindow(&dialog);
    dialog.DoModal();
    SetMainWindow(nullptr);
}

} // namespace
