// The main dialog's list of viewers, driven like a user from a second thread: buttons are
// clicked, rows selected, the editor and the message boxes answered; the registry is checked
// after each change.

#include <algorithm>
#include <climits>
#include <set>
#include <string>

#include "instance/Identity.h"
#include "framework/Dpi.h"
#include "mainwindow/MainDialog.h"
#include "resource.h"
#include "support/DialogDriver.h"
#include "support/Process.h"
#include "support/Registry.h"
#include "support/RegistryFaults.h"
#include "support/Window.h"

using namespace testsupport;

namespace {

const Viewer alpha{"Alpha", "alpha.exe", "-a"};
// "表示": the second byte of "表" is 0x5C, the byte of a backslash, which a key name may not hold.
const Viewer beta{"表示", "\"C:\\Program Files\\Beta\\beta.exe\"", ""};
const Viewer gamma{"Gamma", "gamma.exe", "/g"};

HWND ListOf(HWND main) {
    return GetDlgItem(main, IDC_VIEWER_LIST);
}

std::vector<Viewer> Rows(HWND main) {
    std::vector<Viewer> rows;
    const auto count = static_cast<int>(SendMessageA(ListOf(main), LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
        std::string cells[3];
        for (int column = 0; column < 3; ++column) {
            char text[1024] = {};
            LVITEMA item{};
            item.iSubItem = column;
            item.pszText = text;
            item.cchTextMax = sizeof text;
            SendMessageA(ListOf(main), LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
            cells[column] = text;
        }
        rows.push_back({cells[0], cells[1], cells[2]});
    }
    return rows;
}

void Select(HWND main, int row, bool selected = true) {
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = selected ? item.stateMask : 0;
    SendMessageA(ListOf(main), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

int SelectedRow(HWND main) {
    return static_cast<int>(SendMessageA(ListOf(main), LVM_GETNEXTITEM, -1, LVNI_SELECTED));
}

// The enabled ones of Edit, Delete, Up and Down, by name.
std::string EnabledButtons(HWND main) {
    std::string names;
    for (auto [id, name] : {std::pair{IDC_EDIT, "edit"}, std::pair{IDC_DELETE, "delete"},
                            std::pair{IDC_UP, "up"}, std::pair{IDC_DOWN, "down"}})
        if (IsItemEnabled(main, id))
            names += names.empty() ? name : std::string(" ") + name;
    return names;
}

// A click on a button that opens nothing: returns when its handler has.
void Press(HWND main, int id) {
    SendMessageA(GetDlgItem(main, id), BM_CLICK, 0, 0);
}

HWND OpenEditor(HWND main, int buttonId) {
    Click(main, buttonId);
    return WaitForDialog(main, editorCaption);
}

Viewer EditorFields(HWND editor) {
    return ViewerOf({ItemTextOf(editor, IDC_TITLE), ItemTextOf(editor, IDC_COMMAND),
                     ItemTextOf(editor, IDC_PARAMETERS)});
}

// Types `entry` into the editor and clicks OK; returns when the main dialog's handler is done.
void EnterAndConfirm(HWND main, HWND editor, const Viewer& entry) {
    const ViewerEntry typed = EntryOf(entry);
    SetItemText(editor, IDC_TITLE, typed.title);
    SetItemText(editor, IDC_COMMAND, typed.command);
    SetItemText(editor, IDC_PARAMETERS, typed.parameters);
    Click(editor, IDOK);
    WaitUntilGone(editor, main);
}

void Answer(HWND main, HWND window, int button) {
    Click(window, button);
    WaitUntilGone(window, main);
}

// The centre of `rect` of the list, in screen coordinates.
POINT ScreenCentre(HWND list, RECT rect) {
    POINT point{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ClientToScreen(list, &point);
    return point;
}

// Moves the pointer to `point` (screen coordinates) and waits, up to 5 s, until the system
// keeps reporting it there: under Wine a late report of the display's pointer may put it back
// for a moment.
bool MovePointer(POINT point) {
    int polls = 0;
    int agreeing = 0;
    return WaitUntil(
        [&] {
            if (polls++ % 50 == 0)
                SetCursorPos(point.x, point.y);
            POINT now{};
            GetCursorPos(&now);
            agreeing = now.x == point.x && now.y == point.y ? agreeing + 1 : 0;
            return agreeing >= 20;
        },
        5000);
}

// A left click at `point` (screen coordinates), as the mouse makes it.
void ClickAt(POINT point) {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    const DWORD x = static_cast<DWORD>((point.x * 65536 + width / 2) / width);
    const DWORD y = static_cast<DWORD>((point.y * 65536 + height / 2) / height);
    for (DWORD button : {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP})
        mouse_event(MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE | button, x, y, 0, 0);
}

// A key typed on the keyboard while the list has the focus in the window in front, with
// `modifier` (VK_MENU for Alt, VK_SHIFT, ...) held unless it is 0.
void PressListKey(HWND main, WORD key, WORD modifier = 0) {
    HWND list = ListOf(main);
    SetForegroundWindow(main);
    PostMessageA(main, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list), TRUE);
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == main && FocusOf(main) == list; }));
    TypeKey(key, modifier);
}

// Waits until the rows are `expected`, then until the handler that changed them has finished;
// false when they never were.
bool RowsBecome(HWND main, const std::vector<Viewer>& expected) {
    const bool became = WaitUntil([&] { return Rows(main) == expected; });
    SyncWith(main);
    return became;
}

// The width of `icon` in pixels; 0 without an icon.
int IconWidth(HICON icon) {
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info))
        return 0;
    BITMAP bitmap{};
    GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

int WindowIconWidth(HWND window, WPARAM which) {
    return IconWidth(reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, which, 0)));
}

