// brindle.exe started the way the mail client starts it: the first start stays resident and
// shows its viewer menu, later starts hand their file over to it and end; the viewer picked
// (the fake viewer) records the command line it was started with.

#include "E2eSupport.h"

#include "resource.h"

using namespace e2e;

namespace {

using Records = std::vector<std::string>;

// Stored in an order that is not the alphabetical one (Hex, Plain, Text).
const std::vector<Viewer> threeViewers = {
    {"Text", fakeViewer, "/t"}, {"Hex", fakeViewer, "/r"}, {"Plain", fakeViewer, ""}};

class HandoffTest : public BrindleTest {
  protected:
    static int OpenMenus(DWORD processId) {
        int count = 0;
        for (HWND window : TopLevelWindows(processId))
            count += ClassOf(window) == "#32768" && IsWindowVisible(window);
        return count;
    }
};

TEST_F(HandoffTest, FirstStartStaysResidentAndLaterStartsHandOverToIt) {
    SeedViewers(threeViewers);

    Process& first = Start("C:\\mail\\12.txt");
    EXPECT_TRUE(PickMenusUntil(first.Id(), 1, [] { return !ViewerLog().empty(); }));
    ASSERT_NE(nullptr, MainDialogOf(first.Id()));
    EXPECT_EQ(Records{fakeViewer + " /r \"C:\\mail\\12.txt \""}, WaitForViewerLog(1));

    // A later start: the resident's menu opens while the start waits, windowless, for it.
    Process& second = Start("C:\\mail\\13.txt");
    HWND menu = WaitForMenu(first.Id());
    ASSERT_NE(nullptr, menu);
    EXPECT_TRUE(second.Running());
    EXPECT_TRUE(TopLevelWindows(second.Id()).empty());
    EXPECT_TRUE(PickMenusUntil(first.Id(), 2, [&] { return !second.Running(); }));
    EXPECT_EQ(0u, second.WaitForExit());
    Records log = WaitForViewerLog(2);
    ASSERT_EQ(2u, log.size());
    EXPECT_EQ(fakeViewer + "  \"C:\\mail\\13.txt \"", log[1]);

    // Escape starts nothing: the next launch is the next record.
    Process& third = Start("C:\\mail\\14.txt");
    menu = WaitForMenu(first.Id());
    ASSERT_NE(nullptr, menu);
    DismissMenu(menu);
    EXPECT_EQ(0u, third.WaitForExit());
    HandOverAndPick(first.Id(), "C:\\mail\\15.txt", 0);
    log = WaitForViewerLog(3);
    ASSERT_EQ(3u, log.size());
    EXPECT_EQ(fakeViewer + " /t \"C:\\mail\\15.txt \"", log[2]);
    EXPECT_TRUE(first.Running());
}

// The resident reads the menu's titles once and again only after the store changed; whoever
// changed it, the next menu shows it, and a launch uses the values stored at the choice.
TEST_F(HandoffTest, ChangesBehindItsBackShowInTheNextMenu) {
    SeedViewers({{"Text", fakeViewer, "/t"}, {"Hex", fakeViewer, "/r"}});
    Process* resident = nullptr;
    StartResident(&resident);
    HandOverAndPick(resident->Id(), "C:\\mail\\1.txt", 1);
    ASSERT_EQ(Records{fakeViewer + " /r \"C:\\mail\\1.txt \""}, WaitForViewerLog(1));

    // Another program renames Hex to Dump and changes Text's parameters.
    const std::string menus = MenusPath();
    ASSERT_TRUE(WriteValue(menus + "\\Dump", nullptr, REG_SZ, fakeViewer));
    ASSERT_TRUE(WriteValue(menus + "\\Dump", paramValueName, REG_SZ, "/d"));
    ASSERT_TRUE(WriteValue(menus, orderValueName, REG_MULTI_SZ, std::string("Dump\0Text\0\0", 11)));
    DeleteKey(menus + "\\Hex");
    ASSERT_TRUE(WriteValue(menus + "\\Text", paramValueName, REG_SZ, "/t2"));
    HandOverAndPick(resident->Id(), "C:\\mail\\2.txt", 0);
    HandOverAndPick(resident->Id(), "C:\\mail\\3.txt", 1);
    EXPECT_EQ(
        (Records{fakeViewer + " /r \"C:\\mail\\1.txt \"", fakeViewer + " /d \"C:\\mail\\2.txt \"",
                 fakeViewer + " /t2 \"C:\\mail\\3.txt \""}),
        WaitForViewerLog(3));
}

TEST_F(HandoffTest, WindowInFrontGetsTheFocusBackAfterEveryMenu) {
    SeedViewers(threeViewers);
    FrontWindow front;

    // The first start: its main dialog stays hidden after the menu, and the show that its loop
    // tries when it first runs dry, after the menu, does not activate it either.
    Process& first = Start("C:\\mail\\12.txt");
    HWND menu = WaitForMenu(first.Id());
    ASSERT_NE(nullptr, menu);
    HWND dialog = MainDialogOf(first.Id());
    ASSERT_NE(nullptr, dialog);
    DismissMenu(menu);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(menu); }));
    SyncWith(dialog);
    EXPECT_EQ(front.Hwnd(), GetForegroundWindow());
    EXPECT_NE(dialog, ActiveWindowOfThreadOf(dialog));
    EXPECT_FALSE(IsWindowVisible(dialog));

    // A later start's menu, at the resident instance.
    Process& second = Start("C:\\mail\\13.txt");
    menu = WaitForMenu(first.Id());
    ASSERT_NE(nullptr, menu);
    DismissMenu(menu);
    EXPECT_EQ(0u, second.WaitForExit());
    SyncWith(dialog);
    EXPECT_EQ(front.Hwnd(), GetForegroundWindow());
    EXPECT_NE(dialog, ActiveWindowOfThreadOf(dialog));
    EXPECT_FALSE(IsWindowVisible(dialog));
    EXPECT_TRUE(ViewerLog().empty());
}

