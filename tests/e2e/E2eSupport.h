#pragma once
// What the end-to-end tests share beyond tests/support: brindle.exe and the fake viewer, the
// fake viewer's record of the command lines it was started with, Wine's tray icons, and the
// fixture that starts brindle.exe as the mail client starts it. Every test runs in the one Wine
// session of the run, so each ends the programs it started and leaves the settings key as it
// found it (absent).

#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "instance/Identity.h"
#include "support/Process.h"
#include "support/Registry.h"
#include "support/TestText.h"
#include "support/Wait.h"
#include "support/Window.h"

namespace e2e {

using namespace testsupport;

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
// The same command lines as a Unicode program gets them, in UTF-8.
constexpr const char* viewerWideLogName = "fakeviewer-w.log";
inline const std::string viewerLogPath = FolderOf(fakeViewerPath) + viewerLogName;
inline const std::string viewerWideLogPath = FolderOf(fakeViewerPath) + viewerWideLogName;

// `text` in UTF-8, as the fake viewer's Unicode log holds it.
inline std::string Utf8Of(const std::wstring& text) {
    const int length = static_cast<int>(text.size());
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string utf8(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), length, utf8.data(), size, nullptr, nullptr);
    return utf8;
}

// Brindle's messages, written here rather than taken from the product, so that a changed text
// fails the tests.
constexpr const char* lineTooLongText = "コマンドラインが長すぎます (259 文字まで)";
constexpr const char* textTooLongText = "ファイル名が長すぎます (255 文字まで)";

inline HWND MainDialogOf(DWORD processId) {
    return FindWindowOf(processId, "#32770", mainWindowTitle, false);
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

// A window of the test program in front, as the user's mail client is when it starts
// Brindle. Destroyed with the object.
class FrontWindow {
  public:
    FrontWindow() {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = className;
        RegisterClassA(&windowClass); // fails harmlessly when a test before registered it
        window = CreateWindowA(className, "Mail", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 300,
                               200, nullptr, nullptr, windowClass.hInstance, nullptr);
        SetForegroundWindow(window);
        EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == window; }))
            << "the test's window did not come to the front";
    }
    ~FrontWindow() { DestroyWindow(window); }
    FrontWindow(const FrontWindow&) = delete;
    FrontWindow& operator=(const FrontWindow&) = delete;

    HWND Hwnd() const { return window; }

  private:
    static constexpr const char* className = "E2eFrontWindow";
    HWND window = nullptr;
};

// The active window of the thread that owns `window` (null when it has none).
inline HWND ActiveWindowOfThreadOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndActive;
}

// While it lives, the programs that start get `dpi` as the display's resolution, as on a
// display scaled to dpi / 96: Wine reads HKCU\Control Panel\Desktop\LogPixels when a
// process starts. The value the test found is put back after it.
class DisplayDpi {
  public:
    explicit DisplayDpi(DWORD dpi) {
        RegCreateKeyExA(HKEY_CURRENT_USER, keyPath, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                        nullptr, &key, nullptr);
        DWORD size = sizeof before;
        hadValue = RegQueryValueExA(key, valueName, nullptr, nullptr,
                                    reinterpret_cast<BYTE*>(&before), &size) == ERROR_SUCCESS;
        EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(key, valueName, 0, REG_DWORD,
                                                reinterpret_cast<const BYTE*>(&dpi), sizeof dpi));
    }
    ~DisplayDpi() {
        if (hadValue)
            RegSetValueExA(key, valueName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&before),
                           sizeof before);
        else
            RegDeleteValueA(key, valueName);
        RegCloseKey(key);
    }
    DisplayDpi(const DisplayDpi&) = delete;
    DisplayDpi& operator=(const DisplayDpi&) = delete;

  private:
    static constexpr const char* keyPath = "Control Panel\\Desktop";
    static constexpr const char* valueName = "LogPixels";
    HKEY key = nullptr;
    DWORD before = 0;
    bool hadValue = false;
};

// The records of a fake viewer's log, oldest first; by default the command lines of the fake
// viewer in the build as an ANSI viewer of a system with code page 932 reads them (on another
// system, its Unicode command lines in that code page).
inline std::vector<std::string> ViewerLog(const std::string& path = viewerLogPath);