std::vector<int> ColumnWidths(HWND main) {
    std::vector<int> widths;
    for (int column = 0; column < 3; ++column)
        widths.push_back(
            static_cast<int>(SendMessageA(ListOf(main), LVM_GETCOLUMNWIDTH, column, 0)));
    return widths;
}

class ViewerListTest : public DialogTest {
  protected:
    // Runs the main dialog as the application's main window, driven by `script` once the
    // window is shown, as a double click on the tray icon shows it (with viewers it starts
    // hidden, and reads its list only when shown); its saves meet the faults that `faults`
    // injects.
    void RunMain(const std::function<void(HWND)>& script) {
        faults = {};
        InjectRegistryFaults(&faults);
        MainDialog dialog(nullptr, std::wstring());
        RunAsMainWindow(dialog, [&](HWND main) {
            SendMessageA(main, WM_TRAYNOTIFY, 0, WM_LBUTTONDBLCLK);
            script(main);
        });
        InjectRegistryFaults(nullptr);
    }

    // Set by the script's thread, met by the dialog's saves.
    static inline RegistryFaults faults;
};

TEST_F(ViewerListTest, AddedEntryIsStoredLastInTheMenuOrderAndSelected) {
    RunMain([](HWND main) {
        EXPECT_TRUE(Rows(main).empty());
        EXPECT_EQ("", EnabledButtons(main));

        // The registry would enumerate "alpha" before "Zeta": the menu order must not.
        const Viewer zeta{"Zeta", "zeta.exe", "-z"};
        const Viewer lower{"alpha", "C:\\a.exe", ""};
        HWND editor = OpenEditor(main, IDC_ADD);
        ASSERT_TRUE(editor);
        EXPECT_EQ((Viewer{}), EditorFields(editor));
        EnterAndConfirm(main, editor, zeta);
        EXPECT_EQ(std::vector{zeta}, Rows(main));
        EXPECT_EQ(0, SelectedRow(main));
        EXPECT_EQ("edit delete", EnabledButtons(main));

        EnterAndConfirm(main, OpenEditor(main, IDC_ADD), lower);
        EXPECT_EQ((std::vector{zeta, lower}), Rows(main));
        EXPECT_EQ(1, SelectedRow(main));
        EXPECT_EQ("edit delete up", EnabledButtons(main));
        EXPECT_EQ((std::vector<std::string>{"Zeta", "alpha"}), StoredTitles());
        EXPECT_EQ((std::vector{zeta, lower}), StoredViewers());

        // A title that differs only in case would share the key of the other entry.
        editor = OpenEditor(main, IDC_ADD);
        ASSERT_TRUE(editor);
        SetItemText(editor, IDC_TITLE, L"ZETA");
        Click(editor, IDOK);
        HWND refusal = WaitForDialog(editor, TheApp().Name());
        ASSERT_TRUE(refusal);
        Answer(editor, refusal, IDOK);
        Answer(main, editor, IDCANCEL);
        EXPECT_EQ((std::vector{zeta, lower}), Rows(main));
        EXPECT_EQ((std::vector{zeta, lower}), StoredViewers());
    });
}

