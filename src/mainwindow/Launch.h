#pragma once
// The start of the viewer chosen for a hand-off, and the program that a viewer's command names.

#include <windows.h>

#include <functional>
#include <string>

// The full path of the program that LaunchViewer starts for a viewer's `command`: named in
// quotes, by the unquoted part that exists, or by a bare name that the system searches for
// (".exe" appended when it has no extension). Empty when it cannot be found.
std::wstring ProgramPathOf(const std::wstring& command);

// Waits until a started viewer's process is ready for input, or gives up.
using ReadyWait = std::function<void(HANDLE process)>;

// Starts viewer `title` for `file` with the values the store holds now, then lets
// `waitUntilReady` wait for it. A viewer that no longer exists starts nothing; a launch line
// that would be too long, and a program that cannot be started, are told to the user.
void LaunchViewer(const std::wstring& title, const std::wstring& file,
                  const ReadyWait& waitUntilReady);
