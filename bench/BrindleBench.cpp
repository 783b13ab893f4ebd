// Brindle's benchmarks, run under Wine: the hand-off to a resident instance (with 2 and with
// 1,000 viewers configured, and the first and a warm one with the programs' icons in the menu),
// a cold start to the menu, the save of a move, the idle resident's memory and the size of
// brindle.exe. Each figure is set against a baseline measured in the
// same run, its runs interleaved with the figure's. The figures are printed, never checked: the
// exit code says only whether every run completed.
//   brindle_bench.exe [--runs N] [--stripped-dir DIR]
// DIR holds stripped copies of brindle.exe and of the minimal dialog program (made by
// run-bench.sh); without it their sizes are not reported.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <tuple>
#include <utility>

#include "BenchSupport.h"
#include "instance/Identity.h"
#include "store/ViewerStore.h"
#include "support/Process.h"
#include "support/Registry.h"
#include "support/Wait.h"
#include "support/Window.h"

namespace {

using bench::NowMs;
using bench::Series;
using namespace testsupport;

const std::string brindleExe = WinePath(BRINDLE_EXE);
const std::string trivialExe = WinePath(TRIVIAL_EXE);
const std::string trivialUser32Exe = WinePath(TRIVIAL_USER32_EXE);
const std::string minimalDialogExe = WinePath(MINIMAL_DIALOG_EXE);

// Every timed wait polls about once a millisecond, so that a figure and its baseline are read
// with the same granularity.
constexpr DWORD pollMs = 1;

// The mail file the client hands over; Brindle never opens it, so it need not exist.
constexpr const char* mailFile = "C:\\mail\\1.txt";
constexpr const char* minimalDialogTitle = "Bench Minimal Dialog";
// How long an instance idles before its memory is read.
constexpr DWORD settleMs = 300;
// A series stops after this many failed runs: each has already waited out a deadline.
constexpr int maxFailures = 3;
constexpr int largeViewerCount = 1000;

std::string Quoted(const std::string& path) {
    return '"' + path + '"';
}

std::string MailClientLine() {
    return Quoted(brindleExe) + ' ' + mailFile;
}

// `count` viewers: the two of a typical user, or generated ones, Japanese titles in an order
// that is not the registry's (sorted) one, as a user's own order would be.
std::vector<ViewerEntry> Viewers(int count) {
    if (count == 2)
        return {{"メモ帳", "notepad.exe", ""},
                {"ワードパッド", "C:\\windows\\system32\\write.exe", ""}};
    std::vector<ViewerEntry> rows;
    for (int i = 1; i <= count; ++i) {
        char number[16];
        std::snprintf(number, sizeof number, "%04d", i);
        rows.push_back({std::string("ビューア ") + number,
                        std::string("C:\\Viewers\\Viewer") + number + "\\view.exe", "/mail"});
    }
    std::shuffle(rows.begin(), rows.end(), std::mt19937(20240601));
    return rows;
}

// How many different programs the viewers of the icon figures use.
constexpr int iconProgramCount = 10;

// Copies of brindle.exe, which carries an icon, as the programs of the icon figures: each is
// a program of its own whose icon is loaded once. Empty when a copy cannot be made.
std::vector<std::string> IconPrograms(const std::string& folder) {
    CreateDirectoryA(folder.c_str(), nullptr);
    std::vector<std::string> programs;
    for (int i = 0; i < iconProgramCount; ++i) {
        programs.push_back(folder + "\\viewer" + std::to_string(i) + ".exe");
        if (!CopyFileA(brindleExe.c_str(), programs.back().c_str(), FALSE))
            return {};
    }
    return programs;
}

void RemoveIconPrograms(const std::string& folder, const std::vector<std::string>& programs) {
    for (const std::string& program : programs)
        DeleteFileA(program.c_str());
    RemoveDirectoryA(folder.c_str());
}

// `count` viewers whose commands name the `programs` in turn, quoted, in the shuffled order of
// Viewers: with existing programs the menu shows their icons, with missing ones none.
std::vector<ViewerEntry> ViewersOf(int count, const std::vector<std::string>& programs) {
    std::vector<ViewerEntry> rows;
    for (int i = 0; i < count; ++i) {
        char title[32];
        std::snprintf(title, sizeof title, "ビューア %04d", i + 1);
        rows.push_back({title, Quoted(programs[static_cast<size_t>(i) % programs.size()]), ""});
    }
    std::shuffle(rows.begin(), rows.end(), std::mt19937(20240601));
    return rows;
}

// Dismisses `processId`'s open menu as the user's Escape does, and waits until it has closed.
bool DismissMenuOf(DWORD processId, HWND menu) {
    DismissMenu(menu);
    return WaitUntil([&] { return VisibleMenuOf(processId) == nullptr; }, waitLimitMs, pollMs);
}

// Asks a program to end by cancelling its dialog `dialog` (for Brindle, whose menu is closed,
// its main dialog: as its tray menu's 終了 does); one that does not end in time is terminated.
bool EndThrough(const Process& program, HWND dialog) {
    if (dialog)
        PostCommand(dialog, IDCANCEL);
    if (dialog && program.WaitForExit() != STILL_ACTIVE)
        return true;
    program.Terminate();
    return false;
}

bool EndBrindle(const Process& brindle) {
    return EndThrough(brindle, FindWindowOf(brindle.Id(), "#32770", mainWindowTitle, false));
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

// A start of Brindle with a file and no resident instance: milliseconds until its menu is
// open. The menu is dismissed, and after a settle the idle instance's memory is read.
struct ColdRun {
    double ms;
    bench::Footprint idle;
};

std::optional<ColdRun> ColdStartToMenu() {
    Process brindle;
    HWND menu = nullptr;
    const std::optional<double> ms = TimedStart(
        brindle, MailClientLine(), [&] { return (menu = VisibleMenuOf(brindle.Id())) != nullptr; });
    if (!brindle.Handle())
        return std::nullopt; // not started
    const bool dismissed = ms && DismissMenuOf(brindle.Id(), menu);
    Sleep(settleMs);
    const std::optional<bench::Footprint> idle = bench::FootprintOf(brindle.Handle());
    const bool ended = EndBrindle(brindle);
    if (!dismissed || !idle || !ended)
        return std::nullopt;
    return ColdRun{*ms, *idle};
}

// The baseline of a cold start: the minimal dialog program until its dialog is visible; its
// memory after the same settle.
std::optional<ColdRun> MinimalDialogStart() {
    Process program;
    HWND dialog = nullptr;
    const std::optional<double> ms = TimedStart(program, Quoted(minimalDialogExe), [&] {
        return (dialog = FindWindowOf(program.Id(), "#32770", minimalDialogTitle, true)) != nullptr;
    });
    if (!program.Handle())
        return std::nullopt; // not started
    Sleep(settleMs);
    const std::optional<bench::Footprint> idle = bench::FootprintOf(program.Handle());
    const bool ended = EndThrough(program, dialog);
    if (!ms || !idle || !ended)
        return std::nullopt;
    return ColdRun{*ms, *idle};
}

// A hand-off: the mail client starts brindle.exe with a file while `resident` runs;
// milliseconds until the resident instance's menu is open. The menu is dismissed and the
// forwarding start (which waits for the menu) has ended before this returns.
std::optional<double> Handoff(const Process& resident) {
    Process forwarder;
    HWND menu = nullptr;
    const std::optional<double> ms = TimedStart(forwarder, MailClientLine(), [&] {
        return (menu = VisibleMenuOf(resident.Id())) != nullptr;
    });
    const bool dismissed = ms && DismissMenuOf(resident.Id(), menu);
    const bool ended = forwarder.WaitForExit() != STILL_ACTIVE;
    forwarder.Terminate();
    if (!dismissed || !ended)
        return std::nullopt;
    return ms;
}

// The baseline of a hand-off: the same client starts a program that returns at once;
// milliseconds until it has ended.
std::optional<double> TrivialStart(const std::string& exe) {
    Process program;
    const std::optional<double> ms =
        TimedStart(program, Quoted(exe), [&] { return !program.Running(); });
    program.Terminate();
    return ms;
}

// A move in the list of `rows`, stored under `product`: rows `first` and `first + 1` swap
// places and the whole list is saved, as the main dialog's move buttons do; milliseconds of
// the save.
std::optional<double> TimedMove(std::vector<ViewerEntry>& rows, size_t first, const char* product) {
    std::swap(rows[first], rows[first + 1]);
    const double start = NowMs();
    const bool saved = StoreViewers(rows, product);
    const double elapsed = NowMs() - start;
    if (!saved)
        return std::nullopt;
    return elapsed;
}

// Runs `figure` and `baseline` `runs` times each, interleaved, the one or the other first in
// turn so that a drift of the machine weighs on both alike. (Each skips its runs once its
// series has failed too often.)
template <class Figure, class Baseline>
void Interleave(const char* name, int runs, Figure figure, Baseline baseline) {
    std::fprintf(stderr, "  %-44s", name);
    const double start = NowMs();
    for (int run = 0; run < runs; ++run) {
        if (run % 2 == 0) {
            figure();
            baseline();
        } else {
            baseline();
            figure();
        }
    }
    std::fprintf(stderr, " %d runs each, %.1f s\n", runs, (NowMs() - start) / 1000);
}

bool TooManyFailures(const Series& series) {
    return series.failures >= maxFailures;
}

// The size of a file in KB; nullopt when it cannot be read.
std::optional<double> FileSizeKb(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return std::nullopt;
    return static_cast<double>(data.nFileSizeLow) / 1024.0;
}

std::string BaseName(const std::string& path) {
    return path.substr(path.find_last_of('\\') + 1);
}

// One line of the table: a figure of Brindle's against its baseline.
struct Row {
    const char* figure;
    const char* unit;
    const Series* brindle;
    const Series* baseline;
    const char* baselineName;
    const char* aim;
};

// A median for the table; "n/a" when every run read 0 (a counter the system does not keep).
std::string Cell(const Series& series, const char* unit) {
    if (series.values.empty())
        return "failed";
    if (series.Quantile(1) == 0)
        return "n/a";
    char text[32];
    std::snprintf(text, sizeof text, "%.1f %s", series.Median(), unit);
    return text;
}

void PrintTable(const std::vector<Row>& rows, int runs) {
    const char* format = "%-34s %15s %15s %7s  %-26s %s\n";
    std::printf("\n");
    std::printf(format, "figure", "Brindle median", "baseline median", "ratio", "baseline", "aim");
    std::printf("%s\n", std::string(112, '-').c_str());
    for (const Row& row : rows) {
        char ratio[16] = "-";
        if (row.brindle->Median() > 0 && row.baseline->Median() > 0)
            std::snprintf(ratio, sizeof ratio, "%.2fx",
                          row.brindle->Median() / row.baseline->Median());
        std::printf(format, row.figure, Cell(*row.brindle, row.unit).c_str(),
                    Cell(*row.baseline, row.unit).c_str(), ratio, row.baselineName, row.aim);
    }
    std::printf("\nSpread: min / median / 90th percentile / max (runs done of %d, failed)\n", runs);
    std::vector<const Series*> shown;
    for (const Row& row : rows) {
        for (const auto& [side, series] :
             {std::pair{"Brindle ", row.brindle}, std::pair{"baseline", row.baseline}}) {
            // A size has no spread, a counter that reads 0 has nothing to show, and a series
            // that is the figure of two rows is shown once.
            if (series->values.size() + series->failures <= 1 || series->Quantile(1) == 0 ||
                std::find(shown.begin(), shown.end(), series) != shown.end())
                continue;
            shown.push_back(series);
            std::printf("  %-34s %s %9.1f / %9.1f / %9.1f / %9.1f %s  (%zu, %d)\n", row.figure,
                        side, series->Quantile(0), series->Median(), series->Quantile(0.9),
                        series->Quantile(1), row.unit, series->values.size(), series->failures);
        }
    }
}

// A footprint series of each kind, filled from the runs of one program.
struct FootprintSeries {
    Series privateBytes, workingSet, committedPrivate;

    void Add(const std::optional<ColdRun>& run) {
        privateBytes.Add(run ? std::optional(run->idle.privateKb) : std::nullopt);
        workingSet.Add(run ? std::optional(run->idle.workingSetKb) : std::nullopt);
        committedPrivate.Add(run ? std::optional(run->idle.committedPrivateKb) : std::nullopt);
    }
};

} // namespace

int main(int argc, char** argv) {
    int runs = 21;
    std::string strippedDir;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--runs") == 0)
            runs = std::max(1, std::atoi(argv[i + 1]));
        else if (std::strcmp(argv[i], "--stripped-dir") == 0)
            strippedDir = WinePath(argv[i + 1]);
    }
    if (FindWindowA("#32770", mainWindowTitle)) {
        std::fprintf(stderr, "brindle_bench: a Brindle instance already runs; end it first\n");
        return 1;
    }
    std::fprintf(stderr, "brindle_bench: %d runs per figure\n", runs);