TEST_F(ViewerListTest, MoveButtonsFollowTheSelection) {
    ASSERT_TRUE(StoreViewers({alpha}));
    RunMain([](HWND main) {
        EXPECT_EQ("", EnabledButtons(main));
        Select(main, 0);
        EXPECT_EQ("edit delete", EnabledButtons(main));
    });

    ASSERT_TRUE(StoreViewers({alpha, beta, gamma}));
    RunMain([](HWND main) {
        EXPECT_EQ("", EnabledButtons(main));
        Select(main, 0);
        EXPECT_EQ("edit delete down", EnabledButtons(main));
        Select(main, 1);
        EXPECT_EQ("edit delete up down", EnabledButtons(main));
        Select(main, 2);
        EXPECT_EQ("edit delete up", EnabledButtons(main));
        // Edit and Delete act on the selected row: without one they are off.
        Select(main, 2, false);
        EXPECT_EQ("", EnabledButtons(main));
    });
}

TEST_F(ViewerListTest, MovesChangeTheMenuOrder) {
    ASSERT_TRUE(StoreViewers({alpha, beta, gamma}));
    RunMain([](HWND main) {
        Select(main, 1);
        Press(main, IDC_UP);
        EXPECT_EQ((std::vector{beta, alpha, gamma}), Rows(main));
        EXPECT_EQ(0, SelectedRow(main));
        EXPECT_EQ("edit delete down", EnabledButtons(main));
        EXPECT_EQ((std::vector{beta, alpha, gamma}), StoredViewers());

        Press(main, IDC_DOWN);
        Press(main, IDC_DOWN);
        EXPECT_EQ((std::vector{alpha, gamma, beta}), Rows(main));
        EXPECT_EQ(2, SelectedRow(main));
        EXPECT_EQ("edit delete up", EnabledButtons(main));
        EXPECT_EQ((std::vector<std::string>{"Alpha", "Gamma", "表示"}), StoredTitles());
    });
}

TEST_F(ViewerListTest, DeleteAsksWithTheTitleAndCancelKeepsTheEntry) {
    ASSERT_TRUE(StoreViewers({alpha, beta, gamma}));
    RunMain([](HWND main) {
        Select(main, 1);
        Click(main, IDC_DELETE);
        HWND question = WaitForDialog(main, "削除確認");
        ASSERT_TRUE(question);
        EXPECT_EQ("表示を削除しますか", ReadMessageBox(question).text);
        ASSERT_TRUE(GetDlgItem(question, IDCANCEL));
        Answer(main, question, IDCANCEL);
        EXPECT_EQ((std::vector{alpha, beta, gamma}), Rows(main));
        EXPECT_EQ((std::vector{alpha, beta, gamma}), StoredViewers());

        Click(main, IDC_DELETE);
        question = WaitForDialog(main, "削除確認");
        ASSERT_TRUE(question);
        Answer(main, question, IDOK);
        EXPECT_EQ((std::vector{alpha, gamma}), Rows(main));
        EXPECT_EQ((std::vector{alpha, gamma}), StoredViewers());
        EXPECT_FALSE(KeyExists(MenusPath() + '\\' + beta.title));
        EXPECT_EQ("", EnabledButtons(main));
    });
}

