#include "ViewerListTestSupport.h"

#include <commctrl.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstdio>
#include <thread>

#include "framework/FileDialog.h"
#include "store/SettingsKey.h"

namespace listtest {

namespace {

constexpr const char* settingsPath = "Software\\Copperfinch\\Brindle";
constexpr DWORD watchdogMilliseconds = 60000;
constexpr DWORD waitMilliseconds = 10000;
constexpr DWORD pollMilliseconds = 10;

// The program's one application object: message boxes without a caption show its name, and
// windows made without a parent are owned by its main window, as in Brindle.
class TestApp : public fw::App {
  public:
    TestApp() : App("BRINDLE") {}
    int InitInstance() override { return 0; }
};
TestApp theApp;

// The list view of the main dialog is a common control: its class must exist before a
// template names it.
const bool commonControlsReady = [] {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    return InitCommonControlsEx(&controls) != FALSE;
}();

// The thread that runs the dialogs.
DWORD dialogThread = 0;

// The run whose modal loop the thread timer waits for.
struct Run {
    fw::Dialog* dialog;
    HANDLE loopRunning;
    HWND window;
};
Run* currentRun = nullptr;

// The script starts once the dialog has been shown on its first idle moment: a busy machine
// may run the timer before that. A dialog that stays hidden on purpose starts it after a
// bounded number of ticks.
void CALLBACK OnLoopRunning(HWND, UINT, UINT_PTR timer, DWORD) {
    static int ticks = 0;
    if (!currentRun)
        return;
    HWND window = currentRun->dialog->Hwnd();
    if (!IsWindowVisible(window) && ++ticks < 50)
        return;
    ticks = 0;
    KillTimer(nullptr, timer);
    currentRun->window = window;
    SetEvent(currentRun->loopRunning);
}

std::string ClassName(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

BOOL CALLBACK CollectDialog(HWND window, LPARAM list) {
    if (ClassName(window) == "#32770")
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

// The dialogs (and message boxes) of the dialogs' thread, visible or not.
std::vector<HWND> ThreadDialogs() {
    std::vector<HWND> found;
    EnumThreadWindows(dialogThread, CollectDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND FindDialog(HWND owner, const char* caption) {
    for (HWND window : ThreadDialogs())
        if (IsWindowVisible(window) && GetWindow(window, GW_OWNER) == owner &&
            (!caption || TextOf(window) == caption))
            return window;
    return nullptr;
}

// Cancels what a script left open, the innermost first, then ends `main`.
void CloseEverything(HWND main) {
    for (DWORD waited = 0; waited < waitMilliseconds; waited += pollMilliseconds) {
        std::vector<HWND> open = ThreadDialogs();
        open.erase(std::remove(open.begin(), open.end(), main), open.end());
        if (open.empty())
            break;
        for (HWND window : open)
            PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        Sleep(pollMilliseconds);
    }
    PostMessageA(main, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

} // namespace

void DialogTest::SetUp() {
    ASSERT_TRUE(commonControlsReady);
    SHDeleteKeyA(HKEY_CURRENT_USER, settingsPath);
    watchdog = std::make_unique<Watchdog>(watchdogMilliseconds);
}

void DialogTest::TearDown() {
    watchdog.reset();
    fw::FileDialog::testAnswer = nullptr;
    SHDeleteKeyA(HKEY_CURRENT_USER, settingsPath);
}

INT_PTR RunDriven(fw::Dialog& dialog, const std::function<void(HWND)>& script) {
    dialogThread = GetCurrentThreadId();
    Run run{&dialog, CreateEventA(nullptr, TRUE, FALSE, nullptr), nullptr};
    currentRun = &run;
    // A thread timer fires only from a message loop: here, the dialog's modal loop.
    SetTimer(nullptr, 0, pollMilliseconds, OnLoopRunning);
    std::thread driver([&] {
        if (WaitForSingleObject(run.loopRunning, waitMilliseconds) != WAIT_OBJECT_0) {
            ADD_FAILURE() << "the dialog's modal loop did not start";
            return;
        }
        script(run.window);
        CloseEverything(run.window);
    });
    INT_PTR result = dialog.DoModal();
    driver.join();
    currentRun = nullptr;
    CloseHandle(run.loopRunning);
    return result;
}

INT_PTR RunAsMainWindow(fw::Dialog& dialog, const std::function<void(HWND)>& script) {
    theApp.SetMainWindow(&dialog);
    INT_PTR result = RunDriven(dialog, script);
    theApp.SetMainWindow(nullptr);
    return result;
}

HWND WaitForDialog(HWND owner, const char* caption) {
    for (DWORD waited = 0; waited < waitMilliseconds; waited += pollMilliseconds) {
        if (HWND window = FindDialog(owner, caption))
            return window;
        Sleep(pollMilliseconds);
    }
    std::string open;
    for (HWND window : ThreadDialogs())
        open += " \"" + TextOf(window) + (IsWindowVisible(window) ? "\"" : "\" (hidden)") +
                (GetWindow(window, GW_OWNER) == owner ? "" : " (other owner)");
    ADD_FAILURE() << "no dialog \"" << (caption ? caption : "(any)")
                  << "\" appeared; open:" << (open.empty() ? " none" : open);
    return nullptr;
}

bool WaitUntilGone(HWND window, HWND settle) {
    bool gone = false;
    for (DWORD waited = 0; !gone && waited < waitMilliseconds; waited += pollMilliseconds) {
        gone = !IsWindow(window);
        if (!gone)
            Sleep(pollMilliseconds);
    }
    EXPECT_TRUE(gone) << "a dialog stayed open";
    // Answered once the handler that ran the dialog has returned to its message loop.
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(settle, WM_NULL, 0, 0, SMTO_NORMAL, waitMilliseconds, &ignored);
    return gone;
}

bool NoDialogOwnedBy(HWND owner) {
    return FindDialog(owner, nullptr) == nullptr;
}

std::string TextOf(HWND window) {
    std::vector<char> text(static_cast<size_t>(std::max(GetWindowTextLengthA(window), 0)) + 1);
    int copied = GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
    return std::string(text.data(), static_cast<size_t>(std::max(copied, 0)));
}

std::string ItemTextOf(HWND dialog, int id) {
    return TextOf(GetDlgItem(dialog, id));
}

void SetItemText(HWND dialog, int id, const std::string& text) {
    SetDlgItemTextA(dialog, id, text.c_str());
}

void Click(HWND dialog, int id) {
    PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

bool IsItemEnabled(HWND dialog, int id) {
    return IsWindowEnabled(GetDlgItem(dialog, id));
}

MessageBoxView ReadMessageBox(HWND box) {
    MessageBoxView view{TextOf(box), {}, false};
    const auto exclamation = reinterpret_cast<LPARAM>(LoadIconA(nullptr, IDI_EXCLAMATION));
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (ClassName(child) != "Static")
            continue;
        if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            view.exclamation = SendMessageA(child, STM_GETICON, 0, 0) == exclamation;
        else
            view.text += TextOf(child);
    }
    return view;
}

void Seed(const std::vector<ViewerEntry>& entries) {
    ASSERT_TRUE(ViewerStore().Save(entries));
}

std::vector<ViewerEntry> Stored() {
    return ViewerStore().Load();
}

std::vector<std::string> StoredTitles() {
    return ViewerStore().Titles();
}

bool KeyExists(const std::string& title) {
    const std::string path = std::string(settingsPath) + "\\" + menusKeyName + "\\" + title;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

} // namespace listtest

bool operator==(const ViewerEntry& a, const ViewerEntry& b) {
    return a.title == b.title && a.command == b.command && a.parameters == b.parameters;
}

void PrintTo(const ViewerEntry& entry, std::ostream* out) {
    *out << "{\"" << entry.title << "\", \"" << entry.command << "\", \"" << entry.parameters
         << "\"}";
}
