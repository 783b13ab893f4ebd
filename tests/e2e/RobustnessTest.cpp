// Brindle under stress and abuse: mails opened in quick succession by one and by ten clients, a
// save of the list killed at many points, and hostile inputs from outside (hand-off texts around
// the atom's limit, stored values too long for a launch or of another registry type). A double-byte
// file name ending in byte 0x5C and a foreign window of Brindle's title are HandoffTest's.

#include "E2eSupport.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <thread>

using namespace e2e;

namespace {

using Records = std::vector<std::string>;

// The command and Param of every viewer, as stored.
std::vector<RegistryValue> RawViewers(const std::vector<Viewer>& viewers) {
    std::vector<RegistryValue> values;
    for (const Viewer& viewer : viewers) {
        values.push_back(ReadValue(MenusPath() + '\\' + viewer.title, nullptr));
        values.push_back(ReadValue(MenusPath() + '\\' + viewer.title, paramValueName));
    }
    return values;
}

class RobustnessTest : public BrindleTest {
  protected:
    // Mails opened in quick succession: `clients` stand-in mail clients each open
    // `mailsEach` mails one after another, each start as soon as the client's last one has
    // ended, and the user chooses viewer 1 of every menu by its key. Each start ends once its
    // own menu has closed, never before, and soon after; every mail gets one menu and one
    // launch, with its own file. BRINDLE_LOAD_MAILS sets `mailsEach` for a longer run.
    void OpenMailsInQuickSuccession(int clients, int mailsEach);
};

void RobustnessTest::OpenMailsInQuickSuccession(int clients, int mailsEach) {
    if (const char* asked = std::getenv("BRINDLE_LOAD_MAILS"))
        mailsEach = std::max(1, std::atoi(asked));
    const size_t mails = static_cast<size_t>(clients * mailsEach);
    // A busy machine makes each turn slow, not the queue stall: the run fails when neither a
    // menu nor a launch came for a while.
    const DWORD stallLimitMs = Scaled(20000);
    const DWORD loadLimitMs = Scaled(60000 + 5000 * static_cast<DWORD>(mails));
    const DWORD endAfterMenuMs = Scaled(1000);
    constexpr DWORD keyAgainMs = 1500; // a key that never reached its menu is typed again
    SeedViewers({{"Text", fakeViewer, "/t"}});
    Process* resident = nullptr;
    HWND dialog = StartResident(&resident);
    ASSERT_NE(nullptr, dialog);

    std::vector<std::string> files;
    std::map<std::string, size_t> startOfRecord;
    for (size_t i = 0; i < mails; ++i) {
        files.push_back("C:\\mail\\load-" + std::to_string(i / mailsEach) + '-' +
                        std::to_string(i % mailsEach) + ".txt");
        startOfRecord[fakeViewer + " /t \"" + files[i] + " \""] = i;
    }
    struct Ended {
        DWORD code = STILL_ACTIVE;
        DWORD at = 0;
    };
    std::vector<Ended> ends(mails);
    std::atomic<bool> stop{false};
    std::atomic<int> clientsDone{0};
    std::vector<std::thread> threads;
    for (int client = 0; client < clients; ++client) {
        threads.emplace_back([&, client] {
            for (size_t i = client * mailsEach; i < (client + 1) * size_t(mailsEach) && !stop;
                 ++i) {
                Process start;
                if (!start.Start('"' + brindlePath + "\" " + files[i]))
                    break;
                ends[i].code = start.WaitForExit(loadLimitMs);
                ends[i].at = GetTickCount();
                start.Terminate();
            }
            ++clientsDone;
        });
    }

    // The user: key 1 in each menu as it opens, and again in one that stays open.
    struct Menu {
        DWORD opened = 0;
        DWORD closed = 0;
    };
    std::vector<Menu> menus;
    HWND open = nullptr;
    DWORD keyAt = 0;
    Records log;
    size_t progress = 0;
    DWORD progressAt = GetTickCount();
    bool stalled = false;
    const bool allLaunched =
        WaitUntil(
            [&] {
                HWND menu = VisibleMenuOf(resident->Id());
                const DWORD now = GetTickCount();
                if (open && menu != open) {
                    menus.back().closed = now;
                    open = nullptr;
                }
                if (menu && (menu != open || now - keyAt >= keyAgainMs)) {
                    if (menu != open)
                        menus.push_back({now, 0});
                    open = menu;
                    keyAt = now;
                    PressKey(menu, '1');
                }
                log = ViewerLog();
                if (menus.size() + log.size() != progress) {
                    progress = menus.size() + log.size();
                    progressAt = now;
                }
                stalled = now - progressAt >= stallLimitMs;
                return stalled || (clientsDone == clients && log.size() >= mails);
            },
            loadLimitMs) &&
        !stalled;
    stop = true;
    log = ViewerLog();
    const bool residentAlive = resident->Running() && IsWindow(dialog);
    if (!allLaunched)
        End(*resident); // the clients' waiting starts return
    for (std::thread& thread : threads)
        thread.join();

    EXPECT_TRUE(allLaunched) << (stalled ? "stalled" : "too slow") << " after " << menus.size()
                             << " menus and " << log.size() << " launches of " << mails
                             << (open ? ": the last menu stayed open" : ": no menu open");
    EXPECT_TRUE(residentAlive);
    EXPECT_EQ(mails, menus.size());
    // The menus launch in turn: the k-th launch is the k-th menu's.
    long longestEndMs = 0;
    for (size_t k = 0; k < log.size() && k < menus.size(); ++k) {
        const auto start = startOfRecord.find(log[k]);
        ASSERT_NE(startOfRecord.end(), start) << "a launch of no mail: " << log[k];
        const Ended& ended = ends[start->second];
        SCOPED_TRACE(files[start->second]);
        EXPECT_EQ(0u, ended.code);
        EXPECT_GE(ended.at, menus[k].opened) << "the start ended before its menu opened";
        if (ended.code == 0 && menus[k].closed) {
            // The menu's close is seen at the next look, which may come after the end.
            const auto endMs = static_cast<long>(ended.at - menus[k].closed);
            EXPECT_LE(endMs, static_cast<long>(endAfterMenuMs)) << "it ended late";
            longestEndMs = std::max(longestEndMs, endMs);
        }
    }
    for (size_t i = 0; i < mails; ++i)
        EXPECT_EQ(0u, ends[i].code) << files[i] << " did not end with 0 (259: still waiting)";
    Records expected;
    for (const std::string& file : files)
        expected.push_back(fakeViewer + " /t \"" + file + " \"");
    std::sort(expected.begin(), expected.end());
    std::sort(log.begin(), log.end());
    EXPECT_EQ(expected, log) << "each file launched exactly once";
    for (const std::string& file : files)
        EXPECT_EQ(0, GlobalFindAtomA((file + ' ').c_str())) << "atom left: " << file;
    std::printf("load: %d client(s) x %d mails: %zu menus, %zu launches, each start ended at most "
                "%ld ms after its menu closed\n",
                clients, mailsEach, menus.size(), log.size(), longestEndMs);
}

TEST_F(RobustnessTest, MailsOneAfterAnotherEachEndWhenTheirOwnMenuCloses) {
    OpenMailsInQuickSuccession(1, 20);
}

TEST_F(RobustnessTest, MailsFromTenClientsAtOnceEachEndWhenTheirOwnMenuCloses) {
    OpenMailsInQuickSuccession(10, 5);
}

TEST_F(RobustnessTest, EditKilledAtAnyPointLosesNoEntry) {
    constexpr const char* product = "BrindleSaveVictim";
    constexpr int entries = 200;
    constexpr int killPoints = 40;
    constexpr DWORD killStepMs = 5; // an edit of a list of 200 takes some milliseconds
    std::vector<Viewer> list;
    for (int i = 0; i < entries; ++i) {
        const std::string number = std::to_string(1000 + i).substr(1);
        list.push_back({"viewer" + number, "C:\\viewers\\" + number + ".exe", "/p" + number});
    }
    // The victim makes the list window's edits by turns: it renames the last entry, moves it
    // and renames it back.
    const std::string oldTitle = list.back().title;
    const std::string newTitle = "renamed" + oldTitle;
    const std::string victimLine =
        '"' + WinePath(SAVEVICTIM_EXE) + "\" " + product + ' ' + oldTitle + ' ' + newTitle;
    HANDLE saving = CreateEventA(nullptr, TRUE, FALSE, "BrindleSaveVictimSaving");
    ASSERT_NE(nullptr, saving);

    int lost = 0;
    int interrupted = 0; // kills that left both names of the renamed entry
    for (int point = 0; point < killPoints; ++point) {
        SCOPED_TRACE(testing::Message() << "killed " << point * killStepMs << " ms into saving");
        ASSERT_TRUE(StoreViewers(list, product));
        ResetEvent(saving);
        Process victim;
        ASSERT_TRUE(victim.Start(victimLine));
        const bool started = WaitForSingleObject(saving, waitLimitMs) == WAIT_OBJECT_0;
        Sleep(point * killStepMs);
        victim.Terminate(9);
        ASSERT_TRUE(started) << "the victim did not start saving";
        ASSERT_EQ(9u, victim.WaitForExit()) << "the victim ended by itself";

        std::map<std::string, Viewer> loaded;
        for (Viewer& entry : StoredViewers(product))
            loaded[entry.title] = std::move(entry);
        interrupted += loaded.count(oldTitle) && loaded.count(newTitle);
        const auto holds = [&](const std::string& title, const Viewer& entry) {
            const auto found = loaded.find(title);
            return found != loaded.end() && found->second.command == entry.command &&
                   found->second.parameters == entry.parameters;
        };
        for (const Viewer& entry : list) {
            if (!holds(entry.title, entry) && !(entry.title == oldTitle && holds(newTitle, entry)))
                ++lost;
        }
        EXPECT_LE(loaded.size(), static_cast<size_t>(entries + 1));
    }
    CloseHandle(saving);
    DeleteSettings(product);
    EXPECT_EQ(0, lost);
    std::printf("edit killed at %d points (%d mid-rename), %d entries lost\n", killPoints,
                interrupted, lost);
}

TEST_F(RobustnessTest, HandoffTextsAroundTheAtomLimit) {
    // "v" is the fake viewer under a one-letter name, found on PATH: with no parameters its
    // launch line "v  "<text>"" is 259 characters, the most a launch allows, for a text of 254.
    const std::string viewerDirectory = fakeViewerPath.substr(0, fakeViewerPath.rfind('\\'));
    char path[32768] = {};
    GetEnvironmentVariableA("PATH", path, sizeof path);
    const std::string oldPath = path;
    SetEnvironmentVariableA("PATH", (viewerDirectory + ';' + oldPath).c_str());
    SeedViewers({{"Short", "v", ""}});
    Process* resident = nullptr;
    HWND dialog = StartResident(&resident);
    SetEnvironmentVariableA("PATH", oldPath.c_str());
    ASSERT_NE(nullptr, dialog);

    // Texts of 254 and 255 characters (the argument and its trailing space) are handed over.
    const std::string longest = "C:\\mail\\" + std::string(253 - 8, 'a');
    HandOverAndPick(resident->Id(), longest, 0);
    const Records log = WaitForViewerLog(1);
    ASSERT_EQ(Records{"v  \"" + longest + " \""}, log);
    EXPECT_EQ(259u, log[0].size());
    HandOverAndPick(resident->Id(), longest + 'b', 0); // its launch line would be 260
    ExpectMessage(resident->Id(), lineTooLongText);

    // Longer ones are refused by the start itself, which ends; the resident hears nothing.
    for (size_t length : {256u, 1000u}) {
        SCOPED_TRACE(length);
        Process& start = Start("C:\\mail\\" + std::string(length - 9, 'c'));
        ExpectMessage(start.Id(), textTooLongText);
        EXPECT_EQ(0u, start.WaitForExit());
    }
    SyncWith(dialog);
    EXPECT_EQ(nullptr, VisibleMenuOf(resident->Id()));
    EXPECT_EQ(1u, ViewerLog().size());
    EXPECT_TRUE(resident->Running());
}

TEST_F(RobustnessTest, StoredValuesTooLongToLaunchAreRefusedAndKept) {
    // Were a cut command started, it would be the fake viewer, and the log would tell.
    const auto longCommand = [](size_t length) {
        return fakeViewer + ' ' + std::string(length - fakeViewer.size() - 1, 'c');
    };
    const std::vector<Viewer> viewers = {{"Command300", longCommand(300), "/c"},
                                         {"Command5000", longCommand(5000), "/c"},
                                         {"Param300", fakeViewer, std::string(300, 'p')},
                                         {"Param5000", fakeViewer, std::string(5000, 'p')}};
    SeedViewers(viewers);
    const std::vector<RegistryValue> stored = RawViewers(viewers);
    Process* resident = nullptr;
    ASSERT_NE(nullptr, StartResident(&resident));

    for (int item = 0; item < static_cast<int>(viewers.size()); ++item) {
        SCOPED_TRACE(viewers[item].title);
        HandOverAndPick(resident->Id(), "C:\\mail\\12.txt", item);
        ExpectMessage(resident->Id(), lineTooLongText);
    }
    EXPECT_TRUE(ViewerLog().empty());
    EXPECT_TRUE(resident->Running());
    EXPECT_EQ(stored, RawViewers(viewers));
    EXPECT_EQ(viewers, StoredViewers());
}

TEST_F(RobustnessTest, ValuesOfAnotherTypeLaunchAsTheirBytesRead) {
    SeedViewers({{"Number", fakeViewer, "/n"}, {"Binary", fakeViewer, "/b"}});
    // The bytes "ABCD" as the command; "/bin", a zero byte and more as Param.
    const DWORD number = 0x44434241;
    ASSERT_TRUE(WriteValue(MenusPath() + "\\Number", nullptr, REG_DWORD,
                           std::string(reinterpret_cast<const char*>(&number), sizeof number)));
    ASSERT_TRUE(WriteValue(MenusPath() + "\\Binary", paramValueName, REG_BINARY,
                           std::string("/bin\0junk", 9)));
    const std::vector<Viewer> asText = {{"Number", "ABCD", "/n"}, {"Binary", fakeViewer, "/bin"}};
    const std::vector<RegistryValue> stored = RawViewers(asText);
    Process* resident = nullptr;
    ASSERT_NE(nullptr, StartResident(&resident));

    // A command of bytes that name no program: its start fails, and the user is told so.
    HandOverAndPick(resident->Id(), "C:\\mail\\12.txt", 0);
    ExpectMessage(resident->Id(), "ABCD /n \"C:\\mail\\12.txt \" の起動に失敗しました");
    HandOverAndPick(resident->Id(), "C:\\mail\\12.txt", 1);
    EXPECT_EQ(Records{fakeViewer + " /bin \"C:\\mail\\12.txt \""}, WaitForViewerLog(1));
    EXPECT_TRUE(resident->Running());
    EXPECT_EQ(stored, RawViewers(asText));
    EXPECT_EQ(asText, StoredViewers());
}

} // namespace
