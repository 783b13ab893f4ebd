#include "support/Process.h"

#include <algorithm>

#include "support/TestText.h"

namespace testsupport {

std::string WinePath(std::string path) {
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

bool Process::Start(std::string commandLine, const char* directory) {
    return Start(WideOf(commandLine), directory ? WideOf(directory).c_str() : nullptr);
}

bool Process::Start(std::wstring commandLine, const wchar_t* directory) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    // Under load Wine now and then fails a start with ERROR_INTERNAL_ERROR before the program
    // runs at all; the same start a moment later succeeds.
    for (int attempt = 1;; ++attempt) {
        if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                           directory, &startup, &info))
            break;
        if (GetLastError() != ERROR_INTERNAL_ERROR || attempt == 3)
            return false;
        Sleep(200);
    }
    CloseHandle(info.hThread);
    process.Reset(info.hProcess);
    id = info.dwProcessId;
    return true;
}

bool Process::Running() const {
    return process && WaitForSingleObject(process.Get(), 0) == WAIT_TIMEOUT;
}

DWORD Process::WaitForExit(DWORD limitMs) const {
    WaitUntil([&] { return !Running(); }, limitMs);
    DWORD code = STILL_ACTIVE;
    if (process)
        GetExitCodeProcess(process.Get(), &code);
    return code;
}

void Process::Terminate(UINT code) const {
    if (!Running())
        return;
    TerminateProcess(process.Get(), code);
    WaitForSingleObject(process.Get(), waitLimitMs);
}

} // namespace testsupport