TEST_F(ViewerListTest, EditShowsTheRowAndStoresItUnderItsNewTitle) {
    ASSERT_TRUE(StoreViewers({alpha, beta, gamma}));
    RunMain([](HWND main) {
        Select(main, 1);
        HWND editor = OpenEditor(main, IDC_EDIT);
        ASSERT_TRUE(editor);
        EXPECT_EQ(beta, EditorFields(editor));
        SetItemText(editor, IDC_COMMAND, L"changed.exe");
        Answer(main, editor, IDCANCEL);
        EXPECT_EQ((std::vector{alpha, beta, gamma}), Rows(main));
        EXPECT_EQ((std::vector{alpha, beta, gamma}), StoredViewers());

        // Its own title is no duplicate; another row's is, whatever its case.
        Select(main, 1);
        editor = OpenEditor(main, IDC_EDIT);
        ASSERT_TRUE(editor);
        SetItemText(editor, IDC_TITLE, L"gamma");
        Click(editor, IDOK);
        HWND refusal = WaitForDialog(editor, TheApp().Name());
        ASSERT_TRUE(refusal);
        Answer(editor, refusal, IDOK);
        const Viewer renamed{"Beta 2", "beta2.exe", "-2"};
        EnterAndConfirm(main, editor, renamed);
        EXPECT_EQ((std::vector{alpha, renamed, gamma}), Rows(main));
        EXPECT_EQ((std::vector{alpha, renamed, gamma}), StoredViewers());
        EXPECT_FALSE(KeyExists(MenusPath() + '\\' + beta.title));

        Select(main, 2);
        editor = OpenEditor(main, IDC_EDIT);
        ASSERT_TRUE(editor);
        const Viewer same{"Gamma", "gamma.exe", "/G"};
        EnterAndConfirm(main, editor, same);
        EXPECT_EQ((std::vector{alpha, renamed, same}), StoredViewers());
    });
}

TEST_F(ViewerListTest, DoubleClickOpensTheEditorOnlyOnARow) {
    ASSERT_TRUE(StoreViewers({alpha, beta, gamma}));
    RunMain([](HWND main) {
        // Viewers are configured, so the dialog starts hidden: show it as the tray icon does.
        PostMessageA(main, WM_TRAYNOTIFY, 0, WM_LBUTTONDBLCLK);
        HWND list = ListOf(main);
        ASSERT_TRUE(WaitUntil([main] { return IsWindowVisible(main) != FALSE; }));

        // Below the rows, with a row selected. Only the double click arrives (a real first
        // click there would clear the selection and hide a wrong hit-test).
        Select(main, 1);
        RECT client{};
        GetClientRect(list, &client);
        POINT below{(client.left + client.right) / 2, client.bottom - 5};
        POINT belowOnScreen = below;
        ClientToScreen(list, &belowOnScreen);
        ASSERT_TRUE(MovePointer(belowOnScreen));
        SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(below.x, below.y));
        // An editor opened by the double click would come before this one.
        HWND editor = OpenEditor(main, IDC_ADD);
        ASSERT_TRUE(editor);
        EXPECT_EQ(L"", ItemTextOf(editor, IDC_TITLE)) << "the double click opened the editor";
        Answer(main, editor, IDCANCEL);
        EXPECT_TRUE(NoDialogOwnedBy(main));

        // A real double click on the first row selects it and opens it.
        RECT row{LVIR_LABEL, 0, 0, 0};
        SendMessageA(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
        const POINT onRow = ScreenCentre(list, row);
        ASSERT_TRUE(MovePointer(onRow));
        ClickAt(onRow);
        ClickAt(onRow);
        editor = WaitForDialog(main, editorCaption);
        ASSERT_TRUE(editor);
        EXPECT_EQ(alpha, EditorFields(editor));
    });
}

TEST_F(ViewerListTest, EnterEditsTheSelectedViewer) {
    ASSERT_TRUE(StoreViewers({alpha, beta, gamma}));
    RunMain([](HWND main) {
        Select(main, 1);
        // Not the default button (最小化): the editor opens on the selected row.
        PressListKey(main, VK_RETURN);
        HWND editor = WaitForDialog(main, editorCaption);
        ASSERT_TRUE(editor);
        EXPECT_EQ(beta, EditorFields(editor));
        const Viewer renamed{"Beta 2", "beta2.exe", "-2"};
        EnterAndConfirm(main, editor, renamed);
        EXPECT_EQ((std::vector{alpha, renamed, gamma}), Rows(main));
        EXPECT_EQ((std::vector{alpha, renamed, gamma}), StoredViewers());
    });
}

TEST_F(ViewerListTest, DeleteKeyAsksAsTheButtonDoes) {
    ASSERT_TRUE(StoreViewers({alpha, beta, gamma}));
    RunMain([](HWND main) {
        Select(main, 1);
        PressListKey(main, VK_DELETE);
        HWND question = WaitForDialog(main, "削除確認");
        ASSERT_TRUE(question);
        EXPECT_EQ("表示を削除しますか", ReadMessageBox(question).text);
        Answer(main, question, IDOK);
        EXPECT_EQ((std::vector{alpha, gamma}), Rows(main));
        EXPECT_EQ((std::vector{alpha, gamma}), StoredViewers());
        // With Shift held too, as a list's Delete is often typed.
        Select(main, 1);
        PressListKey(main, VK_DELETE, VK_SHIFT);
        question = WaitForDialog(main, "削除確認");
        ASSERT_TRUE(question);
        Answer(main, question, IDOK);
        EXPECT_EQ(std::vector{alpha}, StoredViewers());
    });
}

