// What goes wrong on a real desktop when nothing guards against it: a title with '&', a
// resident instance that stops responding, a viewer that is slow to become ready.

#include "E2eSupport.h"

using namespace e2e;

namespace {

using Records = std::vector<std::string>;

// "R&D 表示": the '&' would make the next letter a mnemonic.
const std::string ampersandTitle = "R&D \x95\x5C\x8E\xA6";

class HardeningTest : public BrindleTest {};

TEST_F(HardeningTest, TitleWithAmpersandIsShownAsTypedAndNotChosenByItsLetter) {
    // In UTF-16, so that its Japanese part is stored whole on any system code page.
    ASSERT_TRUE(WriteWideViewers({{WideOf(ampersandTitle), WideOf(fakeViewer), L"/r"},
                                  {L"Other", WideOf(fakeViewer), L"/o"}}));
    Process& first = Start("C:\\mail\\1.txt");
    HWND menu = WaitForMenu(first.Id());
    ASSERT_NE(nullptr, menu);

    // D is no mnemonic: the menu stays open and nothing starts.
    PressKey(menu, 'D');
    SyncWith(MainDialogOf(first.Id()));
    Sleep(300);
    EXPECT_TRUE(IsWindowVisible(menu));
    EXPECT_TRUE(ViewerLog().empty());

    EXPECT_TRUE(PickMenusUntil(first.Id(), 0, [] { return !ViewerLog().empty(); }));
    EXPECT_EQ(Records{fakeViewer + " /r \"C:\\mail\\1.txt \""}, WaitForViewerLog(1));
}

// A resident that has handled no message for more than 5 s counts as hung to the system for a
// moment after a hand-off wakes it; the start still waits for the menu, shows nothing of its
// own and ends with success once the menu has closed.
TEST_F(HardeningTest, HandoffToAResidentThatIdledLongEndsWhenItsMenuCloses) {
    SeedViewers({{"Text", fakeViewer, "/t"}});
    // Resident in the tray only: a shown window would look at the store twice a second.
    Process& resident = Start("C:\\mail\\0.txt");
    ASSERT_TRUE(PickMenusUntil(resident.Id(), 0, [] { return !ViewerLog().empty(); }));
    for (int mail = 1; mail <= 2; ++mail) {
        Sleep(6500);
        const std::string file = "C:\\mail\\idle" + std::to_string(mail) + ".txt";
        Process& start = Start(file);
        ASSERT_NE(nullptr, WaitForMenu(resident.Id()));
        Sleep(500); // long enough for the start to have judged the resident
        EXPECT_TRUE(TopLevelWindows(start.Id()).empty()) << "the start shows a window of its own";
        EXPECT_TRUE(PickMenusUntil(resident.Id(), 0, [&] { return !start.Running(); })) << file;
        EXPECT_EQ(0u, start.WaitForExit()) << file;
    }
    EXPECT_EQ(3u, WaitForViewerLog(3).size());
}

// A window that looks like the resident instance (same class and title) whose thread stops
// handling messages, as a hung or half-crashed Brindle does.
class HungStandIn {
  public:
    HungStandIn() : release(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
        thread = CreateThread(nullptr, 0, Run, this, 0, nullptr);
        WaitUntil([&] { return window != nullptr; });
    }
    ~HungStandIn() {
        SetEvent(release);
        WaitForSingleObject(thread, waitLimitMs);
        CloseHandle(thread);
        CloseHandle(release);
    }
    HWND Window() const { return window; }

  private:
    static DWORD WINAPI Run(void* self) {
        auto* standIn = static_cast<HungStandIn*>(self);
        HWND made = CreateWindowExA(0, "#32770", mainWindowTitle, WS_POPUP, 0, 0, 10, 10, nullptr,
                                    nullptr, nullptr, nullptr);
        standIn->window = made;
        WaitForSingleObject(standIn->release, INFINITE); // handles no message meanwhile
        DestroyWindow(made);
        return 0;
    }

    HANDLE release;
    HANDLE thread = nullptr;
    HWND volatile window = nullptr;
};

TEST_F(HardeningTest, StartBesideAResidentThatStopsRespondingTellsTheUserAndEnds) {
    HungStandIn standIn;
    ASSERT_NE(nullptr, standIn.Window());
    const char* text = "C:\\mail\\hung.txt ";

    Process& start = Start("C:\\mail\\hung.txt");
    HWND box = WaitForMessageBox(start.Id());
    ASSERT_NE(nullptr, box) << "the start still waits for the resident that does not respond";
    const std::string message = ReadMessageBox(box).text;
    EXPECT_NE(std::string::npos, message.find("応答していません"));
    EXPECT_NE(std::string::npos, message.find("タスク マネージャー"));
    PostCommand(box, IDOK);
    const DWORD code = start.WaitForExit();
    EXPECT_NE(STILL_ACTIVE, code);
    EXPECT_NE(0u, code);
    EXPECT_EQ(0, GlobalFindAtomA(text)) << "the start left its atom behind";
}

TEST_F(HardeningTest, ResidentAnswersWhileAViewerGetsReadyAndLaterHandoffsWaitTheirTurn) {
    // The busy viewer handles no message for 4 s after it started, far longer than the
    // resident takes to answer.
    SeedViewers({{"Busy", fakeViewer, "/busy=4000"}, {"Quick", fakeViewer, ""}});
    Process& first = Start("C:\\mail\\1.txt");
    HWND menu = WaitForMenu(first.Id());
    ASSERT_NE(nullptr, menu);
    HWND dialog = MainDialogOf(first.Id());
    ASSERT_TRUE(PickMenusUntil(first.Id(), 0, [] { return !ViewerLog().empty(); }));

    // The resident waits for the busy viewer, yet a double click on its tray icon shows it.
    PostMessageA(dialog, WM_TRAYNOTIFY, 0, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(dialog) != FALSE; }))
        << "the resident handles no message while its viewer gets ready";

    // A hand-off meanwhile gets its menu once the viewer is ready, and its own file.
    Process& second = Start("C:\\mail\\2.txt");
    EXPECT_TRUE(PickMenusUntil(
        first.Id(), 1, [&] { return !second.Running(); }, 3 * waitLimitMs));
    EXPECT_EQ(0u, second.WaitForExit());
    EXPECT_EQ((Records{fakeViewer + " /busy=4000 \"C:\\mail\\1.txt \"",
                       fakeViewer + "  \"C:\\mail\\2.txt \""}),
              WaitForViewerLog(2));
}

// A start whose hand-off waits for its turn, and whose resident ends meanwhile, says so and
// ends with failure instead of waiting for ever.
TEST_F(HardeningTest, StartWhoseResidentEndsBeforeItsTurnTellsTheUserAndEnds) {
    SeedViewers({{"Busy", fakeViewer, "/busy=4000"}});
    Process& first = Start("C:\\mail\\1.txt");
    ASSERT_TRUE(PickMenusUntil(first.Id(), 0, [] { return !ViewerLog().empty(); }));
    // The resident waits for the busy viewer; the hand-off waits for that.
    Process* started = nullptr;
    ASSERT_TRUE(StartAndWaitForDelivery("C:\\mail\\2.txt", "C:\\mail\\2.txt ", &started));
    Process& second = *started;
    first.Terminate();
    ExpectMessage(second.Id(), "ファイル名を渡せませんでした");
    EXPECT_EQ(1u, second.WaitForExit());
}

} // namespace
