#pragma once
// What the end-to-end tests share: brindle.exe started as the mail client starts it, waits
// with a deadline, Brindle's windows found by process, its pop-up menus and message boxes
// driven from outside, and the fake viewer's record of the command lines it was started with.
// Every test runs in the one Wine session of the run, so each ends the programs it started and
// leaves the settings key as it found it (absent).

#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "store/SettingsKey.h"
#include "store/ViewerStore.h"

namespace e2e {

// No wait of a test lasts longer: a program that hangs fails the test instead of stalling it.
constexpr DWORD waitLimitMs = 10000;

// Polls `done` until it holds or `limitMs` has passed. The calling thread's messages are
// pumped meanwhile, so that a window of the test never stalls a program that sends to it.
inline bool WaitUntil(const std::function<bool()>& done, DWORD limitMs = waitLimitMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        if (done())
            return true;
        if (GetTickCount() - start >= limitMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

// A path of the build machine as the programs under Wine see it (drive Z: is the root).
inline std::string WinePath(std::string path) {
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
    for (char& c : path) {
        if (c == '/')
            c = '\\';
    }
    return path;
}

// The folder part of a Windows path, with its backslash.
inline std::string FolderOf(const std::string& path) {
    return path.substr(0, path.find_last_of('\\') + 1);
}

inline const std::string brindlePath = WinePath(BRINDLE_EXE);
inline const std::string fakeViewerPath = WinePath(FAKEVIEWER_EXE);
// The fake viewer as a viewer entry's command names it: quoted, as a path with spaces must be.
inline const std::string fakeViewer = '"' + fakeViewerPath + '"';
// The fake viewer's logs, beside each copy of it: its command lines and, in the same order,
// the current directories it was started in.
constexpr const char* viewerLogName = "fakeviewer.log";
constexpr const char* viewerDirLogName = "fakeviewer-dir.log";
inline const std::string viewerLogPath = FolderOf(fakeViewerPath) + viewerLogName;

constexpr const char* mainDialogTitle = "Brindle Launcher";
constexpr const char* messageBoxCaption = "BRINDLE";
constexpr UINT wmHandoff = WM_USER + 101;

inline std::string ClassOf(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

inline std::string TextOf(HWND window) {
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

struct WindowSearch {
    DWORD processId;
    std::vector<HWND> found;
};

inline BOOL CALLBACK CollectWindowOf(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId)
        search->found.push_back(window);
    return TRUE;
}

// The top-level windows of process `processId`, hidden ones included.
inline std::vector<HWND> TopLevelWindows(DWORD processId) {
    WindowSearch search{processId, {}};
    EnumWindows(CollectWindowOf, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A top-level window of `processId` of class `className`, titled `title` unless that is null,
// and visible when `visibleOnly`; null when there is none.
inline HWND FindWindowOf(DWORD processId, const char* className, const char* title,
                         bool visibleOnly) {
    for (HWND window : TopLevelWindows(processId)) {
        if (ClassOf(window) == className && (!title || TextOf(window) == title) &&
            (!visibleOnly || IsWindowVisible(window)))
            return window;
    }
    return nullptr;
}

inline HWND MainDialogOf(DWORD processId) {
    return FindWindowOf(processId, "#32770", mainDialogTitle, false);
}

inline HWND WaitForWindow(DWORD processId, const char* className, const char* title) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindWindowOf(processId, className, title, true)) != nullptr; });
    return found;
}

// The pop-up menu that process `processId` tracks, once it is open; null after the deadline.
inline HWND WaitForMenu(DWORD processId) {
    return WaitForWindow(processId, "#32768", nullptr);
}

// A message box of process `processId` with Brindle's caption; null after the deadline.
inline HWND WaitForMessageBox(DWORD processId) {
    return WaitForWindow(processId, "#32770", messageBoxCaption);
}

// The message of a message box: the text of its first static control that has one (the icon
// is a static without text).
inline std::string MessageText(HWND box) {
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (ClassOf(child) == "Static" && !TextOf(child).empty())
            return TextOf(child);
    }
    return {};
}

inline void DismissMessageBox(HWND box) {
    PostMessageA(box, WM_COMMAND, IDOK, 0);
}

// A key typed into a tracked menu; the menu's loop takes keys posted to its window.
inline void PressKey(HWND menu, WORD key) {
    PostMessageA(menu, WM_KEYDOWN, key, 1);
    PostMessageA(menu, WM_KEYUP, key, 0xC0000001);
}

// A key typed on the keyboard: it reaches the thread that has the keyboard focus (the one that
// tracks a menu while it is open) after whatever that thread has posted to itself meanwhile.
inline void TypeKey(WORD key) {
    INPUT input[2] = {};
    input[0].type = INPUT_KEYBOARD;
    input[0].ki.wVk = key;
    input[1] = input[0];
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
}

// Picks item `index` (from 0) of an open menu: the first Down highlights the first item.
inline void PickMenuItem(HWND menu, int index) {
    for (int i = 0; i <= index; ++i)
        PressKey(menu, VK_DOWN);
    PressKey(menu, VK_RETURN);
}

inline void DismissMenu(HWND menu) {
    PressKey(menu, VK_ESCAPE);
}

// Returns once `window`'s thread has handled every message sent to it before this call and
// has been through its message loop at least once more.
inline void SyncWith(HWND window) {
    DWORD_PTR result = 0;
    for (int round = 0; round < 2; ++round)
        SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, waitLimitMs, &result);
}

