// A viewer that only records how it was started: it appends its command line, byte for byte,
// and a line feed to fakeviewer.log beside its own executable, then waits for input for a
// moment (so that its starter's WaitForInputIdle returns) and ends. With /busy among its
// arguments it first handles no message for 6 s, as a heavy viewer does while it loads.

#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char module[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(nullptr, module, sizeof module);
    if (length == 0 || length >= sizeof module)
        return 1;
    std::string logPath(module, length);
    logPath.erase(logPath.find_last_of('\\') + 1);
    logPath += "fakeviewer.log";

    std::string record = GetCommandLineA();
    record += '\n';
    HANDLE log = CreateFileA(logPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    BOOL ok = WriteFile(log, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
    CloseHandle(log);

    if (record.find(" /busy") != std::string::npos)
        Sleep(6000);
    SetTimer(nullptr, 0, 200, nullptr);
    MSG msg{};
    while (GetMessageA(&msg, nullptr, 0, 0) > 0 && msg.message != WM_TIMER)
        DispatchMessageA(&msg);
    return ok && written == record.size() ? 0 : 1;
}
