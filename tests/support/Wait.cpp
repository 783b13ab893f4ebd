#include "support/Wait.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace testsupport {

DWORD Scaled(DWORD limitMs) {
    static const DWORD scale = [] {
        const char* asked = std::getenv("BRINDLE_WAIT_SCALE");
        const unsigned long value = asked ? std::strtoul(asked, nullptr, 10) : 1;
        return value >= 1 && value <= 99 ? static_cast<DWORD>(value) : 1;
    }();
    return limitMs * scale;
}

bool WaitUntil(const std::function<bool()>& done, DWORD limitMs, DWORD pollMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        if (done())
            return true;
        if (GetTickCount() - start >= limitMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, pollMs, QS_ALLINPUT);
    }
}

Watchdog::Watchdog(DWORD limitMs, std::string what)
    : limitMs(Scaled(limitMs)), what(std::move(what)),
      finished(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
      watcher(CreateThread(nullptr, 0, Watch, this, 0, nullptr)) {}

Watchdog::~Watchdog() {
    SetEvent(finished.Get());
    WaitForSingleObject(watcher.Get(), INFINITE);
}

DWORD WINAPI Watchdog::Watch(void* self) {
    const auto* dog = static_cast<const Watchdog*>(self);
    if (WaitForSingleObject(dog->finished.Get(), dog->limitMs) == WAIT_TIMEOUT) {
        std::fprintf(stderr, "\n%s hung for %lu ms: ending the test program\n", dog->what.c_str(),
                     static_cast<unsigned long>(dog->limitMs));
        std::fflush(stderr);
        TerminateProcess(GetCurrentProcess(), 3);
    }
    return 0;
}

} // namespace testsupport