// The tray icons that Wine shows in its stand-alone tray window (there is no desktop tray).
inline std::vector<HWND> TrayIcons() {
    std::vector<HWND> icons;
    HWND tray = FindWindowA("__winex11_standalone_tray", nullptr);
    for (HWND icon = tray ? FindWindowExA(tray, nullptr, "__winex11_tray_icon", nullptr) : nullptr;
         icon; icon = FindWindowExA(tray, icon, "__winex11_tray_icon", nullptr))
        icons.push_back(icon);
    return icons;
}

inline HWND WaitForTrayIcon() {
    HWND icon = nullptr;
    WaitUntil([&] {
        std::vector<HWND> icons = TrayIcons();
        icon = icons.size() == 1 ? icons[0] : nullptr;
        return icon != nullptr;
    });
    return icon;
}

// The records of a fake viewer's log, oldest first; by default the command lines of the fake
// viewer in the build.
inline std::vector<std::string> ViewerLog(const std::string& path = viewerLogPath) {
    std::vector<std::string> records;
    HANDLE log = CreateFileA(path.c_str(), GENERIC_READ,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE)
        return records;
    std::string content;
    char chunk[4096];
    DWORD read = 0;
    while (ReadFile(log, chunk, sizeof chunk, &read, nullptr) && read > 0)
        content.append(chunk, read);
    CloseHandle(log);
    for (size_t start = 0, end; (end = content.find('\n', start)) != std::string::npos;
         start = end + 1)
        records.push_back(content.substr(start, end - start));
    return records;
}

// The log once it holds at least `count` records (or what it holds at the deadline).
inline std::vector<std::string> WaitForViewerLog(size_t count,
                                                 const std::string& path = viewerLogPath) {
    std::vector<std::string> records;
    WaitUntil([&] { return (records = ViewerLog(path)).size() >= count; });
    return records;
}

// A brindle.exe started by a test.
class Process {
  public:
    explicit Process(const PROCESS_INFORMATION& info) : info(info) {}
    ~Process() {
        if (info.hThread)
            CloseHandle(info.hThread);
        if (info.hProcess)
            CloseHandle(info.hProcess);
    }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    DWORD Id() const { return info.dwProcessId; }
    HANDLE Handle() const { return info.hProcess; }
    bool Running() const {
        return info.hProcess && WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT;
    }
    // Waits for the process to end; its exit code, or STILL_ACTIVE at the deadline.
    DWORD WaitForExit() const {
        WaitUntil([&] { return !Running(); });
        DWORD code = STILL_ACTIVE;
        if (info.hProcess)
            GetExitCodeProcess(info.hProcess, &code);
        return code;
    }

  private:
    PROCESS_INFORMATION info;
};

