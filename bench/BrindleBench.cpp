// Brindle's benchmarks, run under Wine on the stripped executable, as shipped. Each figure is
// set against its floor, a program of ours built with the same flags that does only what the
// platform makes unavoidable for the same result, or for the store's edits the same edit of a
// 3-viewer list; the floor's runs are interleaved with the figure's in the same run. The
// figures are printed, never checked: the exit code says only whether every run completed.
//   brindle_bench.exe --programs DIR [--runs N]
// DIR holds stripped copies of brindle.exe and of the floor programs (made by run-bench.sh).

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <tuple>
#include <utility>

#include "BenchSupport.h"
#include "FloorProgram.h"
#include "instance/Identity.h"
#include "resource.h"
#include "support/Process.h"
#include "support/Registry.h"
#include "support/Wait.h"
#include "support/Window.h"

namespace {

using bench::NowMs;
using bench::Series;
using namespace testsupport;

// The programs timed, as run-bench.sh leaves them in the programs folder.
struct Programs {
    std::string brindle, forwarder, resident, trivial, viewer;

    explicit Programs(const std::string& folder)
        : brindle(folder + "\\brindle.exe"), forwarder(folder + "\\bench_floor_forwarder.exe"),
          resident(folder + "\\bench_floor_resident.exe"),
          trivial(folder + "\\bench_trivial_user32.exe"), viewer(folder + "\\bench_viewer.exe") {}
};

// Every timed wait polls about once a millisecond, so that a figure and its floor are read
// with the same granularity.
constexpr DWORD pollMs = 1;

// The mail file the client hands over; nothing opens it, so it need not exist.
constexpr const char* mailFile = "C:\\mail\\1.txt";
// How long an instance idles before its memory is read.
constexpr DWORD settleMs = 300;
// A series stops after this many failed runs: each has already waited out a deadline.
constexpr int maxFailures = 3;
constexpr int fewViewers = 3;
constexpr int manyViewers = 1000;

std::string Quoted(const std::string& path) {
    return '"' + path + '"';
}

// The floor resident's command line: a menu of `items` items, a list of `rows` rows, and the
// mail file when `withFile`.
std::string FloorResidentLine(const Programs& programs, int items, int rows, bool withFile) {
    std::string line =
        Quoted(programs.resident) + ' ' + std::to_string(items) + ' ' + std::to_string(rows);
    return withFile ? line + ' ' + mailFile : line;
}

// `count` viewers in an order that is not the registry's (sorted) one, as a user's own order
// would be; numbered as the floor programs number their items.
std::vector<Viewer> Viewers(int count) {
    std::vector<Viewer> rows;
    for (int number = 1; number <= count; ++number) {
        char title[64], command[64];
        std::snprintf(title, sizeof title, viewerTitleFormat, number);
        std::snprintf(command, sizeof command, viewerCommandFormat, number);
        rows.push_back({title, command, viewerParameters});
    }
    std::shuffle(rows.begin(), rows.end(), std::mt19937(20240601));
    return rows;
}

// The dialog titled `title` of `program`, hidden or not; null when it has none.
HWND DialogOf(const Process& program, const char* title) {
    return FindWindowOf(program.Id(), "#32770", title, false);
}

// Dismisses `processId`'s open menu as the user's Escape does, and waits until it has closed.
bool DismissMenuOf(DWORD processId, HWND menu) {
    DismissMenu(menu);
    return WaitUntil([&] { return VisibleMenuOf(processId) == nullptr; }, waitLimitMs, pollMs);
}

// Asks a resident to end by cancelling its dialog titled `title` (for Brindle, whose menu is
// closed, as its tray menu's 終了 does); one that does not end in time is terminated.
bool End(const Process& program, const char* title) {
    if (!program.Handle())
        return true;
    HWND dialog = DialogOf(program, title);
    if (dialog)
        PostCommand(dialog, IDCANCEL);
    if (dialog && program.WaitForExit() != STILL_ACTIVE)
        return true;
    program.Terminate();
    return false;
}

// Starts `commandLine` as the mail client does: milliseconds until `ready` holds. Nothing when
// the start failed or `ready` did not hold in time.
std::optional<double> TimedStart(Process& program, const std::string& commandLine,
                                 const std::function<bool()>& ready) {
    const double start = NowMs();
    if (!program.Start(commandLine) || !WaitUntil(ready, waitLimitMs, pollMs))
        return std::nullopt;
    return NowMs() - start;
}

// A start with a file and no resident instance, of Brindle or of the floor resident (whose
// window is titled `title`): milliseconds until its menu is open. The menu is dismissed, and
// after a settle the idle instance's memory is read.
struct ColdRun {
    double ms;
    bench::Footprint idle;
};

std::optional<ColdRun> ColdStartToMenu(const std::string& commandLine, const char* title) {
    Process program;
    HWND menu = nullptr;
    const std::optional<double> ms = TimedStart(
        program, commandLine, [&] { return (menu = VisibleMenuOf(program.Id())) != nullptr; });
    const bool dismissed = ms && DismissMenuOf(program.Id(), menu);
    Sleep(settleMs);
    const std::optional<bench::Footprint> idle =
        program.Handle() ? bench::FootprintOf(program.Handle()) : std::nullopt;
    const bool ended = End(program, title);
    if (!dismissed || !idle || !ended)
        return std::nullopt;
    return ColdRun{*ms, *idle};
}

// Starts a resident with a file, as the mail client's first start does, and dismisses its
// first menu; false when it showed none.
bool StartResident(Process& resident, const std::string& commandLine) {
    HWND menu = nullptr;
    return TimedStart(resident, commandLine,
                      [&] { return (menu = VisibleMenuOf(resident.Id())) != nullptr; }) &&
           DismissMenuOf(resident.Id(), menu);
}

// A hand-off: the mail client starts `forwarderLine` (brindle.exe or the floor forwarder, with
// the file) while `resident` runs; milliseconds until the resident's menu is open. The menu is
// dismissed and the forwarding start (which waits for the menu) has ended before this returns.
std::optional<double> Handoff(const Process& resident, const std::string& forwarderLine) {
    Process forwarder;
    HWND menu = nullptr;
    const std::optional<double> ms = TimedStart(
        forwarder, forwarderLine, [&] { return (menu = VisibleMenuOf(resident.Id())) != nullptr; });
    const bool dismissed = ms && DismissMenuOf(resident.Id(), menu);
    const bool ended = forwarder.Handle() && forwarder.WaitForExit() != STILL_ACTIVE;
    forwarder.Terminate();
    if (!dismissed || !ended)
        return std::nullopt;
    return ms;
}

// Enter pressed in the menu of a hand-off as soon as it shows, as a user who picks the viewer
// the menu opened with highlighted: `resident` gets the hand-off of `forwarderLine`;
// milliseconds from the start until the launched viewer runs (it sets `ran`).
std::optional<double> LaunchByEnter(const Process& resident, const std::string& forwarderLine,
                                    HANDLE ran) {
    ResetEvent(ran);
    Process forwarder;
    HWND menu = nullptr;
    const double start = NowMs();
    const bool shown = TimedStart(forwarder, forwarderLine, [&] {
                           return (menu = VisibleMenuOf(resident.Id())) != nullptr;
                       }).has_value();
    if (shown)
        PressKey(menu, VK_RETURN);
    const bool launched =
        shown && WaitUntil([&] { return WaitForSingleObject(ran, 0) == WAIT_OBJECT_0; },
                           waitLimitMs, pollMs);
    const double ms = NowMs() - start;
    const bool ended = forwarder.Handle() && forwarder.WaitForExit() != STILL_ACTIVE;
    forwarder.Terminate();
    if (!launched || !ended)
        return std::nullopt;
    return ms;
}

// The reference of a start: a program that returns at once, until it has ended.
std::optional<double> TrivialStart(const std::string& exe) {
    Process program;
    const std::optional<double> ms =
        TimedStart(program, Quoted(exe), [&] { return !program.Running(); });
    program.Terminate();
    return ms;
}

int ItemCountOf(HWND list) {
    DWORD_PTR count = 0;
    if (!SendMessageTimeoutA(list, LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, waitLimitMs, &count))
        return -1;
    return static_cast<int>(count);
}

// The main window opened from the tray: a resident started hidden by `commandLine` (its
// window titled `title`) gets the tray's double click, as the tray passes it on; milliseconds
// until its window is shown with `rows` rows in its list. The start is not timed.
std::optional<double> OpenMainWindow(const std::string& commandLine, const char* title, int rows) {
    Process resident;
    HWND dialog = nullptr;
    const bool idle = resident.Start(commandLine) &&
                      WaitUntil([&] { return (dialog = DialogOf(resident, title)) != nullptr; },
                                waitLimitMs, pollMs) &&
                      WaitForInputIdle(resident.Handle(), waitLimitMs) == 0 &&
                      !IsWindowVisible(dialog);
    HWND list = idle ? FindWindowExA(dialog, nullptr, "SysListView32", nullptr) : nullptr;
    std::optional<double> ms;
    if (list) {
        const double start = NowMs();
        PostMessageA(dialog, WM_TRAYNOTIFY, 0, WM_LBUTTONDBLCLK);
        if (WaitUntil([&] { return IsWindowVisible(dialog) && ItemCountOf(list) == rows; },
                      waitLimitMs, pollMs))
            ms = NowMs() - start;
    }
    const bool ended = End(resident, title);
    return ended ? ms : std::nullopt;
}

// Runs `figure` and `floor` `runs` times each, interleaved, the one or the other first in turn
// so that a drift of the machine weighs on both alike.
template <class Figure, class Floor>
void Interleave(const char* name, int runs, Figure figure, Floor floor) {
    std::fprintf(stderr, "  %-44s", name);
    const double start = NowMs();
    for (int run = 0; run < runs; ++run) {
        if (run % 2 == 0) {
            figure();
            floor();
        } else {
            floor();
            figure();
        }
    }
    std::fprintf(stderr, " %d runs each, %.1f s\n", runs, (NowMs() - start) / 1000);
}

// Adds `run()`'s value to `series` unless the series has failed too often already.
template <class Run> void AddRun(Series& series, Run run) {
    if (series.failures < maxFailures)
        series.Add(run());
}

// The list window of a resident Brindle, driven from this process as a user drives it: an
// action is pressed (a click posted, as the system posts a click, or a key), then timed until
// its effect shows and the window has answered a message: until the list answers. Moves and
// edits touch the last row but one, and each is undone by the next run of the same action.
constexpr const char* editorCaption = "メニュー詳細";
constexpr const char* deleteCaption = "削除確認";
constexpr const char* addedTitle = "Bench added";

struct ListWindow {
    const Process& resident;
    HWND dialog;
    HWND list;
    int rows;