TEST_F(HandoffTest, HandoffTextReachesTheViewerByteForByte) {
    SeedViewers({{"Text", fakeViewer, "/t"}});
    Process* resident = nullptr;
    ASSERT_NE(nullptr, StartResident(&resident));

    // Two arguments, the second quoted: each followed by one space.
    HandOverAndPick(resident->Id(), "ab \"cd ef\"", 0);
    // "C:\mail\予定表" in code page 932: both 予 and 表 end in byte 0x5C, here right before
    // the closing quote, where a backslash would escape it.
    HandOverAndPick(resident->Id(), "\"C:\\mail\\\x97\x5C\x92\xE8\x95\x5C\"", 0);
    EXPECT_EQ((Records{fakeViewer + " /t \"ab cd ef \"",
                       fakeViewer + " /t \"C:\\mail\\\x97\x5C\x92\xE8\x95\x5C \""}),
              WaitForViewerLog(2));
}

TEST_F(HandoffTest, LaunchFailuresAreReportedAndStartNothing) {
    const std::string file = "C:\\mail\\12.txt";
    const std::string head = fakeViewer + ' ';
    const std::string tail = " \"" + file + " \"";
    const std::string longest(259 - head.size() - tail.size(), 'p');
    SeedViewers({{"Missing", "Z:\\no\\such\\viewer.exe", "/x"},
                 {"Longest", fakeViewer, longest},
                 {"TooLong", fakeViewer, longest + 'p'}});
    Process* resident = nullptr;
    ASSERT_NE(nullptr, StartResident(&resident));

    HandOverAndPick(resident->Id(), file, 0);
    ASSERT_NO_FATAL_FAILURE(ExpectMessage(
        resident->Id(), "Z:\\no\\such\\viewer.exe /x \"C:\\mail\\12.txt \" の起動に失敗しました"));

    HandOverAndPick(resident->Id(), file, 2);
    ASSERT_NO_FATAL_FAILURE(ExpectMessage(resident->Id(), lineTooLongText));

    // A command line of exactly 259 characters is started, and is the first thing started.
    HandOverAndPick(resident->Id(), file, 1);
    Records log = WaitForViewerLog(1);
    ASSERT_EQ(1u, log.size());
    EXPECT_EQ(head + longest + tail, log[0]);
    EXPECT_EQ(259u, log[0].size());
}