TEST_F(ViewerListTest, InsertKeyAddsAViewer) {
    ASSERT_TRUE(StoreViewers({alpha}));
    RunMain([](HWND main) {
        PressListKey(main, VK_INSERT);
        HWND editor = WaitForDialog(main, editorCaption);
        ASSERT_TRUE(editor);
        EXPECT_EQ((Viewer{}), EditorFields(editor));
        EnterAndConfirm(main, editor, gamma);
        EXPECT_EQ((std::vector{alpha, gamma}), Rows(main));
        EXPECT_EQ(1, SelectedRow(main));
        EXPECT_EQ((std::vector{alpha, gamma}), StoredViewers());
    });
}

TEST_F(ViewerListTest, AltUpAndAltDownMoveTheSelectedViewer) {
    ASSERT_TRUE(StoreViewers({alpha, beta, gamma}));
    RunMain([](HWND main) {
        Select(main, 0);
        PressListKey(main, VK_DOWN, VK_MENU);
        EXPECT_TRUE(RowsBecome(main, std::vector{beta, alpha, gamma}));
        EXPECT_EQ(1, SelectedRow(main));
        EXPECT_EQ((std::vector{beta, alpha, gamma}), StoredViewers());
        PressListKey(main, VK_DOWN, VK_MENU);
        EXPECT_TRUE(RowsBecome(main, std::vector{beta, gamma, alpha}));
        EXPECT_EQ(2, SelectedRow(main));
        PressListKey(main, VK_UP, VK_MENU);
        EXPECT_TRUE(RowsBecome(main, std::vector{beta, alpha, gamma}));
        EXPECT_EQ(1, SelectedRow(main));
        EXPECT_EQ((std::vector{beta, alpha, gamma}), StoredViewers());

        // Without Alt, Up only moves the selection.
        PressListKey(main, VK_UP);
        EXPECT_TRUE(WaitUntil([&] { return SelectedRow(main) == 0; }));
        EXPECT_EQ((std::vector{beta, alpha, gamma}), Rows(main));
        EXPECT_EQ((std::vector{beta, alpha, gamma}), StoredViewers());
        // A typed letter selects the next viewer whose title starts with it.
        PostMessageA(ListOf(main), WM_CHAR, 'g', 1);
        EXPECT_TRUE(WaitUntil([&] { return SelectedRow(main) == 2; }));
    });
}

// As in the system's standard list: a letter typed again moves on to the next title with it.
TEST_F(ViewerListTest, TypingALetterAgainMovesToTheNextTitleWithIt) {
    ASSERT_TRUE(StoreViewers({{"kviewer-1", "k.exe", ""},
                              {"Hex", "h.exe", ""},
                              {"kviewer-2", "k.exe", ""},
                              {"kviewer-3", "k.exe", ""}}));
    RunMain([](HWND main) {
        Select(main, 0);
        PostMessageA(ListOf(main), WM_CHAR, 'k', 1);
        PostMessageA(ListOf(main), WM_CHAR, 'k', 1);
        EXPECT_TRUE(WaitUntil([&] { return SelectedRow(main) == 3; })) << SelectedRow(main);
    });
}

