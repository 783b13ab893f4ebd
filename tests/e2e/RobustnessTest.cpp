// Brindle under stress and abuse: fifty hand-offs from ten clients at once, a save of the list
// killed at many points, and hostile inputs from outside (hand-off texts around the atom's
// limit, stored values too long for a launch or of another registry type). A double-byte file
// name ending in byte 0x5C and a foreign window of Brindle's title are HandoffTest's.

#include "E2eSupport.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
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

class RobustnessTest : public BrindleTest {};

TEST_F(RobustnessTest, FiftyHandoffsFromTenClientsAtOnceEachLaunchTheirFileOnce) {
    constexpr int clients = 10;
    constexpr int startsEach = 5;
    constexpr size_t handoffs = clients * startsEach;
    constexpr DWORD loadLimitMs = 40000;
    SeedViewers({{"Text", fakeViewer, "/t"}});
    Process* resident = nullptr;
    HWND dialog = StartResident(&resident);
    ASSERT_NE(nullptr, dialog);

    std::vector<std::string> files;
    for (int i = 0; i < static_cast<int>(handoffs); ++i)
        files.push_back("C:\\mail\\load-" + std::to_string(i / startsEach) + '-' +
                        std::to_string(i % startsEach) + ".txt");

    // Each client starts brindle.exe with its next file as soon as its last start has ended:
    // a start whose hand-off has to wait for another menu ends at once, one whose menu is open
    // ends when the menu closes.
    std::vector<DWORD> exitCodes(handoffs, STILL_ACTIVE);
    std::atomic<bool> stop{false};
    std::atomic<int> clientsDone{0};
    std::vector<std::thread> threads;
    for (int client = 0; client < clients; ++client) {
        threads.emplace_back([&, client] {
            for (int i = client * startsEach; i < (client + 1) * startsEach && !stop; ++i) {
                Process start;
                if (!start.Start('"' + brindlePath + "\" " + files[i]))
                    break;
                exitCodes[i] = start.WaitForExit(loadLimitMs);
                start.Terminate();
            }
            ++clientsDone;
        });
    }

    // One menu at a time: each new one is picked as it appears.
    int menus = 0;
    HWND picked = nullptr;
    Records log;
    const bool allLaunched = WaitUntil(
        [&] {
            HWND menu = VisibleMenuOf(resident->Id());
            if (menu && menu != picked) {
                PickMenuItem(menu, 0);
                picked = menu;
                ++menus;
            }
            return clientsDone == clients && (log = ViewerLog()).size() >= handoffs;
        },
        loadLimitMs);
    stop = true;
    const bool residentAlive = resident->Running() && IsWindow(dialog);
    if (!allLaunched)
        End(*resident); // the clients' waiting starts return
    for (std::thread& thread : threads)
        thread.join();

    EXPECT_TRUE(allLaunched) << log.size() << " launches, " << menus << " menus";
    EXPECT_TRUE(residentAlive);
    EXPECT_EQ(static_cast<int>(handoffs), menus);
    EXPECT_EQ(std::vector<DWORD>(handoffs, 0), exitCodes);
    Records expected;
    for (const std::string& file : files)
        expected.push_back(fakeViewer + " /t \"" + file + " \"");
    std::sort(expected.begin(), expected.end());
    std::sort(log.begin(), log.end());
    EXPECT_EQ(expected, log) << "each file launched exactly once";
    for (const std::string& file : files)
        EXPECT_EQ(0, GlobalFindAtomA((file + ' ').c_str())) << "atom left: " << file;
    std::printf("load: %zu hand-offs from %d clients, %d menus, %zu launches\n", handoffs, clients,
                menus, log.size());
}

TEST_F(RobustnessTest, SaveKilledAtAnyPointLosesNoEntry) {
    constexpr const char* product = "BrindleSaveVictim";
    constexpr int entries = 200;
    constexpr int killPoints = 40;
    constexpr DWORD killStepMs = 5; // a save of 200 entries takes some tens of milliseconds
    std::vector<Viewer> list;
    for (int i = 0; i < entries; ++i) {
        const std::string number = std::to_string(1000 + i).substr(1);
        list.push_back({"viewer" + number, "C:\\viewers\\" + number + ".exe", "/p" + number});
    }
    // The victim saves the list reversed with its last entry renamed, then the list, and makes
    // the list window's edits of the same rename and a move, by turns.
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
    std::printf("save killed at %d points (%d mid-rename), %d entries lost\n", killPoints,
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
