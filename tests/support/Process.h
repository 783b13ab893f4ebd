#pragma once
// Programs started as a mail client starts them, and the paths they are started by.

#include <windows.h>

#include <string>

#include "platform/Handles.h"
#include "support/Wait.h"

namespace testsupport {

// A path of the build machine as programs under Wine see it (drive Z: is the root).
std::string WinePath(std::string path);

// A program started by a test or benchmark; its handles are closed when it goes out of scope
// (the program itself runs on).
class Process {
  public:
    // Starts `commandLine` (a text of the tests, in code page 932) as a mail client does (no
    // inherited handles), in the current directory `directory` (null: the caller's); false
    // when it could not be started.
    bool Start(std::string commandLine, const char* directory = nullptr);
    // The same with a command line in UTF-16 (CreateProcessW), as a Unicode mail client starts
    // it: the started program gets every character, also those the ANSI code page lacks.
    bool Start(std::wstring commandLine, const wchar_t* directory = nullptr);

    DWORD Id() const { return id; }
    HANDLE Handle() const { return process.Get(); }
    bool Running() const;
    // Waits until the program has ended; its exit code, or STILL_ACTIVE when it still runs at
    // the deadline. Messages are pumped meanwhile (see WaitUntil).
    DWORD WaitForExit(DWORD limitMs = waitLimitMs) const;
    // Ends a program that still runs with exit code `code`, and waits for its end.
    void Terminate(UINT code = 1) const;

  private:
    DWORD id = 0;
    UniqueKernelHandle process;
};

} // namespace testsupport
