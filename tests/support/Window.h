#pragma once
// Windows as a user sees them, found and driven from outside their program (or thread): their
// texts, the top-level windows of a process, the pop-up menus it tracks and the message boxes
// it shows.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "instance/WindowTitle.h"
#include "support/Wait.h"

namespace testsupport {

// The title by which a later start finds the resident instance's main dialog.
constexpr const char* mainWindowTitle = BRINDLE_MAIN_WINDOW_TITLE;

// The caption of the entry editor.
constexpr const char* editorCaption = "メニュー詳細";

// The whole window text (in code page 932, as the tests' texts are; WideTextOf: in UTF-16, as
// the window holds it), and the window's class name.
std::string TextOf(HWND window);
std::wstring WideTextOf(HWND window);
std::string ClassOf(HWND window);

// The top-level windows of process `processId`, of its thread `threadId` unless that is 0,
// hidden ones included.
std::vector<HWND> TopLevelWindows(DWORD processId, DWORD threadId = 0);

// A top-level window of process `processId` (any process with 0) of class `className`,
// titled `title` unless that is null, and visible when `visibleOnly`; null when there is none.
HWND FindWindowOf(DWORD processId, const char* className, const char* title, bool visibleOnly);

// The same, visible, once it is there; null at the deadline.
HWND WaitForWindow(DWORD processId, const char* className, const char* title,
                   DWORD limitMs = waitLimitMs);

// Sends `message` to `window` and returns once it has been handled, or at the deadline.
void SendWithDeadline(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

// Returns once `window`'s thread has handled every message sent to it before this call and
// has been through its message loop at least once more (or the deadline has passed).
void SyncWith(HWND window);

// The pop-up menu that process `processId` (any with 0) tracks, while it is open.
HWND VisibleMenuOf(DWORD processId);
// The same, once it is open; null at the deadline.
HWND WaitForMenu(DWORD processId);
// A key typed into a tracked menu; the menu's loop takes keys posted to its window.
void PressKey(HWND menu, WORD key);
// A key typed on the keyboard, with `modifier` (VK_MENU for Alt, ...) held when it is not 0: it
// reaches the thread that has the keyboard focus (the one that tracks a menu while it is open)
// after whatever that thread has posted to itself meanwhile.
void TypeKey(WORD key, WORD modifier = 0);
// The window that has the keyboard focus on `window`'s thread.
HWND FocusOf(HWND window);
// Picks item `index` (from 0) of an open menu, whichever item it opened with highlighted.
void PickMenuItem(HWND menu, int index);
// Dismisses an open menu as the user's Escape does.
void DismissMenu(HWND menu);
// Chooses item `index` of every viewer menu that process `processId` opens, whatever its
// window, until `done` holds, as a user does: by its number key (the first nine), each menu as
// it opens, and a menu again when it stays open a while after (its key never reached it).
// False at the deadline.
bool PickMenusUntil(DWORD processId, int index, const std::function<bool()>& done,
                    DWORD limitMs = waitLimitMs);

// A message box as a user sees it.
struct MessageBoxView {
    HWND owner = nullptr;
    std::string caption;
    std::string text;
    HICON icon = nullptr; // what its icon shows; null without one
};
MessageBoxView ReadMessageBox(HWND box);
// The icon the system shows for MB_ICONEXCLAMATION.
HICON ExclamationIcon();
// A message box of process `processId` with Brindle's caption, once it is there; null at the
// deadline.
HWND WaitForMessageBox(DWORD processId);
// Posts button `id`'s command to a dialog or message box, as a click on the button does.
void PostCommand(HWND window, int id);

} // namespace testsupport
