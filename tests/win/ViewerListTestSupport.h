// Shared by the tests of the viewer list and the entry editor: the real dialogs run modally on
// the test's thread while a script on a second thread drives them as a user would, through
// window messages. Every test starts and ends with an empty settings key.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include "Watchdog.h"

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "framework/App.h"
#include "framework/Dialog.h"
#include "store/ViewerStore.h"

namespace listtest {

constexpr const char* editorCaption = "メニュー詳細";

// Base of every fixture: a clean settings key, no test answer for the file dialog, and a
// watchdog that ends the program when a test hangs (it then fails instead of hanging).
class DialogTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

  private:
    std::unique_ptr<Watchdog> watchdog;
};

// Runs `dialog` modally on this thread; once its modal loop runs, `script` gets its window on
// a second thread. When the script returns, whatever it left open is cancelled, the dialog
// last. Returns DoModal's result.
INT_PTR RunDriven(fw::Dialog& dialog, const std::function<void(HWND)>& script);

// Makes `dialog` the application's main window while it runs, as the launcher does (the
// editor and the message boxes are then owned by it).
INT_PTR RunAsMainWindow(fw::Dialog& dialog, const std::function<void(HWND)>& script);

// Waits (up to 10 s) for a visible dialog of the dialogs' thread owned by `owner` whose caption
// is `caption` (any with null); null, after a test failure, when none came.
HWND WaitForDialog(HWND owner, const char* caption);
// Waits (up to 10 s) until `window` is gone, then until the dialog `settle` is back in its
// message loop (so the handler that ran `window` has finished); false, after a test failure,
// when `window` stayed.
bool WaitUntilGone(HWND window, HWND settle);
// True when no visible dialog owned by `owner` is open.
bool NoDialogOwnedBy(HWND owner);

std::string TextOf(HWND window);
std::string ItemTextOf(HWND dialog, int id);
void SetItemText(HWND dialog, int id, const std::string& text);
// Clicks button `id` of `dialog` without waiting for what the click starts.
void Click(HWND dialog, int id);
bool IsItemEnabled(HWND dialog, int id);

// A message box as a user sees it.
struct MessageBoxView {
    std::string caption;
    std::string text;
    bool exclamation = false; // shows the exclamation icon
};
MessageBoxView ReadMessageBox(HWND box);

// The store, read and written without the dialogs.
void Seed(const std::vector<ViewerEntry>& entries);
std::vector<ViewerEntry> Stored();
std::vector<std::string> StoredTitles(); // in menu order
bool KeyExists(const std::string& title);

} // namespace listtest

// For comparisons and failure messages of GoogleTest (found by argument-dependent lookup).
bool operator==(const ViewerEntry& a, const ViewerEntry& b);
void PrintTo(const ViewerEntry& entry, std::ostream* out);