TEST_F(ViewerListTest, SavingNeverLosesAnEntry) {
    ASSERT_TRUE(StoreViewers({alpha, beta, gamma}));
    RunMain([](HWND main) {
        // Every single failing registry step of a save, in turn: moves keep every entry with
        // its values (an order may be left behind, never an entry).
        Select(main, 0);
        for (int step = 1; step <= 12; ++step) {
            SCOPED_TRACE("failing step " + std::to_string(step));
            faults.calls = 0;
            faults.failFrom = faults.failTo = step;
            Press(main, step % 2 ? IDC_DOWN : IDC_UP);
            faults.failFrom = faults.failTo = 0;
            std::vector<Viewer> stored = StoredViewers();
            std::sort(stored.begin(), stored.end(),
                      [](const auto& a, const auto& b) { return a.title < b.title; });
            EXPECT_EQ((std::vector{alpha, gamma, beta}), stored); // by the titles' bytes
        }

        // A rename whose save fails after it began keeps the entry under its old title, and
        // the list shows what the store holds.
        Press(main, IDC_DOWN); // saves that go through, back to the first order
        Press(main, IDC_UP);
        ASSERT_EQ((std::vector{alpha, beta, gamma}), StoredViewers());
        Select(main, 0);
        HWND editor = OpenEditor(main, IDC_EDIT);
        ASSERT_TRUE(editor);
        faults.calls = 0;
        faults.failFrom = 2;
        faults.failTo = INT_MAX;
        EnterAndConfirm(main, editor, {"Renamed", "r.exe", ""});
        faults.failFrom = faults.failTo = 0;
        EXPECT_EQ((std::vector{alpha, beta, gamma}), StoredViewers());
        EXPECT_EQ((std::vector{alpha, beta, gamma}), Rows(main));
    });
}

// Wine's reg.exe, as the user's guide has backups restored and entries removed.
bool RunReg(const std::string& arguments) {
    Process reg;
    return reg.Start("reg.exe " + arguments) && reg.WaitForExit() == 0;
}

TEST_F(ViewerListTest, ChangesMadeBehindItsBackAreFollowedAndNeverUndone) {
    ASSERT_TRUE(StoreViewers({alpha}));
    char folder[MAX_PATH] = {};
    ASSERT_NE(0u, GetTempPathA(sizeof folder, folder));
    const std::string backup = std::string(folder) + "brindle-backup.reg";
    std::string text = "REGEDIT4\r\n";
    for (const char* title : {"One", "Two", "Three"})
        text += std::string("\r\n[HKEY_CURRENT_USER\\") + MenusPath() + "\\" + title + "]\r\n@=\"" +
                title + ".exe\"\r\n\"Param\"=\"/x\"\r\n";
    HANDLE file = CreateFileA(backup.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);

    RunMain([&](HWND main) {
        ASSERT_EQ(std::vector{alpha}, Rows(main));
        // A backup restored while the window is open shows in it, and an edit of another
        // viewer keeps it.
        ASSERT_TRUE(RunReg("import \"" + backup + "\""));
        EXPECT_TRUE(WaitUntil([&] { return Rows(main).size() == 4; }));
        Select(main, 0);
        HWND editor = OpenEditor(main, IDC_EDIT);
        ASSERT_TRUE(editor);
        // Without parameters: stored as an empty text with its terminator.
        const Viewer edited{"Alpha", "alpha.exe", ""};
        EnterAndConfirm(main, editor, edited);
        EXPECT_EQ((std::vector<std::string>{"Alpha", "One", "Three", "Two"}), StoredTitles());
        EXPECT_EQ(std::string(1, '\0'), ReadValue(MenusPath() + "\\Alpha", paramValueName).bytes);
        EXPECT_EQ(edited, StoredViewers()[0]);

        // A viewer deleted behind its back leaves the list and stays deleted after a move.
        ASSERT_TRUE(RunReg("delete \"HKCU\\" + MenusPath() + "\\Two\" /f"));
        EXPECT_TRUE(WaitUntil([&] { return Rows(main).size() == 3; }));
        Select(main, 0);
        Press(main, IDC_DOWN);
        EXPECT_EQ((std::vector<std::string>{"One", "Alpha", "Three"}), StoredTitles());
        EXPECT_EQ(StoredViewers(), Rows(main));
    });
    DeleteFileA(backup.c_str());
}

// reg.exe's path of viewer `title`, quoted.
std::string RegPath(const std::string& title) {
    return "\"HKCU\\" + MenusPath() + (title.empty() ? "" : "\\" + title) + "\" ";
}

// Whether the list shows what the store holds within a second (a look of the window, twice a
// second, and its sync).
bool ShowsTheStore(HWND main) {
    const bool same = WaitUntil([&] { return Rows(main) == StoredViewers(); }, 1500);
    SyncWith(main);
    return same;
}

// Whether `Order` lists every viewer key (and nothing else), whatever order.
bool OrderListsEveryKey() {
    const std::string order = ReadValue(MenusPath(), orderValueName).bytes;
    std::set<std::string> listed;
    for (size_t start = 0, end; (end = order.find('\0', start)) != std::string::npos;
         start = end + 1)
        if (end > start)
            listed.insert(order.substr(start, end - start));
    const std::vector<std::string> keys = SubKeyNames(MenusPath());
    return listed == std::set<std::string>(keys.begin(), keys.end());
}

