// The hands of DistTest.sh inside the Wine prefix where the unpacked brindle.exe runs: a
// program of that prefix sees Brindle's windows, which the shell script cannot.
//   dist_test_helper pick INDEX   waits for an open pop-up menu, picks item INDEX (from 0) by
//                                 keyboard and waits for the menu to close
//   dist_test_helper end          cancels Brindle's main dialog, which ends Brindle
// Every wait has a deadline; the exit code is 0 on success, 1 on failure (with a message on
// stderr), 2 on wrong usage.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "instance/Identity.h"
#include "support/Wait.h"
#include "support/Window.h"

using namespace testsupport;

namespace {

// The deadline of each wait (DistTest.sh allows the helper a minute).
const DWORD distWaitLimitMs = Scaled(20000);

int Pick(int index) {
    if (!WaitUntil([] { return VisibleMenuOf(0) != nullptr; }, distWaitLimitMs)) {
        std::fprintf(stderr, "dist_test_helper: no pop-up menu opened\n");
        return 1;
    }
    if (!PickMenusUntil(
            0, index, [] { return VisibleMenuOf(0) == nullptr; }, distWaitLimitMs)) {
        std::fprintf(stderr, "dist_test_helper: the pop-up menu did not close\n");
        return 1;
    }
    return 0;
}

int End() {
    HWND dialog = nullptr;
    if (!WaitUntil(
            [&] { return (dialog = FindWindowOf(0, "#32770", mainWindowTitle, false)) != nullptr; },
            distWaitLimitMs)) {
        std::fprintf(stderr, "dist_test_helper: no window \"%s\"\n", mainWindowTitle);
        return 1;
    }
    PostCommand(dialog, IDCANCEL);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "pick") == 0)
        return Pick(std::atoi(argv[2]));
    if (argc == 2 && std::strcmp(argv[1], "end") == 0)
        return End();
    std::fprintf(stderr, "usage: dist_test_helper pick INDEX | end\n");
    return 2;
}
