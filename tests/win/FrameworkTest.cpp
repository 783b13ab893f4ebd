// The application object and the file dialog.

#include "FrameworkTestSupport.h"

#include <cstring>
#include <cwchar>
#include <utility>

#include "framework/FileDialog.h"
#include "support/FileDialogDriver.h"

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

constexpr const wchar_t* programsFilter = L"実行ﾌｧｲﾙ (*.exe)|*.exe|全てのﾌｧｲﾙ (*.*)|*.*||";

// Runs `dialog`, answering the system's dialog with `choice` (Cancel when empty); `result` gets
// DoModal's result. What the system's dialog showed.
FileDialogView Answered(fw::FileDialog& dialog, const std::wstring& choice = L"",
                        INT_PTR* result = nullptr) {
    FileDialogAnswer answer(GetCurrentThreadId(), choice);
    const INT_PTR modalResult = dialog.DoModal();
    if (result)
        *result = modalResult;
    return answer.Seen();
}

// The names in the list of types, and the first type's pattern choosing the files listed.
TEST_F(FileOpenDialog, FilterGivesTheTypesAndTheFirstPatternChoosesTheFiles) {
    TemporaryFolder folder(L"brindle-file-types", {L"viewer.exe", L"notes.txt"});
    fw::FileDialog dialog(L"exe", folder.PathOf(L"viewer.exe"), OFN_HIDEREADONLY, programsFilter);
    const FileDialogView view = Answered(dialog);
    EXPECT_EQ((std::vector<std::wstring>{L"実行ﾌｧｲﾙ (*.exe)", L"全てのﾌｧｲﾙ (*.*)"}),
              view.fileTypes);
    EXPECT_EQ(std::vector<std::wstring>{L"viewer.exe"}, view.files);
}

// The dialog opens in the starting file's folder, with its name in the file-name field.
TEST_F(FileOpenDialog, StartingFileNameIsOfferedAndCutToTheBuffer) {
    TemporaryFolder folder(L"brindle-starting-name", {});
    fw::FileDialog shortName(nullptr, folder.PathOf(L"ﾂｰﾙ表示\u00E9.exe"), 0, programsFilter);
    FileDialogView view = Answered(shortName);
    EXPECT_EQ(folder.Path(), view.folder);
    EXPECT_EQ(L"ﾂｰﾙ表示\u00E9.exe", view.fileName);

    const std::wstring longName = L"C:\\" + std::wstring(400, L'n') + L".exe";
    struct Guarded {
        fw::FileDialog dialog;
        char guard[64];
    };
    Guarded guarded{fw::FileDialog(nullptr, longName, 0, programsFilter), {}};
    std::memset(guarded.guard, 0x5A, sizeof guarded.guard);
    view = Answered(guarded.dialog);
    EXPECT_EQ(L"C:\\", view.folder);
    // The 260-character buffer with its terminator.
    EXPECT_EQ(longName.substr(3, MAX_PATH - 1 - 3), view.fileName);
    EXPECT_EQ(std::string(sizeof guarded.guard, '\x5A'),
              std::string(guarded.guard, sizeof guarded.guard));
}

TEST_F(FileOpenDialog, ChosenPathIsReturned) {
    TemporaryFolder folder(L"brindle-chosen-path", {L"表示ソフト.exe"});
    fw::FileDialog dialog(L"exe", L"", 0, programsFilter);
    INT_PTR result = 0;
    Answered(dialog, folder.PathOf(L"表示ソフト.exe"), &result);
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(folder.PathOf(L"表示ソフト.exe"), dialog.PathName());

    // As long as the buffer takes.
    const std::wstring longest = L"C:\\" + std::wstring(MAX_PATH - 4, L'p');
    fw::FileDialog longDialog(L"exe", L"", 0, programsFilter);
    Answered(longDialog, longest, &result);
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(longest, longDialog.PathName());
}

TEST_F(FileOpenDialog, OwnerIsTheMainWindowsLastActivePopup) {
    HWND popup = nullptr;
    HWND ownerWithoutParent = nullptr;
    HWND ownerWithParent = nullptr;
    // The system's dialogs take their time to open on a busy machine: the probes wait longer.
    ProbeDialog main(IDD_PLAIN);
    main.tickLimit = 3000;
    TheApp().SetMainWindow(&main);
    main.onShown = [&](ProbeDialog& first) {
        ProbeDialog editor(IDD_SMALL);
        editor.tickLimit = 3000;
        editor.onShown = [&](ProbeDialog& self) {
            popup = self.Hwnd();
            fw::FileDialog withoutParent(L"exe", L"", 0, programsFilter);
            ownerWithoutParent = Answered(withoutParent).owner;
            fw::FileDialog withParent(L"exe", L"", 0, programsFilter, &first);
            ownerWithParent = Answered(withParent).owner;
            self.EndDialog(IDOK);
        };
        EXPECT_EQ(IDOK, editor.DoModal());
        first.EndDialog(IDOK);
    };
    ASSERT_EQ(IDOK, main.DoModal());
    EXPECT_EQ(popup, ownerWithoutParent);
    EXPECT_EQ(main.initWindow, ownerWithParent);

    TheApp().SetMainWindow(nullptr);
    fw::FileDialog unowned(L"exe", L"", 0, programsFilter);
    EXPECT_EQ(nullptr, Answered(unowned).owner);
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

    fw::FileDialog dialog(L"exe", module, OFN_HIDEREADONLY, programsFilter);
    INT_PTR result = 0;
    Answered(dialog, module, &result);
    char after[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof after, after);
    SetCurrentDirectoryA(before);
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(std::wstring(module), dialog.PathName());
    EXPECT_STREQ(system, after);
}

} // namespace
} // namespace fwtest