// Base of the end-to-end fixtures: no settings and no viewer log before a test, every
// brindle.exe it started ended and the settings removed after it.
class BrindleTest : public testing::Test {
  protected:
    void SetUp() override {
        ResetSettings();
        DeleteViewerLogs();
        ASSERT_EQ(nullptr, FindWindowA("#32770", mainDialogTitle))
            << "a brindle.exe of an earlier test still runs";
    }

    void TearDown() override {
        for (const std::unique_ptr<Process>& process : started)
            End(*process);
        ResetSettings();
        DeleteViewerLogs();
    }

    static void DeleteViewerLogs() {
        DeleteFileA(viewerLogPath.c_str());
        DeleteFileA((FolderOf(fakeViewerPath) + viewerDirLogName).c_str());
    }

    // Starts brindle.exe with `arguments` as the command line's tail, as the mail client
    // does, in the current directory `directory` (null: the test's). The process is ended
    // after the test if it still runs.
    Process& Start(const std::string& arguments, const char* directory = nullptr) {
        std::string line = '"' + brindlePath + '"';
        if (!arguments.empty())
            line += ' ' + arguments;
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, directory,
                            &startup, &info))
            ADD_FAILURE() << "cannot start " << line << ": error " << GetLastError();
        started.push_back(std::make_unique<Process>(info));
        return *started.back();
    }

    // Starts brindle.exe without arguments and waits for its main dialog, the resident
    // instance's window, and for its message loop to run.
    HWND StartResident(Process** process = nullptr) {
        Process& resident = Start("");
        if (process)
            *process = &resident;
        HWND dialog = nullptr;
        WaitUntil([&] { return (dialog = MainDialogOf(resident.Id())) != nullptr; });
        EXPECT_NE(nullptr, dialog) << "no resident instance";
        // Its message loop has run dry once: the dialog has made its own show-or-hide decision
        // before the test clicks anything.
        EXPECT_EQ(0u, WaitForInputIdle(resident.Handle(), waitLimitMs));
        return dialog;
    }

    // Hands `arguments` over to the resident instance `resident`, picks menu item `item` and
    // checks that the starting process ends with exit code 0 once the menu has closed.
    void HandOverAndPick(DWORD resident, const std::string& arguments, int item) {
        Process& start = Start(arguments);
        HWND menu = WaitForMenu(resident);
        ASSERT_NE(nullptr, menu) << "no menu for " << arguments.substr(0, 40);
        PickMenuItem(menu, item);
        EXPECT_EQ(0u, start.WaitForExit());
    }

    static void SeedViewers(const std::vector<ViewerEntry>& viewers) {
        ASSERT_TRUE(ViewerStore().Save(viewers));
    }

    // Removes HKCU\Software\Copperfinch\<product> with everything below it.
    static void ResetSettings(const char* product = settingsProduct) {
        HKEY maker = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Copperfinch", 0, KEY_ALL_ACCESS, &maker) !=
            ERROR_SUCCESS)
            return;
        SettingsKey settings;
        settings.DeleteSubKey(product, maker);
        RegCloseKey(maker);
    }

    // Ends `process` as the user would: whatever it left open closed, then its main dialog
    // cancelled. One that does not end is terminated, and a tray icon it may have left is
    // cleared (Wine drops the icon of a destroyed window on the next mouse message).
    static void End(Process& process) {
        if (!process.Running())
            return;
        HWND dialog = MainDialogOf(process.Id());
        for (HWND window : TopLevelWindows(process.Id())) {
            if (ClassOf(window) == "#32768" && IsWindowVisible(window))
                DismissMenu(window);
            else if (ClassOf(window) == "#32770" && window != dialog)
                PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
        }
        if (dialog)
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        if (process.WaitForExit() == STILL_ACTIVE) {
            ADD_FAILURE() << "brindle.exe " << process.Id() << " did not end; terminated";
            TerminateProcess(process.Handle(), 1);
            WaitForSingleObject(process.Handle(), waitLimitMs);
            for (HWND icon : TrayIcons())
                SendMessageTimeoutA(icon, WM_MOUSEMOVE, 0, 0, SMTO_NORMAL, waitLimitMs, nullptr);
        }
    }

    std::vector<std::unique_ptr<Process>> started;
};

} // namespace e2e
