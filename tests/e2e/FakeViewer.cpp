// A viewer that only records how it was started: it appends its current directory to
// fakeviewer-dir.log, its command line as a Unicode program gets it to fakeviewer-w.log (in
// UTF-8), then as an ANSI program gets it, byte for byte, to fakeviewer.log, each with a line
// feed and all beside its own executable (so each copy of it keeps logs of its own), then
// waits for input for a moment (so that its starter's WaitForInputIdle returns) and ends. With
// /busy=MS among its arguments it first handles no message for MS milliseconds, as a heavy
// viewer does while it loads.

#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

bool Append(const std::string& path, std::string record) {
    record += '\n';
    HANDLE log = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(log, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
    CloseHandle(log);
    return ok && written == record.size();
}

// `text` in UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf8Of(const wchar_t* text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(size > 0 ? size : 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), size, nullptr, nullptr);
    utf8.pop_back();
    return utf8;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char module[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(nullptr, module, sizeof module);
    if (length == 0 || length >= sizeof module)
        return 1;
    std::string folder(module, length);
    folder.erase(folder.find_last_of('\\') + 1);
    char current[MAX_PATH] = {};
    DWORD currentLength = GetCurrentDirectoryA(sizeof current, current);
    if (currentLength == 0 || currentLength >= sizeof current)
        return 1;

    // The command line last: a test that has seen it finds the directory already recorded.
    bool ok = Append(folder + "fakeviewer-dir.log", std::string(current, currentLength)) &&
              Append(folder + "fakeviewer-w.log", Utf8Of(GetCommandLineW())) &&
              Append(folder + "fakeviewer.log", GetCommandLineA());

    const std::string line = GetCommandLineA();
    if (const size_t busy = line.find(" /busy="); busy != std::string::npos)
        Sleep(std::strtoul(line.c_str() + busy + 7, nullptr, 10));
    SetTimer(nullptr, 0, 200, nullptr);
    MSG msg{};
    while (GetMessageA(&msg, nullptr, 0, 0) > 0 && msg.message != WM_TIMER)
        DispatchMessageA(&msg);
    return ok ? 0 : 1;
}