    // The message's result, or −1 when the window did not answer in time.
    LRESULT Ask(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, waitLimitMs,
                                 &result))
            return -1;
        return static_cast<LRESULT>(result);
    }
    int Selected() const { return static_cast<int>(Ask(list, LVM_GETNEXTITEM, -1, LVNI_SELECTED)); }
    bool Answers() const { return Ask(dialog, WM_NULL) == 0; }

    // Milliseconds from `press` until `done` holds and the window answers.
    std::optional<double> Timed(const std::function<void()>& press,
                                const std::function<bool()>& done) const {
        const double start = NowMs();
        press();
        if (!WaitUntil([&] { return done() && Answers(); }, waitLimitMs, pollMs))
            return std::nullopt;
        return NowMs() - start;
    }
    void Key(UINT message, WPARAM key, LPARAM data) const {
        PostMessageA(list, message, key, data);
    }
    // Selects the last row but one with the keyboard, untimed; the window is in front with
    // the list focused, where typed keys reach it.
    bool SelectLastButOne() const {
        SetForegroundWindow(dialog);
        PostMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list), TRUE);
        Key(WM_KEYDOWN, VK_END, 1);
        Key(WM_KEYDOWN, VK_UP, 1);
        return WaitUntil([&] { return Selected() == rows - 2; }, waitLimitMs, pollMs);
    }
    // 上へ or 下へ clicked (`alt`: Alt+Up or Alt+Down typed in the list).
    std::optional<double> Move(int step, bool alt) const {
        const int from = Selected();
        return Timed(
            [&] {
                if (alt) // typed: the window reads Alt from the keyboard's state
                    TypeKey(step < 0 ? VK_UP : VK_DOWN, VK_MENU);
                else
                    PostCommand(dialog, step < 0 ? IDC_UP : IDC_DOWN);
            },
            [&] { return Selected() == from + step; });
    }
    // The window that `button` opens, titled `caption`; null when none came.
    HWND Open(int button, const char* caption) const {
        PostCommand(dialog, button);
        return WaitForWindow(resident.Id(), "#32770", caption);
    }
    std::string Field(HWND editor, int id) const {
        char text[512] = {};
        Ask(GetDlgItem(editor, id), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
        return text;
    }
    void SetField(HWND editor, int id, const std::string& text) const {
        Ask(GetDlgItem(editor, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    // OK pressed in `window` (the editor or the delete question): until it has closed and
    // the list answers.
    std::optional<double> Confirm(HWND window) const {
        return Timed([&] { PostCommand(window, IDOK); }, [&] { return !IsWindow(window); });
    }
    // The selected viewer's editor, its field `id` toggled between `text` and `text` + `more`,
    // then OK.
    std::optional<double> Edit(int id, const std::string& text, const char* more) const {
        HWND editor = Open(IDC_EDIT, editorCaption);
        if (!editor)
            return std::nullopt;
        SetField(editor, id, Field(editor, id) == text ? text + more : text);
        return Confirm(editor);
    }
    std::optional<double> Add() const {
        HWND editor = Open(IDC_ADD, editorCaption);
        if (!editor)
            return std::nullopt;
        SetField(editor, IDC_TITLE, addedTitle);
        SetField(editor, IDC_COMMAND, "added.exe");
        return Confirm(editor);
    }
    // Deletes the selected viewer (the one just added).
    std::optional<double> Delete() const {
        HWND question = Open(IDC_DELETE, deleteCaption);
        return question ? Confirm(question) : std::nullopt;
    }
};

// The list actions' figures, each with 3 viewers and with 1,000.
struct ListSeries {
    Series move, moveByKey, edit, rename, add, remove;
};

// Starts a resident without a file, shows its window as the tray's double click does, waits
// for `rows` rows and runs `runs` of each list action, filling `series`; false when the
// window never showed its rows.
bool TimeListActions(const std::string& brindle, const std::vector<Viewer>& viewers, int runs,
                     ListSeries& series) {
    if (!StoreViewers(viewers))
        return false;
    Process resident;
    HWND dialog = nullptr;
    const int rows = static_cast<int>(viewers.size());
    const bool started =
        resident.Start(Quoted(brindle)) &&
        WaitUntil([&] { return (dialog = DialogOf(resident, mainWindowTitle)) != nullptr; }) &&
        WaitForInputIdle(resident.Handle(), waitLimitMs) == 0;
    HWND list = started ? FindWindowExA(dialog, nullptr, "SysListView32", nullptr) : nullptr;
    if (list) {
        PostMessageA(dialog, WM_TRAYNOTIFY, 0, WM_LBUTTONDBLCLK);
        WaitUntil([&] { return IsWindowVisible(dialog) && ItemCountOf(list) == rows; });
    }
    const ListWindow window{resident, dialog, list, rows};
    const bool shown = list && ItemCountOf(list) == rows;
    const std::string title = viewers[static_cast<size_t>(rows - 2)].title;
    for (int run = 0; shown && run < runs; ++run) {
        const bool selected = window.SelectLastButOne();
        AddRun(series.move, [&] { return selected ? window.Move(-1, false) : std::nullopt; });
        AddRun(series.move, [&] { return selected ? window.Move(+1, false) : std::nullopt; });
        AddRun(series.moveByKey, [&] { return selected ? window.Move(-1, true) : std::nullopt; });
        AddRun(series.moveByKey, [&] { return selected ? window.Move(+1, true) : std::nullopt; });
        AddRun(series.edit, [&] {
            return selected ? window.Edit(IDC_PARAMETERS, viewerParameters, " /edited")
                            : std::nullopt;
        });
        AddRun(series.rename,
               [&] { return selected ? window.Edit(IDC_TITLE, title, " 改") : std::nullopt; });
        AddRun(series.add, [&] { return window.Add(); });
        AddRun(series.remove, [&] { return window.Delete(); });
    }
    End(resident, mainWindowTitle);
    return shown;
}

// The size of a file in KB; nullopt when it cannot be read.
std::optional<double> FileSizeKb(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return std::nullopt;
    return static_cast<double>(data.nFileSizeLow) / 1024.0;
}

// How many different programs the viewers of the icon figures use.
constexpr int iconProgramCount = 10;

// Copies of brindle.exe, which carries an icon, as the programs of the icon figures: each is
// a program of its own whose icon is loaded once. Empty when a copy cannot be made.
std::vector<std::string> IconPrograms(const std::string& folder, const std::string& brindle) {
    CreateDirectoryA(folder.c_str(), nullptr);
    std::vector<std::string> programs;
    for (int i = 0; i < iconProgramCount; ++i) {
        programs.push_back(folder + "\\viewer" + std::to_string(i) + ".exe");
        if (!CopyFileA(brindle.c_str(), programs.back().c_str(), FALSE))
            return {};
    }
    return programs;
}

void RemoveIconPrograms(const std::string& folder, const std::vector<std::string>& programs) {
    for (const std::string& program : programs)
        DeleteFileA(program.c_str());
    RemoveDirectoryA(folder.c_str());
}

// `count` viewers whose commands name the `programs` in turn, quoted, shuffled: with existing
// programs the menu shows their icons, with missing ones none.
std::vector<Viewer> ViewersOf(int count, const std::vector<std::string>& programs) {
    std::vector<Viewer> rows;
    for (int i = 0; i < count; ++i) {
        char title[32];
        std::snprintf(title, sizeof title, "ビューア %04d", i + 1);
        rows.push_back({title, Quoted(programs[static_cast<size_t>(i) % programs.size()]), ""});
    }
    std::shuffle(rows.begin(), rows.end(), std::mt19937(20240601));
    return rows;
}

// One line of the table: a figure of Brindle's against its floor.
struct Row {
    const char* figure;
    const char* unit;
    const Series* brindle;
    const Series* floor;
    const char* floorName;
    const char* aim;
};

// A median for the table.
std::string Cell(const Series& series, const char* unit) {
    if (series.values.empty())
        return "failed";
    char text[32];
    std::snprintf(text, sizeof text, "%.1f %s", series.Median(), unit);
    return text;
}

// The ratio of two values for the table; "-" when either is missing.
std::string Ratio(double brindle, double floor) {
    if (brindle <= 0 || floor <= 0)
        return "-";
    char text[16];
    std::snprintf(text, sizeof text, "%.2fx", brindle / floor);
    return text;
}

// The table: each figure's median against its floor's, their ratio, and the ratio of their
// least values (the runs that other work on the machine slowed the least).
void PrintTable(const std::vector<Row>& rows, int runs) {
    const char* format = "%-34s %14s %13s %7s %9s  %-32s %s\n";
    std::printf("\n");
    std::printf(format, "figure", "Brindle median", "floor median", "ratio", "min ratio", "floor",
                "aim");
    std::printf("%s\n", std::string(124, '-').c_str());
    for (const Row& row : rows)
        std::printf(format, row.figure, Cell(*row.brindle, row.unit).c_str(),
                    Cell(*row.floor, row.unit).c_str(),
                    Ratio(row.brindle->Median(), row.floor->Median()).c_str(),
                    Ratio(row.brindle->Quantile(0), row.floor->Quantile(0)).c_str(), row.floorName,
                    row.aim);
    std::printf("\nSpread: min / median / 90th percentile / max (runs done of %d, failed)\n", runs);
    std::vector<const Series*> shown;
    for (const Row& row : rows) {
        for (const auto& [side, series] :
             {std::pair{"Brindle", row.brindle}, std::pair{"floor  ", row.floor}}) {
            // A size has no spread, and a series that is the floor of two rows is shown once.
            if (series->values.size() + series->failures <= 1 ||
                std::find(shown.begin(), shown.end(), series) != shown.end())
                continue;
            shown.push_back(series);
            std::printf("  %-34s %s %9.1f / %9.1f / %9.1f / %9.1f %s  (%zu, %d)\n", row.figure,
                        side, series->Quantile(0), series->Median(), series->Quantile(0.9),
                        series->Quantile(1), row.unit, series->values.size(), series->failures);
        }
    }
}

// A reference: what a part of some figure costs on its own.
struct Reference {
    const char* what;
    const Series* series;
};

void PrintReferences(const std::vector<Reference>& references) {
    std::printf("\nReferences (median, min / max):\n");
    for (const Reference& reference : references) {
        if (reference.series->values.empty())
            std::printf("  %-62s failed\n", reference.what);
        else
            std::printf("  %-62s %7.1f ms (%.1f / %.1f)\n", reference.what,
                        reference.series->Median(), reference.series->Quantile(0),
                        reference.series->Quantile(1));
    }
}

// A footprint series of each kind, filled from the runs of one program.
struct FootprintSeries {
    Series workingSet, committedPrivate;

    void Add(const std::optional<ColdRun>& run) {
        workingSet.Add(run ? std::optional(run->idle.workingSetKb) : std::nullopt);
        committedPrivate.Add(run ? std::optional(run->idle.committedPrivateKb) : std::nullopt);
    }
};

} // namespace

int main(int argc, char** argv) {
    int runs = 21;
    std::string folder;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--runs") == 0)
            runs = std::max(1, std::atoi(argv[i + 1]));
        else if (std::strcmp(argv[i], "--programs") == 0)
            folder = WinePath(argv[i + 1]);
    }
    if (folder.empty()) {
        std::fprintf(stderr, "usage: brindle_bench --programs DIR [--runs N]\n");
        return 2;
    }
    if (FindWindowA("#32770", mainWindowTitle) || FindWindowA("#32770", floorWindowTitle)) {
        std::fprintf(stderr, "brindle_bench: a Brindle instance already runs; end it first\n");
        return 1;
    }
    std::fprintf(stderr, "brindle_bench: %d runs per figure\n", runs);
    const Programs programs(folder);
    const std::string brindleLine = Quoted(programs.brindle) + ' ' + mailFile;
    const std::string forwarderLine = Quoted(programs.forwarder) + ' ' + mailFile;
    const std::vector<Viewer> twoViewerList = Viewers(2);
    const std::vector<Viewer> manyViewerList = Viewers(manyViewers);
    bool stored = StoreViewers(twoViewerList);

    // Cold start to the menu and the idle memory, against the resident floor started with a
    // file. One untimed start of each first, so that no figure pays for a cold file cache.
    Series coldBrindle, coldFloor;
    FootprintSeries idleBrindle, idleFloor;
    const std::string floorColdLine = FloorResidentLine(programs, 2, 0, true);
    ColdStartToMenu(brindleLine, mainWindowTitle);
    ColdStartToMenu(floorColdLine, floorWindowTitle);
    Interleave(
        "cold start to menu, idle memory", runs,
        [&] {
            if (coldBrindle.failures >= maxFailures)
                return;
            const std::optional<ColdRun> run = ColdStartToMenu(brindleLine, mainWindowTitle);
            coldBrindle.Add(run ? std::optional(run->ms) : std::nullopt);
            idleBrindle.Add(run);
        },
        [&] {
            if (coldFloor.failures >= maxFailures)
                return;
            const std::optional<ColdRun> run = ColdStartToMenu(floorColdLine, floorWindowTitle);
            coldFloor.Add(run ? std::optional(run->ms) : std::nullopt);
            idleFloor.Add(run);
        });

    // The hand-offs: Brindle's resident instance and a floor resident, each started once by a
    // start with the file, its first menu dismissed; each figure's menu is then the
    // resident's second and later, its titles already read.
    Series handoffTwo, floorTwo, trivial, handoffMany, floorMany;
    Process resident, floorResident;
    bool residentsUp = StartResident(resident, brindleLine) &&
                       StartResident(floorResident, FloorResidentLine(programs, 2, 0, true));
    if (residentsUp) {
        Handoff(resident, brindleLine);
        Handoff(floorResident, forwarderLine);
        TrivialStart(programs.trivial);
        Interleave(
            "hand-off, 2 viewers", runs,
            [&] { AddRun(handoffTwo, [&] { return Handoff(resident, brindleLine); }); },
            [&] {
                AddRun(floorTwo, [&] { return Handoff(floorResident, forwarderLine); });
                AddRun(trivial, [&] { return TrivialStart(programs.trivial); });
            });

        // 1,000 viewers: the resident reads them once after the store changed (the warm-up
        // hand-offs, once the store's change has reached it), and the floor resident is
        // started anew with a menu of 1,000 items.
        stored = StoreViewers(manyViewerList) && stored;
        Sleep(settleMs);
        SyncWith(DialogOf(resident, mainWindowTitle));
        End(floorResident, floorWindowTitle);
        residentsUp =
            StartResident(floorResident, FloorResidentLine(programs, manyViewers, 0, true)) &&
            Handoff(resident, brindleLine) && Handoff(resident, brindleLine) &&
            Handoff(floorResident, forwarderLine);
    }
    if (residentsUp) {
        Interleave(
            "hand-off, 1,000 viewers", runs,
            [&] { AddRun(handoffMany, [&] { return Handoff(resident, brindleLine); }); },
            [&] { AddRun(floorMany, [&] { return Handoff(floorResident, forwarderLine); }); });
    } else {
        std::fprintf(stderr, "brindle_bench: a resident did not show its first menu\n");
    }

    // The menu with the programs' icons: viewers of 10 different programs that exist, against
    // the same viewers of 10 programs that do not (no icons). The store is rewritten before each
    // run (untimed), so the run's first hand-off reads the viewers and loads the icons anew;
    // its second finds them in the resident instance's cache.
    char temp[MAX_PATH] = {};
    const std::string iconFolder =
        GetTempPathA(sizeof temp, temp) ? std::string(temp) + "brindle-bench-viewers" : "";
    const std::vector<std::string> iconPrograms = IconPrograms(iconFolder, programs.brindle);
    std::vector<std::string> missingPrograms;
    for (int i = 0; i < iconProgramCount; ++i)
        missingPrograms.push_back("C:\\Viewers\\Missing" + std::to_string(i) + "\\view.exe");
    struct IconSeries {
        Series first, warm;
    };
    IconSeries icons10, plain10, iconsMany, plainMany;
    if (residentsUp && !iconPrograms.empty()) {
        auto firstAndWarm = [&](IconSeries& series, const std::vector<Viewer>& rows) {
            if (series.first.failures >= maxFailures || series.warm.failures >= maxFailures)
                return;
            stored = StoreViewers(rows) && stored;
            series.first.Add(Handoff(resident, brindleLine));
            series.warm.Add(Handoff(resident, brindleLine));
        };
        for (const auto& [name, count, withIcons, without] :
             {std::tuple{"hand-offs with icons, 10 viewers", 10, &icons10, &plain10},
              std::tuple{"hand-offs with icons, 1,000 viewers", manyViewers, &iconsMany,
                         &plainMany}}) {
            const std::vector<Viewer> iconRows = ViewersOf(count, iconPrograms);
            const std::vector<Viewer> plainRows = ViewersOf(count, missingPrograms);
            Interleave(
                name, runs, [&] { firstAndWarm(*withIcons, iconRows); },
                [&] { firstAndWarm(*without, plainRows); });
        }
    } else {
        std::fprintf(stderr, "brindle_bench: no resident instance or no icon programs\n");
        for (IconSeries* series : {&icons10, &plain10, &iconsMany, &plainMany})
            series->first.failures = series->warm.failures = 1;
    }
    RemoveIconPrograms(iconFolder, iconPrograms);
    End(resident, mainWindowTitle);
    End(floorResident, floorWindowTitle);
    for (Series* series : {&handoffTwo, &floorTwo, &trivial, &handoffMany, &floorMany})
        if (series->values.empty())
            series->failures = std::max(series->failures, 1);

    // The main window opened from the tray with 1,000 viewers, against the floor resident's
    // window that reads the same 1,000 viewers from the store into a list of its own rows. Each
    // run starts a resident (untimed): the list is read when the window is first shown.
    Series openBrindle, openFloor;
    stored = StoreViewers(manyViewerList) && stored;
    const std::string brindleHiddenLine = Quoted(programs.brindle);
    const std::string floorHiddenLine = Quoted(programs.resident) + " 0 store";
    Interleave(
        "main window, 1,000 viewers", runs,
        [&] {
            AddRun(openBrindle,
                   [&] { return OpenMainWindow(brindleHiddenLine, mainWindowTitle, manyViewers); });
        },
        [&] {
            AddRun(openFloor,
                   [&] { return OpenMainWindow(floorHiddenLine, floorWindowTitle, manyViewers); });
        });

    // Enter on the remembered viewer as soon as the menu shows, at place 501 of 1,000, against
    // Enter on the remembered first one: the highlight's cost does not grow with its place.
    // Before each run (untimed) the viewer to remember is stored and a hand-off (dismissed)
    // lets the resident read it.
    Series enterMiddle, enterFirst;
    const UniqueKernelHandle ran(CreateEventA(nullptr, TRUE, FALSE, viewerRanEventName));
    std::vector<Viewer> launchViewers = Viewers(manyViewers);
    for (Viewer& viewer : launchViewers) {
        viewer.command = Quoted(programs.viewer);
        viewer.parameters.clear();
    }
    stored = StoreViewers(launchViewers) && stored;
    Process launcher;
    if (ran && StartResident(launcher, brindleLine)) {
        const auto rememberedRun = [&](Series& series, const std::string& title) {
            AddRun(series, [&]() -> std::optional<double> {
                if (!WriteValue(SettingsPath(), lastChoiceValueName, REG_SZ, title) ||
                    !Handoff(launcher, brindleLine))
                    return std::nullopt;
                return LaunchByEnter(launcher, brindleLine, ran.Get());
            });
        };
        Interleave(
            "Enter on the remembered viewer, 1,000", runs,
            [&] { rememberedRun(enterMiddle, launchViewers[manyViewers / 2].title); },
            [&] { rememberedRun(enterFirst, launchViewers[0].title); });
    } else {
        enterMiddle.failures = enterFirst.failures = 1;
    }
    End(launcher, mainWindowTitle);

    // The list window's actions end to end, with 1,000 viewers against the same with 3: a
    // resident of each in turn, in two halves, so that a drift of the machine weighs on both.
    ListSeries actionsMany, actionsFew;
    std::fprintf(stderr, "  %-44s", "list actions, 1,000 viewers against 3");
    const double actionsStart = NowMs();
    const std::vector<Viewer> fewViewerList = Viewers(fewViewers);
    for (int half = 0; half < 2; ++half) {
        const int halfRuns = (runs + 1 - half) / 2;
        stored = TimeListActions(programs.brindle, fewViewerList, halfRuns, actionsFew) && stored;
        stored = TimeListActions(programs.brindle, manyViewerList, halfRuns, actionsMany) && stored;
    }
    std::fprintf(stderr, " %d runs each, %.1f s\n", runs, (NowMs() - actionsStart) / 1000);

    // The executables as shipped: stripped, built with the same flags.
    Series sizeBrindle, sizeFloor;
    sizeBrindle.Add(FileSizeKb(programs.brindle));
    sizeFloor.Add(FileSizeKb(programs.resident));

    PrintTable(
        {
            {"hand-off, 2 viewers", "ms", &handoffTwo, &floorTwo, "forwarder floor, 2-item menu",
             "<= 1.10x"},
            {"hand-off, 1,000 viewers", "ms", &handoffMany, &floorMany,
             "forwarder floor, 1,000-item menu", "<= 1.10x"},
            {"cold start to menu", "ms", &coldBrindle, &coldFloor, "resident floor to its menu",
             "<= 1.10x"},
            {"idle committed private memory", "KB", &idleBrindle.committedPrivate,
             &idleFloor.committedPrivate, "resident floor idle", "<= 1.05x"},
            {"idle working set", "KB", &idleBrindle.workingSet, &idleFloor.workingSet,
             "resident floor idle", "<= 1.05x"},
            {"main window, 1,000 viewers", "ms", &openBrindle, &openFloor,
             "floor reading the store, owner data", "<= 1.10x"},
            {"Enter on remembered #501 of 1,000", "ms", &enterMiddle, &enterFirst,
             "the same on the first", "<= 1.10x"},
            {"up/down buttons, 1,000 viewers", "ms", &actionsMany.move, &actionsFew.move,
             "the same, 3 viewers", "<= 3x"},
            {"Alt+Up/Alt+Down, 1,000 viewers", "ms", &actionsMany.moveByKey, &actionsFew.moveByKey,
             "the same, 3 viewers", "<= 3x"},
            {"edit in place, 1,000 viewers", "ms", &actionsMany.edit, &actionsFew.edit,
             "the same, 3 viewers", "<= 3x"},
            {"rename, 1,000 viewers", "ms", &actionsMany.rename, &actionsFew.rename,
             "the same, 3 viewers", "<= 3x"},
            {"add, 1,000 viewers", "ms", &actionsMany.add, &actionsFew.add, "the same, 3 viewers",
             "<= 3x"},
            {"delete, 1,000 viewers", "ms", &actionsMany.remove, &actionsFew.remove,
             "the same, 3 viewers", "<= 3x"},
            {"first hand-off, icons, 10 viewers", "ms", &icons10.first, &plain10.first,
             "the same without icons", ""},
            {"warm hand-off, icons, 10 viewers", "ms", &icons10.warm, &plain10.warm,
             "the same without icons", ""},
            {"first hand-off, icons, 1,000 viewers", "ms", &iconsMany.first, &plainMany.first,
             "the same without icons", ""},
            {"warm hand-off, icons, 1,000 viewers", "ms", &iconsMany.warm, &plainMany.warm,
             "the same without icons", ""},
            {"brindle.exe size, stripped", "KB", &sizeBrindle, &sizeFloor,
             "resident floor, stripped", ""},
        },
        runs);
    PrintReferences({
        {"a start of a program that imports user32 and returns at once", &trivial},
    });

    int failures = 0;
    for (const Series* series :
         {&coldBrindle, &coldFloor, &handoffTwo, &floorTwo, &trivial, &handoffMany, &floorMany,
          &openBrindle, &openFloor, &enterMiddle, &enterFirst, &icons10.first, &icons10.warm,
          &plain10.first, &plain10.warm, &iconsMany.first, &iconsMany.warm, &plainMany.first,
          &plainMany.warm})
        failures += series->failures;
    for (const ListSeries* actions : {&actionsMany, &actionsFew})
        for (const Series* series : {&actions->move, &actions->moveByKey, &actions->edit,
                                     &actions->rename, &actions->add, &actions->remove})
            failures += series->failures;
    if (!stored)
        std::printf("\nbrindle_bench: a save of the viewers to the registry failed\n");
    if (failures > 0)
        std::printf("\nbrindle_bench: %d run(s) failed (a deadline of %lu ms passed)\n", failures,
                    static_cast<unsigned long>(waitLimitMs));
    return failures == 0 && stored && residentsUp ? 0 : 1;
}
