#pragma once
// Brindle's real dialogs driven in-process: a dialog runs on the test's thread while a script
// on a second thread drives it as a user would, through window messages and typed keys.

#include <windows.h>

#include <functional>
#include <string>

#include "framework/Dialog.h"
#include "support/TestApp.h"
#include "support/Window.h"

namespace testsupport {

// Base of the fixtures of driven dialogs: every test starts and ends with no settings and no
// store faults, and may run for a minute.
class DialogTest : public InProcessTest {
  protected:
    DialogTest() : InProcessTest(60000) {}
    void SetUp() override;
    void TearDown() override;
};

// Runs `dialog` modally on this thread; once its modal loop runs, `script` gets its window on
// a second thread. When the script returns, whatever it left open is cancelled, the dialog
// last. Returns DoModal's result.
INT_PTR RunDriven(fw::Dialog& dialog, const std::function<void(HWND)>& script);

// The same for the application's main window, run as the launcher runs it (RunModeless); the
// editor and the message boxes are then owned by it. Returns RunModeless's result.
INT_PTR RunAsMainWindow(fw::Dialog& dialog, const std::function<void(HWND)>& script);

// Waits for a visible dialog of the dialogs' thread owned by `owner` whose caption is
// `caption` (any with null); null, after a test failure, when none came.
HWND WaitForDialog(HWND owner, const char* caption);
// Waits until `window` is gone, then until the dialog `settle` is back in its message loop (so
// the handler that ran `window` has finished); false, after a test failure, when `window`
// stayed.
bool WaitUntilGone(HWND window, HWND settle);
// True when no visible dialog owned by `owner` is open.
bool NoDialogOwnedBy(HWND owner);

// The text of control `id` of `dialog`, in UTF-16 as the control holds it.
std::wstring ItemTextOf(HWND dialog, int id);
void SetItemText(HWND dialog, int id, const std::wstring& text);
// Clicks button `id` of `dialog` without waiting for what the click starts.
void Click(HWND dialog, int id);
bool IsItemEnabled(HWND dialog, int id);

} // namespace testsupport
