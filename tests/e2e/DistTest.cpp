// The hands of DistTest.sh inside the Wine prefix where the unpacked brindle.exe runs: a
// program of that prefix sees Brindle's windows, which the shell script cannot.
//   dist_test_helper pick INDEX   waits for an open pop-up menu, picks item INDEX (from 0) by
//                                 keyboard and waits for the menu to close
//   dist_test_helper end          cancels the main dialog "Brindle Launcher", which ends Brindle
// Every wait has a deadline; the exit code is 0 on success, 1 on failure (with a message on
// stderr), 2 on wrong usage.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

namespace {

constexpr DWORD waitLimitMs = 20000;

bool WaitUntil(const std::function<bool()>& done) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start >= waitLimitMs)
            return false;
        Sleep(20);
    }
    return true;
}

HWND OpenMenu() {
    HWND menu = FindWindowA("#32768", nullptr);
    return menu && IsWindowVisible(menu) ? menu : nullptr;
}

// A key typed into a tracked menu; the menu's loop takes keys posted to its window.
void PressKey(HWND menu, WORD key) {
    PostMessageA(menu, WM_KEYDOWN, key, 1);
    PostMessageA(menu, WM_KEYUP, key, 0xC0000001);
}

int Pick(int index) {
    HWND menu = nullptr;
    if (!WaitUntil([&] { return (menu = OpenMenu()) != nullptr; })) {
        std::fprintf(stderr, "dist_test_helper: no pop-up menu opened\n");
        return 1;
    }
    // The first Down highlights the first item.
    for (int i = 0; i <= index; ++i)
        PressKey(menu, VK_DOWN);
    PressKey(menu, VK_RETURN);
    if (!WaitUntil([] { return OpenMenu() == nullptr; })) {
        std::fprintf(stderr, "dist_test_helper: the pop-up menu did not close\n");
        return 1;
    }
    return 0;
}

int End() {
    HWND dialog = nullptr;
    if (!WaitUntil(
            [&] { return (dialog = FindWindowA("#32770", "Brindle Launcher")) != nullptr; })) {
        std::fprintf(stderr, "dist_test_helper: no window \"Brindle Launcher\"\n");
        return 1;
    }
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
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