    const std::vector<ViewerEntry> twoViewers = Viewers(2);
    const std::vector<ViewerEntry> manyViewers = Viewers(largeViewerCount);
    bool stored = StoreViewers(twoViewers);

    // Cold start to the menu and the idle footprint, against the minimal dialog program. One
    // untimed start of each first, so that no figure pays for a cold file cache.
    Series coldBrindle, coldDialog;
    FootprintSeries idleBrindle, idleDialog;
    ColdStartToMenu();
    MinimalDialogStart();
    Interleave(
        "cold start to menu, idle footprint", runs,
        [&] {
            if (TooManyFailures(coldBrindle))
                return;
            const std::optional<ColdRun> run = ColdStartToMenu();
            coldBrindle.Add(run ? std::optional(run->ms) : std::nullopt);
            idleBrindle.Add(run);
        },
        [&] {
            if (TooManyFailures(coldDialog))
                return;
            const std::optional<ColdRun> run = MinimalDialogStart();
            coldDialog.Add(run ? std::optional(run->ms) : std::nullopt);
            idleDialog.Add(run);
        });

    // The resident instance of the hand-offs: started once, by a mail client's start, its
    // first menu dismissed.
    Series handoff, trivial, trivialUser32, handoffMany, handoffTwo;
    Process resident;
    HWND firstMenu = nullptr;
    const bool residentUp =
        TimedStart(resident, MailClientLine(),
                   [&] { return (firstMenu = VisibleMenuOf(resident.Id())) != nullptr; }) &&
        DismissMenuOf(resident.Id(), firstMenu);
    if (residentUp) {
        Handoff(resident);
        TrivialStart(trivialExe);
        TrivialStart(trivialUser32Exe);
        Interleave(
            "hand-off, 2 viewers", runs,
            [&] {
                if (!TooManyFailures(handoff))
                    handoff.Add(Handoff(resident));
            },
            [&] {
                if (!TooManyFailures(trivial))
                    trivial.Add(TrivialStart(trivialExe));
                if (!TooManyFailures(trivialUser32))
                    trivialUser32.Add(TrivialStart(trivialUser32Exe));
            });
        // The store is rewritten before each run (untimed): the resident instance reads it
        // anew for every menu.
        Interleave(
            "hand-off, 1,000 viewers against 2", runs,
            [&] {
                if (TooManyFailures(handoffMany))
                    return;
                stored = StoreViewers(manyViewers) && stored;
                handoffMany.Add(Handoff(resident));
            },
            [&] {
                if (TooManyFailures(handoffTwo))
                    return;
                stored = StoreViewers(twoViewers) && stored;
                handoffTwo.Add(Handoff(resident));
            });
    } else {
        std::fprintf(stderr, "brindle_bench: the resident instance did not show its menu\n");
        for (Series* series : {&handoff, &trivial, &trivialUser32, &handoffMany, &handoffTwo})
            series->failures = 1;
    }

