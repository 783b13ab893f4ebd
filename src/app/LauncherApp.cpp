// The application object and the start-up decision: hand the file over to the resident
// instance, or become the resident instance.

#include "core/HandoffText.h"
#include "framework/App.h"
#include "instance/Instance.h"
#include "mainwindow/MainDialog.h"
#include "platform/SystemFunctions.h"
#include "resource.h"

namespace {

class LauncherApp : public fw::App {
  public:
    LauncherApp() : fw::App(applicationName) {}
    int InitInstance() override;
};

LauncherApp theApp;

// The resident instance lives on in the folder it was first started in (often one the mail
// client saved attachments to), and the system looks for a viewer given by a bare name, and
// for DLLs, in the current folder. It moves to the system folder and takes the current folder
// out of the DLL search; SetDllDirectoryA is looked up, as older systems lack it.
void LeaveStartFolder() {
    wchar_t system[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(system, MAX_PATH);
    if (length > 0 && length < MAX_PATH)
        SetCurrentDirectoryW(system);
    if (auto* setDllDirectory = platform::setDllDirectory.Get())
        setDllDirectory("");
}

int LauncherApp::InitInstance() {
    HWND foreground = GetForegroundWindow();
    const std::vector<std::wstring> args = StartArguments();

    if (HWND resident = FindResidentInstance()) {
        // This start may bring windows to the front (it was started by the user or the mail
        // client); let the resident instance do it for its menu or its window.
        DWORD residentProcess = 0;
        GetWindowThreadProcessId(resident, &residentProcess);
        AllowSetForegroundWindow(residentProcess);
        if (args.empty()) {
            // A start without a file shows the resident window, as a double click on the tray
            // icon does.
            PostMessageW(resident, WM_TRAYNOTIFY, 0, WM_LBUTTONDBLCLK);
        } else if (const std::wstring text = JoinHandoffText(args);
                   ATOM atom = AddHandoffAtom(text)) {
            // Returns once the resident instance's menu for this file has closed.
            const HandOverResult result = HandOver(resident, atom);
            if (result != HandOverResult::Done) {
                fw::AppMessageBox(fw::LoadText(result == HandOverResult::ResidentHung
                                                   ? IDS_RESIDENT_HUNG
                                                   : IDS_HANDOFF_FAILED),
                                  MB_ICONHAND);
                DropHandoffAtom(atom, text);
                return 1;
            }
        }
        return 0;
    }

    LeaveStartFolder();
    MainDialog dialog(foreground, args.empty() ? std::wstring() : JoinHandoffText(args));
    SetMainWindow(&dialog);
    dialog.RunModeless();
    SetMainWindow(nullptr);
    return 0;
}

} // namespace
