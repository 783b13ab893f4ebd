#include "support/DialogDriver.h"

#include <algorithm>
#include <thread>
#include <vector>

#include "store/ViewerStore.h"
#include "support/Registry.h"
#include "support/Window.h"

namespace testsupport {

namespace {

// The thread that runs the dialogs.
DWORD dialogThread = 0;

// The run whose message loop the thread timer waits for.
struct Run {
    fw::Dialog* dialog;
    UniqueKernelHandle loopRunning;
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
    SetEvent(currentRun->loopRunning.Get());
}

// The dialogs (and message boxes) of the dialogs' thread, visible or not.
std::vector<HWND> ThreadDialogs() {
    std::vector<HWND> dialogs = TopLevelWindows(GetCurrentProcessId(), dialogThread);
    std::erase_if(dialogs, [](HWND window) { return ClassOf(window) != "#32770"; });
    return dialogs;
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
    WaitUntil([main] {
        std::vector<HWND> open = ThreadDialogs();
        std::erase(open, main);
        for (HWND window : open)
            PostCommand(window, IDCANCEL);
        return open.empty();
    });
    PostCommand(main, IDCANCEL);
}

// Runs `dialog` with `runDialog` on this thread while `script` drives it from a second one.
INT_PTR Drive(fw::Dialog& dialog, const std::function<INT_PTR()>& runDialog,
              const std::function<void(HWND)>& script) {
    dialogThread = GetCurrentThreadId();
    Run run{&dialog, UniqueKernelHandle(CreateEventA(nullptr, TRUE, FALSE, nullptr)), nullptr};
    currentRun = &run;
    // A thread timer fires only from a message loop: here, the dialog's.
    SetTimer(nullptr, 0, 10, OnLoopRunning);
    std::thread driver([&] {
        if (WaitForSingleObject(run.loopRunning.Get(), waitLimitMs) != WAIT_OBJECT_0) {
            ADD_FAILURE() << "the dialog's message loop did not start";
            return;
        }
        script(run.window);
        CloseEverything(run.window);
    });
    INT_PTR result = runDialog();
    driver.join();
    currentRun = nullptr;
    return result;
}

} // namespace

void DialogTest::SetUp() {
    InProcessTest::SetUp();
    DeleteSettings();
}

void DialogTest::TearDown() {
    InProcessTest::TearDown();
    DeleteSettings();
}

INT_PTR RunDriven(fw::Dialog& dialog, const std::function<void(HWND)>& script) {
    return Drive(
        dialog, [&] { return dialog.DoModal(); }, script);
}

INT_PTR RunAsMainWindow(fw::Dialog& dialog, const std::function<void(HWND)>& script) {
    TheApp().SetMainWindow(&dialog);
    INT_PTR result = Drive(
        dialog, [&] { return dialog.RunModeless(); }, script);
    TheApp().SetMainWindow(nullptr);
    return result;
}

HWND WaitForDialog(HWND owner, const char* caption) {
    HWND found = nullptr;
    if (WaitUntil([&] { return (found = FindDialog(owner, caption)) != nullptr; }))
        return found;
    std::string open;
    for (HWND window : ThreadDialogs())
        open += " \"" + TextOf(window) + (IsWindowVisible(window) ? "\"" : "\" (hidden)") +
                (GetWindow(window, GW_OWNER) == owner ? "" : " (other owner)");
    ADD_FAILURE() << "no dialog \"" << (caption ? caption : "(any)")
                  << "\" appeared; open:" << (open.empty() ? " none" : open);
    return nullptr;
}

bool WaitUntilGone(HWND window, HWND settle) {
    const bool gone = WaitUntil([window] { return !IsWindow(window); });
    EXPECT_TRUE(gone) << "a dialog stayed open";
    SyncWith(settle);
    return gone;
}

bool NoDialogOwnedBy(HWND owner) {
    return FindDialog(owner, nullptr) == nullptr;
}

std::wstring ItemTextOf(HWND dialog, int id) {
    return WideTextOf(GetDlgItem(dialog, id));
}

void SetItemText(HWND dialog, int id, const std::wstring& text) {
    SetDlgItemTextW(dialog, id, text.c_str());
}

void Click(HWND dialog, int id) {
    PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

bool IsItemEnabled(HWND dialog, int id) {
    return IsWindowEnabled(GetDlgItem(dialog, id));
}

} // namespace testsupport