    // The menu with the programs' icons: viewers of 10 different programs that exist, against
    // the same viewers of 10 programs that do not (no icons). The store is rewritten before each
    // run (untimed), so the run's first hand-off reads the viewers and loads the icons anew;
    // its second finds them in the resident instance's cache.
    char temp[MAX_PATH] = {};
    const std::string iconFolder =
        GetTempPathA(sizeof temp, temp) ? std::string(temp) + "brindle-bench-viewers" : "";
    const std::vector<std::string> iconPrograms = IconPrograms(iconFolder);
    std::vector<std::string> missingPrograms;
    for (int i = 0; i < iconProgramCount; ++i)
        missingPrograms.push_back("C:\\Viewers\\Missing" + std::to_string(i) + "\\view.exe");
    struct IconSeries {
        Series first, warm;
    };
    IconSeries icons10, plain10, iconsMany, plainMany;
    if (residentUp && !iconPrograms.empty()) {
        auto firstAndWarm = [&](IconSeries& series, const std::vector<ViewerEntry>& rows) {
            if (TooManyFailures(series.first) || TooManyFailures(series.warm))
                return;
            stored = StoreViewers(rows) && stored;
            series.first.Add(Handoff(resident));
            series.warm.Add(Handoff(resident));
        };
        for (const auto& [name, count, withIcons, without] :
             {std::tuple{"hand-offs with icons, 10 viewers", 10, &icons10, &plain10},
              std::tuple{"hand-offs with icons, 1,000 viewers", largeViewerCount, &iconsMany,
                         &plainMany}}) {
            const std::vector<ViewerEntry> iconRows = ViewersOf(count, iconPrograms);
            const std::vector<ViewerEntry> plainRows = ViewersOf(count, missingPrograms);
            Interleave(
                name, runs, [&] { firstAndWarm(*withIcons, iconRows); },
                [&] { firstAndWarm(*without, plainRows); });
        }
    } else {
        std::fprintf(stderr, "brindle_bench: no resident instance or no icon programs\n");
        for (IconSeries* series : {&icons10, &plain10, &iconsMany, &plainMany})
            series->first.failures = series->warm.failures = 1;
    }
    EndBrindle(resident);
    RemoveIconPrograms(iconFolder, iconPrograms);
    stored = StoreViewers(twoViewers) && stored;

