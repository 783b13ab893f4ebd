// The entry editor on its own, driven like a user: what it shows, what OK and Enter return,
// which entries it refuses, and the browse button.

#include <windows.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstring>

#include "editor/EntryEditorDialog.h"
#include "editor/FoundPrograms.h"
#include "core/LaunchLine.h"
#include "resource.h"
#include "store/ViewerStore.h"
#include "support/DialogDriver.h"
#include "support/FileDialogDriver.h"
#include "support/TestText.h"
#include "support/Window.h"

using namespace testsupport;

namespace {

// "表" and "ソ": their second byte in code page 932 is 0x5C, the byte of a backslash.
const std::wstring hyo = L"表";
const std::wstring so = L"ソ";

std::wstring Repeat(const std::wstring& text, int times) {
    std::wstring repeated;
    for (int i = 0; i < times; ++i)
        repeated += text;
    return repeated;
}

// Types `text` into the window that has the keyboard focus as a keyboard or an input method
// delivers it: one Unicode key event for each UTF-16 unit.
void TypeUnicode(const std::wstring& text) {
    std::vector<INPUT> events;
    for (wchar_t character : text) {
        for (DWORD up : {0ul, static_cast<DWORD>(KEYEVENTF_KEYUP)}) {
            INPUT event{};
            event.type = INPUT_KEYBOARD;
            event.ki.wScan = character;
            event.ki.dwFlags = KEYEVENTF_UNICODE | up;
            events.push_back(event);
        }
    }
    SendInput(static_cast<UINT>(events.size()), events.data(), sizeof(INPUT));
}

// Clicks OK with the fields as they are and expects a refusal: an exclamation box (whose text
// is returned) owned by the editor, and after it the editor still open with the typed text
// and the focus on the field at fault.
std::string ExpectRefused(HWND editor, int faultyField) {
    const std::wstring typed = ItemTextOf(editor, faultyField);
    Click(editor, IDOK);
    HWND box = WaitForDialog(editor, TheApp().Name());
    if (!box)
        return {};
    const MessageBoxView view = ReadMessageBox(box);
    EXPECT_EQ(ExclamationIcon(), view.icon);
    Click(box, IDOK);
    WaitUntilGone(box, editor);
    EXPECT_TRUE(IsWindowVisible(editor)) << "the editor closed";
    EXPECT_EQ(typed, ItemTextOf(editor, faultyField));
    EXPECT_EQ(GetDlgItem(editor, faultyField), FocusOf(editor));
    return view.text;
}

class EntryEditorTest : public DialogTest {};

TEST_F(EntryEditorTest, ShowsTheEntryAndReturnsWhatWasTypedOnOkOrEnter) {
    EntryEditorDialog editor;
    editor.title = L"メモ帳";
    editor.command = L"notepad.exe";
    editor.parameters = L"/a";
    // 255 characters of two bytes each: as long as a key name may be; a 0x5C second byte is
    // no backslash.
    const std::wstring longTitle = Repeat(hyo, 255);
    INT_PTR result = RunDriven(editor, [&](HWND window) {
        EXPECT_EQ(editorCaption, TextOf(window));
        EXPECT_EQ(L"メモ帳", ItemTextOf(window, IDC_TITLE));
        EXPECT_EQ(L"notepad.exe", ItemTextOf(window, IDC_COMMAND));
        EXPECT_EQ(L"/a", ItemTextOf(window, IDC_PARAMETERS));
        SetItemText(window, IDC_TITLE, longTitle);
        SetItemText(window, IDC_COMMAND, L"\"C:\\Program Files\\v.exe\"");
        SetItemText(window, IDC_PARAMETERS, std::wstring(maxLaunchLine, L'p'));
        Click(window, IDOK);
        WaitUntilGone(window, window);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(longTitle, editor.title);
    EXPECT_EQ(L"\"C:\\Program Files\\v.exe\"", editor.command);
    EXPECT_EQ(std::wstring(maxLaunchLine, L'p'), editor.parameters);

    // Enter in a field saves what was typed: the template's default button would cancel.
    EntryEditorDialog entered;
    result = RunDriven(entered, [&](HWND window) {
        SetItemText(window, IDC_TITLE, so + L"フト");
        PostMessageA(GetDlgItem(window, IDC_TITLE), WM_KEYDOWN, VK_RETURN, 1);
        WaitUntilGone(window, window);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(so + L"フト", entered.title);
}

TEST_F(EntryEditorTest, TypedTextReachesEveryFieldWhole) {
    // The last byte of 表 in code page 932 is 0x5C, the byte of a backslash; 〜 (U+301C), é and
    // 𠮷 (a surrogate pair) are outside that code page.
    const std::wstring typed = L"ビューア表\u301C\u00E9\U00020BB7";
    EntryEditorDialog editor;
    INT_PTR result = RunDriven(editor, [&](HWND window) {
        SetForegroundWindow(window);
        for (int field : {IDC_TITLE, IDC_COMMAND, IDC_PARAMETERS}) {
            SCOPED_TRACE("field " + std::to_string(field));
            SendMessageA(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(window, field)),
                         TRUE);
            ASSERT_EQ(GetDlgItem(window, field), FocusOf(window));
            TypeUnicode(typed);
            // Each character typed is one character in the field, once all have arrived.
            for (int i = 0; i < 1000 && ItemTextOf(window, field).size() < typed.size(); ++i)
                Sleep(10);
            EXPECT_EQ(typed, ItemTextOf(window, field));
        }
        Click(window, IDOK);
        WaitUntilGone(window, window);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(typed, editor.title);
    EXPECT_EQ(typed, editor.command);
    EXPECT_EQ(typed, editor.parameters);
}

TEST_F(EntryEditorTest, RefusesTitlesTheStoreCannotHoldAsKeys) {
    EntryEditorDialog editor;
    editor.otherTitles = {L"Viewer", L"Other"};
    INT_PTR result = RunDriven(editor, [&](HWND window) {
        std::vector<std::string> reasons;
        for (const std::wstring& title :
             {std::wstring(), std::wstring(L"a\\b"), std::wstring(maxTitleChars + 1, L'x'),
              std::wstring(L"vIEWER")}) {
            SCOPED_TRACE("title \"" + Cp932Of(title) + "\"");
            SetItemText(window, IDC_TITLE, title);
            reasons.push_back(ExpectRefused(window, IDC_TITLE));
            EXPECT_FALSE(reasons.back().empty());
        }
        // Each says what is wrong; the duplicate names the title.
        for (size_t i = 1; i < reasons.size(); ++i)
            EXPECT_NE(reasons[i - 1], reasons[i]);
        EXPECT_NE(std::string::npos, reasons.back().find("vIEWER"));

        SetItemText(window, IDC_TITLE, L"Viewer2");
        Click(window, IDOK);
        WaitUntilGone(window, window);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(L"Viewer2", editor.title);
}

TEST_F(EntryEditorTest, RefusesCommandsAndParametersTooLongForTheLaunch) {
    EntryEditorDialog editor;
    editor.title = L"Viewer";
    INT_PTR result = RunDriven(editor, [&](HWND window) {
        SetItemText(window, IDC_COMMAND, std::wstring(maxLaunchLine + 1, L'c'));
        const std::string commandReason = ExpectRefused(window, IDC_COMMAND);
        // Counted as the launch counts: 130 characters of two bytes each are 260 bytes.
        SetItemText(window, IDC_COMMAND, Repeat(hyo, 130));
        EXPECT_EQ(commandReason, ExpectRefused(window, IDC_COMMAND));

        SetItemText(window, IDC_COMMAND, Repeat(hyo, 129) + L"c");
        SetItemText(window, IDC_PARAMETERS, std::wstring(maxLaunchLine + 1, L'p'));
        const std::string parametersReason = ExpectRefused(window, IDC_PARAMETERS);
        EXPECT_NE(commandReason, parametersReason);

        SetItemText(window, IDC_PARAMETERS, std::wstring(maxLaunchLine, L'p'));
        Click(window, IDOK);
        WaitUntilGone(window, window);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(Repeat(hyo, 129) + L"c", editor.command);
}

// What the browse button asked the file dialog, and what the test answers.
TEST_F(EntryEditorTest, BrowsePutsTheChosenProgramInTheCommand) {
    // The chosen program's folder has a space in its name; the other has none.
    TemporaryFolder spaced(L"brindle viewers", {L"view.exe"});
    TemporaryFolder bare(L"brindle-tools", {L"view.exe"});
    EntryEditorDialog editor;
    // As main window, the editor is the last active pop-up that owns the file dialog.
    INT_PTR result = RunAsMainWindow(editor, [&](HWND window) {
        // Browses, answering the file dialog with `chosen` (Cancel when empty); what it showed.
        auto browse = [&](const std::wstring& chosen) {
            FileDialogAnswer answer(GetWindowThreadProcessId(window, nullptr), chosen);
            SendMessageA(GetDlgItem(window, IDC_BROWSE), BM_CLICK, 0, 0);
            return answer.Seen();
        };
        // Typed, not saved yet: the typed command is where the file dialog starts. The empty
        // title is not refused: only OK checks the entry.
        SetItemText(window, IDC_COMMAND, L"old.exe");
        SetItemText(window, IDC_PARAMETERS, L"-p");
        FileDialogView view = browse(spaced.PathOf(L"view.exe"));
        EXPECT_EQ(L"old.exe", view.fileName);
        EXPECT_EQ(window, view.owner);
        EXPECT_EQ((std::vector<std::wstring>{L"実行ﾌｧｲﾙ (*.exe)", L"全てのﾌｧｲﾙ (*.*)"}),
                  view.fileTypes);
        // Quoted, or the launch would start the part before the space with the rest as
        // arguments.
        EXPECT_EQ(L'"' + spaced.PathOf(L"view.exe") + L'"', ItemTextOf(window, IDC_COMMAND));
        EXPECT_EQ(L"-p", ItemTextOf(window, IDC_PARAMETERS));
        EXPECT_TRUE(NoDialogOwnedBy(window));

        // The quoted program is offered without its quotes (the dialog opens in its folder); a
        // path without a space stays bare.
        view = browse(bare.PathOf(L"view.exe"));
        EXPECT_EQ(spaced.Path(), view.folder);
        EXPECT_EQ(L"view.exe", view.fileName);
        EXPECT_EQ(bare.PathOf(L"view.exe"), ItemTextOf(window, IDC_COMMAND));

        // Cancelled: nothing changes.
        browse(L"");
        EXPECT_EQ(bare.PathOf(L"view.exe"), ItemTextOf(window, IDC_COMMAND));

        // A command longer than the file dialog takes is offered cut, never inside a character.
        const std::wstring pair = L"\U00020BB7";
        SetItemText(window, IDC_COMMAND, Repeat(pair, 130));
        EXPECT_EQ(Repeat(pair, 129), browse(L"").fileName);
    });
    EXPECT_EQ(IDCANCEL, result);
}

// A kind of file registered as an installer registers it, in the machine's classes (which
// Wine's HKEY_CLASSES_ROOT shows): `kind` opens with `command`. Removed with the object.
class Association {
  public:
    Association(const std::wstring& kind, const std::wstring& command)
        : kind(kind), progId(L"BrindleTest" + kind) {
        Write(kind, progId);
        Write(progId + L"\\shell\\open\\command", command);
    }
    ~Association() {
        for (const std::wstring& key : {kind, progId})
            SHDeleteKeyW(HKEY_LOCAL_MACHINE, (L"Software\\Classes\\" + key).c_str());
    }
    Association(const Association&) = delete;
    Association& operator=(const Association&) = delete;

  private:
    static void Write(const std::wstring& key, const std::wstring& value) {
        HKEY opened = nullptr;
        ASSERT_EQ(ERROR_SUCCESS,
                  RegCreateKeyExW(HKEY_LOCAL_MACHINE, (L"Software\\Classes\\" + key).c_str(), 0,
                                  nullptr, 0, KEY_SET_VALUE, nullptr, &opened, nullptr));
        RegSetValueExW(opened, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(opened);
    }

    std::wstring kind, progId;
};

// The programs that the system opens the kinds of mail files with are offered below the
// button, chosen with the keyboard alone: the program becomes the command, quoted as its path
// has a space, and its name the title while the title is empty. A missing program is left out.
TEST_F(EntryEditorTest, FoundProgramsAreOfferedAndTheChosenOneBecomesTheCommand) {
    TemporaryFolder folder(L"brindle found", {L"mail viewer.exe"});
    const std::wstring program = L'"' + folder.PathOf(L"mail viewer.exe") + L'"';
    const Association mail(L".eml", program + L" \"%1\"");
    const Association missing(L".xml", L"\"C:\\No Such\\viewer.exe\" \"%1\"");
    const std::vector<FoundProgram> found = FoundPrograms();
    const auto mine = std::find_if(found.begin(), found.end(),
                                   [&](const FoundProgram& p) { return p.command == program; });
    ASSERT_NE(found.end(), mine);
    EXPECT_EQ(L"mail viewer", mine->name);
    EXPECT_TRUE(std::none_of(found.begin(), found.end(), [](const FoundProgram& p) {
        return p.command.find(L"No Such") != std::wstring::npos;
    }));

    EntryEditorDialog editor;
    INT_PTR result = RunDriven(editor, [&](HWND window) {
        // Tab to the button, Space, Down to the program, Enter.
        const auto choose = [&] {
            SetForegroundWindow(window);
            SendMessageA(window, WM_NEXTDLGCTL,
                         reinterpret_cast<WPARAM>(GetDlgItem(window, IDC_FOUND_PROGRAMS)), TRUE);
            ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == window; }));
            TypeKey(VK_SPACE);
            ASSERT_TRUE(WaitUntil([] { return VisibleMenuOf(GetCurrentProcessId()) != nullptr; }));
            for (auto item = found.begin(); item <= mine; ++item)
                TypeKey(VK_DOWN);
            TypeKey(VK_RETURN);
            EXPECT_TRUE(WaitUntil([&] { return ItemTextOf(window, IDC_COMMAND) == program; }));
        };
        choose();
        EXPECT_EQ(L"mail viewer", ItemTextOf(window, IDC_TITLE));
        SetItemText(window, IDC_TITLE, L"Mine");
        SetItemText(window, IDC_COMMAND, L"other.exe");
        choose();
        EXPECT_EQ(L"Mine", ItemTextOf(window, IDC_TITLE));
    });
    EXPECT_EQ(IDCANCEL, result);
}

} // namespace
