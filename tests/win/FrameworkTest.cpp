// The application object and the file dialog.

#include "FrameworkTestSupport.h"

#include <cstring>
#include <cwchar>
#include <utility>

#include "framework/FileDialog.h"

namespace fwtest {
namespace {

using namespace std::string_literals;

class Application : public FrameworkTest {};
class FileOpenDialog : public FrameworkTest {};

TEST_F(Application, RunApplicationCallsInitInstanceOnceAndGivesItsExitCode) {
    TestApp& app = TheApp();
    ASSERT_EQ(&app, fw::App::Current());
    app.exitCode = 77;
    EXPECT_EQ(77, fw::RunApplication(GetModuleHandleA(nullptr)));
    EXPECT_EQ(1, app.initCalls);
}

// What the file dialog handed over in place of the system dialog.
struct FileRequest {
    int calls = 0;
    HWND owner = nullptr;
    std::wstring filter; // up to and including its double NUL
    std::wstring file;
    DWORD maxFile = 0;
    const wchar_t* answerPath = nullptr;
};
FileRequest request;

INT_PTR AnswerFileRequest(OPENFILENAMEW& asked) {
    ++request.calls;
    request.owner = asked.hwndOwner;
    const wchar_t* end = asked.lpstrFilter;
    while (*end)
        end += std::wcslen(end) + 1;
    request.filter.assign(asked.lpstrFilter, end + 1);
    request.file = asked.lpstrFile;
    request.maxFile = asked.nMaxFile;
    if (!request.answerPath)
        return IDCANCEL;
    std::wcsncpy(asked.lpstrFile, request.answerPath, asked.nMaxFile - 1);
    asked.lpstrFile[asked.nMaxFile - 1] = L'\0';
    return IDOK;
}

constexpr const wchar_t* programsFilter = L"実行ﾌｧｲﾙ (*.exe)|*.exe|全てのﾌｧｲﾙ (*.*)|*.*||";

// Runs `dialog` with the answer above; `answerPath` null cancels.
INT_PTR Ask(fw::FileDialog& dialog, const wchar_t* answerPath = nullptr) {
    request = {};
    request.answerPath = answerPath;
    fw::FileDialog::testAnswer = AnswerFileRequest;
    return dialog.DoModal();
}

TEST_F(FileOpenDialog, FilterArrivesNulSeparatedWithADoubleNulEnd) {
    fw::FileDialog dialog(true, L"exe", L"", OFN_HIDEREADONLY, programsFilter);
    EXPECT_EQ(IDCANCEL, Ask(dialog));
    ASSERT_EQ(1, request.calls);
    EXPECT_EQ(L"実行ﾌｧｲﾙ (*.exe)\0*.exe\0全てのﾌｧｲﾙ (*.*)\0*.*\0\0"s, request.filter);
}

TEST_F(FileOpenDialog, StartingFileNameIsPassedAndCutToTheBuffer) {
    fw::FileDialog shortName(true, nullptr, L"C:\\ﾂｰﾙ\\表示\u00E9.exe", 0, programsFilter);
    Ask(shortName);
    EXPECT_EQ(L"C:\\ﾂｰﾙ\\表示\u00E9.exe", request.file);
    EXPECT_EQ(static_cast<DWORD>(MAX_PATH), request.maxFile);

    const std::wstring longName = L"C:\\" + std::wstring(400, L'n') + L".exe";
    struct Guarded {
        fw::FileDialog dialog;
        char guard[64];
    };
    Guarded guarded{fw::FileDialog(true, nullptr, longName, 0, programsFilter), {}};
    std::memset(guarded.guard, 0x5A, sizeof guarded.guard);
    Ask(guarded.dialog);
    EXPECT_EQ(longName.substr(0, MAX_PATH - 1), request.file);
    EXPECT_EQ(static_cast<DWORD>(MAX_PATH), request.maxFile);
    EXPECT_EQ(std::string(sizeof guarded.guard, '\x5A'),
              std::string(guarded.guard, sizeof guarded.guard));
}

TEST_F(FileOpenDialog, ChosenPathIsReturned) {
    fw::FileDialog dialog(true, L"exe", L"", 0, programsFilter);
    EXPECT_EQ(IDOK, Ask(dialog, L"C:\\ﾂｰﾙ\\表示ソフト.exe"));
    EXPECT_EQ(L"C:\\ﾂｰﾙ\\表示ソフト.exe", dialog.PathName());

    const std::wstring longest = L"C:\\" + std::wstring(MAX_PATH - 4, L'p');
    fw::FileDialog longDialog(true, L"exe", L"", 0, programsFilter);
    EXPECT_EQ(IDOK, Ask(longDialog, longest.c_str()));
    EXPECT_EQ(longest, longDialog.PathName());
}

TEST_F(FileOpenDialog, OwnerIsTheMainWindowsLastActivePopup) {
    HWND popup = nullptr;
    HWND ownerWithoutParent = nullptr;
    HWND ownerWithParent = nullptr;
    ProbeDialog main(IDD_PLAIN);
    TheApp().SetMainWindow(&main);
    main.onShown = [&](ProbeDialog& first) {
        ProbeDialog editor(IDD_SMALL);
        editor.onShown = [&](ProbeDialog& self) {
            popup = self.Hwnd();
            fw::FileDialog withoutParent(true, L"exe", L"", 0, programsFilter);
            Ask(withoutParent);
            ownerWithoutParent = request.owner;
            fw::FileDialog withParent(true, L"exe", L"", 0, programsFilter, &first);
            Ask(withParent);
            ownerWithParent = request.owner;
            self.EndDialog(IDOK);
        };
        EXPECT_EQ(IDOK, editor.DoModal());
        first.EndDialog(IDOK);
    };
    ASSERT_EQ(IDOK, main.DoModal());
    EXPECT_EQ(popup, ownerWithoutParent);
    EXPECT_EQ(main.initWindow, ownerWithParent);

    TheApp().SetMainWindow(nullptr);
    fw::FileDialog unowned(true, L"exe", L"", 0, programsFilter);
    Ask(unowned);
    EXPECT_EQ(nullptr, request.owner);
}

BOOL CALLBACK PressOkIn(HWND window, LPARAM) {
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::strcmp(name, "#32770") == 0 && IsWindowVisible(window))
        PostMessageA(window, WM_COMMAND, IDOK, 0);
    return TRUE;
}

// A timer's callback: presses OK in the visible dialog of this thread, if one is open.
VOID CALLBACK PressOk(HWND, UINT, UINT_PTR, DWORD) {
    EnumThreadWindows(GetCurrentThreadId(), PressOkIn, 0);
}

// The system's own dialog, answered with its starting file: the process is in the same folder
// afterwards (the resident instance must not move into the folder last browsed, where it would
// look for the programs it starts).
TEST_F(FileOpenDialog, ChoosingAFileKeepsTheCurrentDirectory) {
    wchar_t module[MAX_PATH] = {};
    char system[MAX_PATH] = {};
    char before[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameW(nullptr, module, MAX_PATH), 0u);
    ASSERT_GT(GetSystemDirectoryA(system, sizeof system), 0u);
    ASSERT_GT(GetCurrentDirectoryA(sizeof before, before), 0u);
    ASSERT_TRUE(SetCurrentDirectoryA(system));

    const UINT_PTR timer = SetTimer(nullptr, 0, 50, PressOk);
    fw::FileDialog dialog(true, L"exe", module, OFN_HIDEREADONLY, programsFilter);
    const INT_PTR result = dialog.DoModal();
    KillTimer(nullptr, timer);
    char after[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof after, after);
    SetCurrentDirectoryA(before);
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(std::wstring(module), dialog.PathName());
    EXPECT_STREQ(system, after);
}

} // namespace
} // namespace fwtest