TEST_F(ViewerListTest, AnEditKeepsWhatAnotherProgramChangedMeanwhile) {
    ASSERT_TRUE(StoreViewers({alpha, {"B", "b.exe", "-b"}, gamma}));
    RunMain([](HWND main) {
        Select(main, 1);
        HWND editor = OpenEditor(main, IDC_EDIT);
        ASSERT_TRUE(editor);
        ASSERT_TRUE(RunReg("add " + RegPath("Alpha") + "/v Param /d /outside /f"));
        ASSERT_TRUE(RunReg("add " + RegPath("D") + "/ve /d d.exe /f"));
        ASSERT_TRUE(RunReg("delete " + RegPath("Gamma") + "/f"));
        EnterAndConfirm(main, editor, {"B", "b.exe", "-mine"});
        const Viewer outside{"Alpha", "alpha.exe", "/outside"};
        EXPECT_EQ((std::vector<Viewer>{outside, {"B", "b.exe", "-mine"}, {"D", "d.exe", ""}}),
                  StoredViewers());
        EXPECT_TRUE(ShowsTheStore(main));

        // The editor shows the store's values, and an unchanged OK writes nothing over a
        // change made while it was open.
        Select(main, 0);
        editor = OpenEditor(main, IDC_EDIT);
        ASSERT_TRUE(editor);
        EXPECT_EQ(outside, EditorFields(editor));
        ASSERT_TRUE(RunReg("add " + RegPath("Alpha") + "/v Param /d /later /f"));
        Click(editor, IDOK);
        WaitUntilGone(editor, main);
        EXPECT_EQ("/later", StoredViewers()[0].parameters);
    });
}

TEST_F(ViewerListTest, AConflictingEditIsWrittenOnlyWhenTheUserSays) {
    const Viewer mine{"B", "b.exe", "-mine"};
    const Viewer renamed{"D", "b.exe", "-b"};
    const struct {
        const char* otherProgram; // reg.exe's arguments, after the command
        Viewer edit;
        const char* question;
        int answer;
        std::vector<Viewer> stored;
    } cases[] = {
        {"add B /v Param /d /outside /f",
         mine,
         "「B」はほかのプログラムで変更されました。",
         IDYES,
         {alpha, mine, gamma}},
        {"add B /v Param /d /outside /f",
         renamed,
         "「B」はほかのプログラムで変更されました。",
         IDNO,
         {alpha, {"B", "b.exe", "/outside"}, gamma}},
        {"delete B /f",
         mine,
         "「B」はほかのプログラムで削除されたか、名前が変更されました。",
         IDNO,
         {alpha, gamma}},
        {"delete B /f",
         mine,
         "「B」はほかのプログラムで削除されたか、名前が変更されました。",
         IDYES,
         {alpha, mine, gamma}},
        {"add D /ve /d d.exe /f",
         renamed,
         "「D」はほかのプログラムで登録されました。",
         IDNO,
         {alpha, {"B", "b.exe", "-b"}, gamma, {"D", "d.exe", ""}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.otherProgram) + ", then " + c.edit.title + ", " +
                     (c.answer == IDYES ? "yes" : "no"));
        ASSERT_TRUE(StoreViewers({alpha, {"B", "b.exe", "-b"}, gamma}));
        RunMain([&](HWND main) {
            Select(main, 1);
            HWND editor = OpenEditor(main, IDC_EDIT);
            ASSERT_TRUE(editor);
            const std::string command(c.otherProgram);
            const size_t title = command.find(' ') + 1, end = command.find(' ', title);
            ASSERT_TRUE(RunReg(command.substr(0, title) +
                               RegPath(command.substr(title, end - title)) +
                               command.substr(end + 1)));
            // The list takes in the change while the editor is open: no row number may then
            // name another viewer.
            EXPECT_TRUE(ShowsTheStore(main));
            SetItemText(editor, IDC_TITLE, WideOf(c.edit.title));
            SetItemText(editor, IDC_PARAMETERS, WideOf(c.edit.parameters));
            Click(editor, IDOK);
            HWND question = WaitForDialog(main, "ほかのプログラムによる変更");
            ASSERT_TRUE(question);
            EXPECT_EQ(0u, ReadMessageBox(question).text.rfind(c.question, 0))
                << ReadMessageBox(question).text;
            Answer(main, question, c.answer);
            EXPECT_TRUE(WaitUntilGone(editor, main));
            EXPECT_EQ(c.stored, StoredViewers());
            EXPECT_TRUE(ShowsTheStore(main));

            // A move then writes the order of every title that the store holds.
            Select(main, static_cast<int>(c.stored.size()) - 1);
            Press(main, IDC_UP);
            EXPECT_TRUE(OrderListsEveryKey());
            EXPECT_TRUE(ShowsTheStore(main));
        });
    }
}