TEST_F(HandoffTest, HandoffWithAQuoteIsRefused) {
    SeedViewers({{"Text", fakeViewer, "/t"}});
    Process* resident = nullptr;
    ASSERT_NE(nullptr, StartResident(&resident));

    // a\"b is the text a"b: its quote would end the quoted file name on the viewer's line.
    Process& start = Start("a\\\"b");
    HWND box = WaitForMessageBox(resident->Id());
    ASSERT_NE(nullptr, box);
    EXPECT_EQ("ファイル名に \" が含まれているため開けません", ReadMessageBox(box).text);
    EXPECT_EQ(nullptr, VisibleMenuOf(resident->Id()));
    PostCommand(box, IDOK);
    EXPECT_EQ(0u, start.WaitForExit());

    HandOverAndPick(resident->Id(), "C:\\mail\\12.txt", 0);
    EXPECT_EQ(Records{fakeViewer + " /t \"C:\\mail\\12.txt \""}, WaitForViewerLog(1));
}

TEST_F(HandoffTest, OverlappingHandoffsEachLaunchTheirOwnFile) {
    SeedViewers(threeViewers);
    Process* resident = nullptr;
    ASSERT_NE(nullptr, StartResident(&resident));

    Process& a = Start("C:\\mail\\a.txt");
    HWND menu = WaitForMenu(resident->Id());
    ASSERT_NE(nullptr, menu);
    // B arrives while A's menu is open.
    Process* startB = nullptr;
    ASSERT_TRUE(StartAndWaitForDelivery("C:\\mail\\b.txt", "C:\\mail\\b.txt ", &startB));
    Process& b = *startB;
    ASSERT_EQ(1, OpenMenus(resident->Id())) << "B's menu opened over A's";

    // C comes from a start of an earlier version, which knows nothing of waiting: its
    // hand-off returns at once, with 0, and waits behind B all the same.
    const ATOM c = GlobalAddAtomA("C:\\mail\\c.txt ");
    DWORD_PTR cResult = 1;
    ASSERT_TRUE(SendMessageTimeoutA(MainDialogOf(resident->Id()), WM_HANDOFF, c, 0, SMTO_NORMAL,
                                    waitLimitMs, &cResult));
    EXPECT_EQ(0u, cResult);

    PickMenuItem(menu, 0);
    EXPECT_EQ(0u, a.WaitForExit());
    EXPECT_EQ(Records{fakeViewer + " /t \"C:\\mail\\a.txt \""}, WaitForViewerLog(1));
    // B's start waits for its own menu, which opens after A's launch.
    EXPECT_TRUE(b.Running()) << "B's start ended before its menu";

    EXPECT_TRUE(PickMenusUntil(resident->Id(), 1, [&] { return !b.Running(); }))
        << "B's menu did not close";
    EXPECT_EQ(0u, b.WaitForExit());
    EXPECT_TRUE(PickMenusUntil(resident->Id(), 2, [&] { return ViewerLog().size() >= 3; }))
        << "C got no menu";
    EXPECT_EQ(
        (Records{fakeViewer + " /t \"C:\\mail\\a.txt \"", fakeViewer + " /r \"C:\\mail\\b.txt \"",
                 fakeViewer + "  \"C:\\mail\\c.txt \""}),
        ViewerLog());
    EXPECT_TRUE(resident->Running());
}

TEST_F(HandoffTest, HandoffWhileTheTrayMenuIsOpenGetsItsMenuAfterIt) {
    SeedViewers({{"Text", fakeViewer, "/t"}});
    Process* resident = nullptr;
    HWND dialog = StartResident(&resident);
    ASSERT_NE(nullptr, dialog);
    HWND icon = WaitForTrayIcon();
    ASSERT_NE(nullptr, icon);

    PostMessageA(icon, WM_RBUTTONDOWN, 0, 0);
    HWND trayMenu = WaitForMenu(resident->Id());
    ASSERT_NE(nullptr, trayMenu);
    Process* delivered = nullptr;
    ASSERT_TRUE(StartAndWaitForDelivery("C:\\mail\\12.txt", "C:\\mail\\12.txt ", &delivered));
    Process& start = *delivered;
    ASSERT_EQ(1, OpenMenus(resident->Id())) << "the hand-off's menu opened over the tray menu";
    DismissMenu(trayMenu);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(trayMenu) || !IsWindowVisible(trayMenu); }));

    HWND menu = WaitForMenu(resident->Id());
    ASSERT_NE(nullptr, menu) << "the hand-off got no menu";
    // Nor does a right click on the icon open the tray menu over a viewer menu.
    SendWithDeadline(icon, WM_RBUTTONDOWN);
    SyncWith(dialog);
    EXPECT_EQ(1, OpenMenus(resident->Id()));
    PickMenuItem(menu, 0);
    EXPECT_EQ(Records{fakeViewer + " /t \"C:\\mail\\12.txt \""}, WaitForViewerLog(1));
    EXPECT_EQ(0u, start.WaitForExit());
}