inline std::vector<std::string> ViewerLogRecords(const std::string& path) {
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

inline std::vector<std::string> ViewerLog(const std::string& path) {
    if (path != viewerLogPath || GetACP() == 932)
        return ViewerLogRecords(path);
    std::vector<std::string> records = ViewerLogRecords(viewerWideLogPath);
    for (std::string& record : records) {
        std::wstring wide(record.size(), L'\0');
        wide.resize(static_cast<size_t>(
            MultiByteToWideChar(CP_UTF8, 0, record.data(), static_cast<int>(record.size()),
                                wide.data(), static_cast<int>(wide.size()))));
        record = Cp932Of(wide);
    }
    return records;
}

// The log once it holds at least `count` records (or what it holds at the deadline).
inline std::vector<std::string> WaitForViewerLog(size_t count,
                                                 const std::string& path = viewerLogPath) {
    std::vector<std::string> records;
    WaitUntil([&] { return (records = ViewerLog(path)).size() >= count; });
    return records;
}

// Base of the end-to-end fixtures: no settings and no viewer log before a test, every
// brindle.exe it started ended and the settings removed after it.
class BrindleTest : public testing::Test {
  protected:
    void SetUp() override {
        DeleteSettings();
        DeleteViewerLogs();
        ASSERT_EQ(nullptr, FindWindowA("#32770", mainWindowTitle))
            << "a brindle.exe of an earlier test still runs";
    }

    void TearDown() override {
        for (Process& process : started)
            End(process);
        DeleteSettings();
        DeleteViewerLogs();
    }

    static void DeleteViewerLogs() {
        DeleteFileA(viewerLogPath.c_str());
        DeleteFileA((FolderOf(fakeViewerPath) + viewerDirLogName).c_str());
        DeleteFileA(viewerWideLogPath.c_str());
    }

    // Starts brindle.exe with `arguments` as the command line's tail, as the mail client
    // does, in the current directory `directory` (null: the test's). The process is ended
    // after the test if it still runs.
    Process& Start(const std::string& arguments, const char* directory = nullptr) {
        std::string line = '"' + brindlePath + '"';
        if (!arguments.empty())
            line += ' ' + arguments;
        Process& process = started.emplace_back();
        if (!process.Start(line, directory))
            ADD_FAILURE() << "cannot start " << line << ": error " << GetLastError();
        return process;
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
        const Process& start = Start(arguments);
        EXPECT_TRUE(PickMenusUntil(resident, item, [&] { return !start.Running(); }))
            << "the hand-off of " << arguments.substr(0, 40) << " stalled: "
            << (VisibleMenuOf(resident) ? "its menu stayed open" : "no menu opened");
        EXPECT_EQ(0u, start.WaitForExit());
    }

    // Starts brindle.exe with `arguments` (whose hand-off text is `text`) beside a resident
    // instance, and returns once the resident has taken the hand-off: its menu may be open, or
    // the hand-off waits for its turn (the start waits then, windowless). The test holds a
    // reference of the text's atom meanwhile, so that the start's atom cannot come and go
    // unseen; false (after a test failure) when the hand-off did not arrive.
    bool StartAndWaitForDelivery(const std::string& arguments, const std::string& text,
                                 Process** process = nullptr) {
        const ATOM held = GlobalAddAtomA(text.c_str());
        Process& start = Start(arguments);
        if (process)
            *process = &start;
        // The start has added its reference to the atom once it waits on its event.
        const std::wstring waiting = HandoffDoneEventName(start.Id(), held);
        const bool added = WaitUntil([&] {
            const UniqueKernelHandle event(OpenEventW(SYNCHRONIZE, FALSE, waiting.c_str()));
            return event || !start.Running();
        });
        GlobalDeleteAtom(held);
        const bool taken = added && WaitUntil([&] { return GlobalFindAtomA(text.c_str()) == 0; });
        EXPECT_TRUE(taken) << "the hand-off of " << text << " did not reach the resident";
        return taken;
    }

    // The message box that process `processId` shows, checked and dismissed; once it has
    // closed, nothing of it stands in the way of the next menu.
    static void ExpectMessage(DWORD processId, const std::string& text) {
        HWND box = WaitForMessageBox(processId);
        ASSERT_NE(nullptr, box) << "no message " << text;
        EXPECT_EQ(text, ReadMessageBox(box).text);
        PostCommand(box, IDOK);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
    }

    static void SeedViewers(const std::vector<Viewer>& viewers) {
        ASSERT_TRUE(StoreViewers(viewers));
    }

    // Ends `process` as the user would: whatever it left open closed, then its main dialog
    // cancelled. One that does not end is terminated, and a tray icon it may have left is
    // cleared (Wine drops the icon of a destroyed window on the next mouse message).
    static void End(const Process& process) {
        if (!process.Running())
            return;
        HWND dialog = MainDialogOf(process.Id());
        for (HWND window : TopLevelWindows(process.Id())) {
            if (ClassOf(window) == "#32768" && IsWindowVisible(window))
                DismissMenu(window);
            else if (ClassOf(window) == "#32770" && window != dialog)
                PostCommand(window, IDCANCEL);
        }
        if (dialog)
            PostCommand(dialog, IDCANCEL);
        if (process.WaitForExit() == STILL_ACTIVE) {
            ADD_FAILURE() << "brindle.exe " << process.Id() << " did not end; terminated";
            process.Terminate();
            for (HWND icon : TrayIcons())
                SendWithDeadline(icon, WM_MOUSEMOVE);
        }
    }

    std::deque<Process> started;
};

} // namespace e2e