TEST_F(ViewerListTest, TheListShowsTheStoreWhateverAnotherProgramWrites) {
    std::vector<Viewer> many;
    for (int i = 0; i < 1000; ++i)
        many.push_back({"V" + std::to_string(i), "v.exe", ""});
    static constexpr char brokenOrder[] = "Gamma\0Gamma\0Nobody\0\0Alpha\0"; // and a last \0
    const std::string order(brokenOrder, sizeof brokenOrder);
    const std::vector<std::pair<const char*, std::function<void(HWND)>>> writes = {
        {"Menus deleted", [](HWND) { ASSERT_TRUE(RunReg("delete " + RegPath("") + "/f")); }},
        {"a broken order",
         [&](HWND) { ASSERT_TRUE(WriteValue(MenusPath(), orderValueName, REG_MULTI_SZ, order)); }},
        {"1,000 viewers", [&](HWND) { ASSERT_TRUE(StoreViewers(many)); }},
        // Its key deleted under the watch of the store, then written anew.
        {"the settings deleted, then viewers and their values",
         [](HWND main) {
             ASSERT_TRUE(RunReg("delete \"HKCU\\" + SettingsPath() + "\" /f"));
             ASSERT_TRUE(ShowsTheStore(main));
             ASSERT_TRUE(WriteValue(MenusPath() + "\\New", nullptr, REG_SZ, "new.exe"));
             ASSERT_TRUE(WriteValue(MenusPath() + "\\New", paramValueName, REG_SZ, "/n"));
             ASSERT_TRUE(WriteValue(MenusPath() + "\\Next", nullptr, REG_SZ, "next.exe"));
         }},
    };
    for (const auto& [name, write] : writes) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(StoreViewers({alpha, beta, gamma}));
        RunMain([&](HWND main) {
            Select(main, 1);
            write(main);
            EXPECT_TRUE(ShowsTheStore(main));
            Select(main, static_cast<int>(StoredViewers().size()) - 1);
            Press(main, IDC_UP);
            EXPECT_TRUE(StoredViewers().empty() || OrderListsEveryKey());
            EXPECT_TRUE(ShowsTheStore(main));
        });
    }
}

TEST_F(ViewerListTest, ColumnsAndIconsFollowTheDpiOfTheWindow) {
    RunMain([](HWND main) {
        const int dpi = static_cast<int>(fw::DpiOf(main));
        EXPECT_EQ((std::vector{MulDiv(120, dpi, 96), MulDiv(200, dpi, 96), MulDiv(100, dpi, 96)}),
                  ColumnWidths(main));
        // The small icon (the caption's and the tray's) is not the large one made smaller.
        EXPECT_EQ(GetSystemMetrics(SM_CXSMICON), WindowIconWidth(main, ICON_SMALL));
        EXPECT_EQ(GetSystemMetrics(SM_CXICON), WindowIconWidth(main, ICON_BIG));

        // Moved to a monitor of twice the DPI.
        const std::vector<int> before = ColumnWidths(main);
        RECT suggested{};
        GetWindowRect(main, &suggested);
        SendMessageA(main, fw::dpiChangedMessage, MAKEWPARAM(2 * dpi, 2 * dpi),
                     reinterpret_cast<LPARAM>(&suggested));
        EXPECT_EQ((std::vector{2 * before[0], 2 * before[1], 2 * before[2]}), ColumnWidths(main));
        EXPECT_EQ(2 * GetSystemMetrics(SM_CXSMICON), WindowIconWidth(main, ICON_SMALL));
        EXPECT_EQ(2 * GetSystemMetrics(SM_CXICON), WindowIconWidth(main, ICON_BIG));
    });
}

} // namespace