TEST_F(HandoffTest, OverlongHandoffIsRefusedByTheStartingProcess) {
    SeedViewers({{"Text", fakeViewer, "/t"}});
    // One argument of 255 characters: 256 with its space, one more than an atom name holds.
    const std::string overlong(255, 'x');

    // Without a resident instance: the start says so, and stays resident without a menu.
    Process& first = Start(overlong);
    ASSERT_NO_FATAL_FAILURE(ExpectMessage(first.Id(), textTooLongText));
    ASSERT_NE(nullptr, MainDialogOf(first.Id()));

    // With one: the start says so itself and ends; the resident hears nothing of it.
    Process& second = Start(overlong);
    ASSERT_NO_FATAL_FAILURE(ExpectMessage(second.Id(), textTooLongText));
    EXPECT_EQ(0u, second.WaitForExit());

    // 255 characters with the space still go over; the first menu is this start's.
    Process& third = Start(overlong.substr(1));
    HWND menu = WaitForMenu(first.Id());
    ASSERT_NE(nullptr, menu);
    DismissMenu(menu);
    EXPECT_EQ(0u, third.WaitForExit());
    HandOverAndPick(first.Id(), "C:\\mail\\12.txt", 0);
    EXPECT_EQ(Records{fakeViewer + " /t \"C:\\mail\\12.txt \""}, WaitForViewerLog(1));
}

TEST_F(HandoffTest, StartWithoutArgumentsShowsTheResidentWindow) {
    SeedViewers({{"Text", fakeViewer, "/t"}});
    HWND dialog = StartResident();
    ASSERT_NE(nullptr, dialog);
    SyncWith(dialog);
    ASSERT_FALSE(IsWindowVisible(dialog));

    Process& second = Start("");
    EXPECT_EQ(0u, second.WaitForExit());
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(dialog) != FALSE; }));
}

// A window of another program that happens to have Brindle's title.
LRESULT CALLBACK ForeignWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_HANDOFF)
        SetPropA(window, "handoffs", reinterpret_cast<HANDLE>(1));
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST_F(HandoffTest, ForeignWindowWithTheSameTitleIsNotTheResident) {
    SeedViewers({{"Text", fakeViewer, "/t"}});
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = ForeignWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "E2eForeignWindow";
    ASSERT_NE(0, RegisterClassA(&windowClass));
    HWND foreign = CreateWindowA("E2eForeignWindow", mainWindowTitle, WS_OVERLAPPEDWINDOW, 0, 0,
                                 200, 100, nullptr, nullptr, windowClass.hInstance, nullptr);
    ASSERT_NE(nullptr, foreign);

    // The start becomes the resident instance itself.
    Process& start = Start("C:\\mail\\12.txt");
    HWND menu = WaitForMenu(start.Id());
    EXPECT_NE(nullptr, MainDialogOf(start.Id()));
    if (menu)
        PickMenuItem(menu, 0);
    EXPECT_EQ(Records{fakeViewer + " /t \"C:\\mail\\12.txt \""}, WaitForViewerLog(1));
    EXPECT_EQ(nullptr, GetPropA(foreign, "handoffs"));

    End(start);
    RemovePropA(foreign, "handoffs");
    DestroyWindow(foreign);
    UnregisterClassA("E2eForeignWindow", windowClass.hInstance);
}