    // A move's save, in-process: two adjacent rows swap (and swap back on the next run). The
    // 2-row list is kept under a key of its own, so that neither list is rewritten between
    // runs.
    constexpr const char* smallListProduct = "Brindle Bench";
    Series moveMany, moveTwo;
    std::vector<ViewerEntry> manyRows = manyViewers;
    std::vector<ViewerEntry> twoRows = twoViewers;
    stored = StoreViewers(manyRows) && StoreViewers(twoRows, smallListProduct) && stored;
    Interleave(
        "move: SaveViewers, 1,000 rows against 2", runs,
        [&] { moveMany.Add(TimedMove(manyRows, manyRows.size() / 2, settingsProduct)); },
        [&] { moveTwo.Add(TimedMove(twoRows, 0, smallListProduct)); });
    stored = StoreViewers(twoViewers) && stored;

    // The executable's size, against the minimal dialog program built with the same flags.
    Series sizeBrindle, sizeDialog, strippedBrindle, strippedDialog;
    sizeBrindle.Add(FileSizeKb(brindleExe));
    sizeDialog.Add(FileSizeKb(minimalDialogExe));
    if (!strippedDir.empty()) {
        strippedBrindle.Add(FileSizeKb(strippedDir + '\\' + BaseName(brindleExe)));
        strippedDialog.Add(FileSizeKb(strippedDir + '\\' + BaseName(minimalDialogExe)));
    }

