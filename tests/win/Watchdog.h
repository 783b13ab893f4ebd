#pragma once
// Ends the test program when the running test takes longer than its limit: a hung test then
// fails the suite instead of hanging it.

#include <windows.h>

#include <cstdio>
#include <string>

#include <gtest/gtest.h>

class Watchdog {
  public:
    explicit Watchdog(DWORD limitMilliseconds)
        : limit(limitMilliseconds),
          testName(::testing::UnitTest::GetInstance()->current_test_info()->name()),
          finished(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
          watcher(CreateThread(nullptr, 0, Watch, this, 0, nullptr)) {}
    ~Watchdog() {
        SetEvent(finished);
        WaitForSingleObject(watcher, INFINITE);
        CloseHandle(watcher);
        CloseHandle(finished);
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

  private:
    static DWORD WINAPI Watch(void* self) {
        auto* dog = static_cast<Watchdog*>(self);
        if (WaitForSingleObject(dog->finished, dog->limit) == WAIT_TIMEOUT) {
            std::fprintf(stderr, "\n%s hung for %lu ms: ending the test program\n",
                         dog->testName.c_str(), dog->limit);
            std::fflush(stderr);
            TerminateProcess(GetCurrentProcess(), 3);
        }
        return 0;
    }

    DWORD limit;
    std::string testName;
    HANDLE finished;
    HANDLE watcher;
};