TEST_F(HandoffTest, NumberKeysChooseAndLettersHighlightInTheMenu) {
    SeedViewers({{"Text", fakeViewer, "/t"},
                 {"Plain", fakeViewer, "/p"},
                 {"Hex", fakeViewer, "/h"},
                 {"pager", fakeViewer, "/g"}});
    Process* resident = nullptr;
    ASSERT_NE(nullptr, StartResident(&resident));

    // A number key chooses its item at once.
    Process& first = Start("C:\\mail\\1.txt");
    HWND menu = WaitForMenu(resident->Id());
    ASSERT_NE(nullptr, menu);
    PressKey(menu, '3');
    EXPECT_EQ(0u, first.WaitForExit());
    EXPECT_EQ(Records{fakeViewer + " /h \"C:\\mail\\1.txt \""}, WaitForViewerLog(1));

    // A letter highlights the next title that starts with it, in either case; Enter chooses it.
    Process& second = Start("C:\\mail\\2.txt");
    menu = WaitForMenu(resident->Id());
    ASSERT_NE(nullptr, menu);
    // The menu opens with Hex, chosen last, highlighted: the next P is pager, then Plain.
    for (WORD key : {WORD('P'), WORD('P'), WORD(VK_RETURN)})
        TypeKey(key);
    EXPECT_EQ(0u, second.WaitForExit());
    Records log = WaitForViewerLog(2);
    ASSERT_EQ(2u, log.size());
    EXPECT_EQ(fakeViewer + " /p \"C:\\mail\\2.txt \"", log[1]);
}

// Renames the last viewer of the list window `dialog` as the user does: the window shown, End,
// 編集, the editor's title and parameters, OK; then 最小化.
void RenameLastInList(HWND dialog, const char* title, const char* parameters) {
    PostMessageA(dialog, WM_TRAYNOTIFY, 0, WM_LBUTTONDBLCLK);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(dialog); }));
    PostMessageA(GetDlgItem(dialog, IDC_VIEWER_LIST), WM_KEYDOWN, VK_END, 1);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(GetDlgItem(dialog, IDC_EDIT)); }));
    PostCommand(dialog, IDC_EDIT);
    HWND editor = WaitForWindow(0, "#32770", "メニュー詳細");
    ASSERT_NE(nullptr, editor);
    SendMessageA(GetDlgItem(editor, IDC_TITLE), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(title));
    SendMessageA(GetDlgItem(editor, IDC_PARAMETERS), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(parameters));
    PostCommand(editor, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(editor); }));
    SendWithDeadline(GetDlgItem(dialog, IDOK), BM_CLICK);
}

// Each menu opens with the viewer chosen last highlighted, so that Enter starts it, under its
// new name after a rename in the list; one that another program deleted leaves none, and Enter
// then starts nothing.
TEST_F(HandoffTest, MenuOpensWithTheViewerChosenLastHighlighted) {
    SeedViewers({{"Text", fakeViewer, "/t"}, {"Hex", fakeViewer, "/r"}});
    Process* resident = nullptr;
    HWND dialog = StartResident(&resident);
    ASSERT_NE(nullptr, dialog);
    HandOverAndPick(resident->Id(), "C:\\mail\\1.txt", 1);
    auto handOverAndEnter = [&](const char* file, bool launches) {
        const Process& start = Start(file);
        HWND menu = WaitForMenu(resident->Id());
        ASSERT_NE(nullptr, menu);
        PressKey(menu, VK_RETURN);
        if (!launches) // a menu without a highlight stays open
            DismissMenu(menu);
        EXPECT_EQ(0u, start.WaitForExit());
    };
    handOverAndEnter("C:\\mail\\2.txt", true);
    RenameLastInList(dialog, "Dump", "/d");
    handOverAndEnter("C:\\mail\\3.txt", true);
    DeleteKey(MenusPath() + "\\Dump");
    handOverAndEnter("C:\\mail\\4.txt", false);
    // A launch by the last Enter would be logged before this one.
    HandOverAndPick(resident->Id(), "C:\\mail\\5.txt", 0);
    EXPECT_EQ(
        (Records{fakeViewer + " /r \"C:\\mail\\1.txt \"", fakeViewer + " /r \"C:\\mail\\2.txt \"",
                 fakeViewer + " /d \"C:\\mail\\3.txt \"", fakeViewer + " /t \"C:\\mail\\5.txt \""}),
        WaitForViewerLog(4));
}

} // namespace