    PrintTable(
        {
            {"hand-off to resident, 2 viewers", "ms", &handoff, &trivial, "trivial program start",
             "<= 1.50x"},
            {"  (the same)", "ms", &handoff, &trivialUser32, "trivial start, user32", ""},
            {"cold start to menu", "ms", &coldBrindle, &coldDialog, "minimal dialog shown", ""},
            {"hand-off, 1,000 viewers", "ms", &handoffMany, &handoffTwo, "hand-off, 2 viewers", ""},
            {"first hand-off, icons, 10 viewers", "ms", &icons10.first, &plain10.first,
             "the same without icons", ""},
            {"warm hand-off, icons, 10 viewers", "ms", &icons10.warm, &plain10.warm,
             "the same without icons", ""},
            {"first hand-off, icons, 1,000 viewers", "ms", &iconsMany.first, &plainMany.first,
             "the same without icons", ""},
            {"warm hand-off, icons, 1,000 viewers", "ms", &iconsMany.warm, &plainMany.warm,
             "the same without icons", ""},
            {"move (SaveViewers), 1,000 rows", "ms", &moveMany, &moveTwo, "the same, 2 rows", ""},
            {"idle private bytes (PrivateUsage)", "KB", &idleBrindle.privateBytes,
             &idleDialog.privateBytes, "minimal dialog idle", "<= 1.25x"},
            {"idle committed private memory", "KB", &idleBrindle.committedPrivate,
             &idleDialog.committedPrivate, "minimal dialog idle", "<= 1.25x"},
            {"idle working set", "KB", &idleBrindle.workingSet, &idleDialog.workingSet,
             "minimal dialog idle", "<= 1.25x"},
            {"brindle.exe size", "KB", &sizeBrindle, &sizeDialog, "minimal dialog program", ""},
            {"brindle.exe size, stripped", "KB", &strippedBrindle, &strippedDialog,
             "minimal dialog program", "<= 150 KB"},
        },
        runs);

    int failures = 0;
    for (const Series* series :
         {&coldBrindle, &coldDialog, &handoff, &trivial, &trivialUser32, &handoffMany, &handoffTwo,
          &icons10.first, &icons10.warm, &plain10.first, &plain10.warm, &iconsMany.first,
          &iconsMany.warm, &plainMany.first, &plainMany.warm, &moveMany, &moveTwo})
        failures += series->failures;
    if (!stored)
        std::printf("\nbrindle_bench: a save of the viewers to the registry failed\n");
    if (failures > 0)
        std::printf("\nbrindle_bench: %d run(s) failed (a deadline of %lu ms passed)\n", failures,
                    static_cast<unsigned long>(waitLimitMs));
    return failures == 0 && stored && residentUp ? 0 : 1;
}
