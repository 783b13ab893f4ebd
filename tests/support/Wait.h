#pragma once
// Waits with deadlines: a program or window that hangs fails its test (or benchmark run)
// instead of stalling it, and a test that hangs all the same is ended by its watchdog.

#include <windows.h>

#include <functional>
#include <string>

#include "platform/Handles.h"

namespace testsupport {

// A limit in milliseconds times BRINDLE_WAIT_SCALE, a whole number from 1 to 99 (1 when unset
// or not one), read alike by ctest's limits and the release test: where the CPU is emulated,
// many times slower than a real one, the waits that end a test that stalled get as many times
// longer. Waits that time the product itself (a hung window
// counts as hung after 5 s) are not scaled.
DWORD Scaled(DWORD limitMs);

// No wait lasts longer unless its caller says so.
inline const DWORD waitLimitMs = Scaled(10000);

// Polls `done` about every `pollMs` until it holds or `limitMs` has passed; true when it
// held. The calling thread's messages are pumped meanwhile, so that a window of that thread
// never stalls a program that sends to it.
bool WaitUntil(const std::function<bool()>& done, DWORD limitMs = waitLimitMs, DWORD pollMs = 10);

// Ends the program with a message naming `what` when it still lives `limitMs` (scaled) after it
// was made: a test that hangs then fails its suite instead of hanging it.
class Watchdog {
  public:
    Watchdog(DWORD limitMs, std::string what);
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

  private:
    static DWORD WINAPI Watch(void* self);

    DWORD limitMs;
    std::string what;
    UniqueKernelHandle finished;
    UniqueKernelHandle watcher;
};

} // namespace testsupport
