#pragma once
// What the benchmark's measurements share: a millisecond clock, bounded polling, programs
// started and ended by their ids, windows found by process, a process's memory figures and the
// statistics of a series of runs.

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace bench {

// No wait lasts longer: a program that hangs fails its run instead of stalling the benchmark.
constexpr DWORD waitLimitMs = 10000;

// Milliseconds on the performance counter.
inline double NowMs() {
    static const double ticksPerMs = [] {
        LARGE_INTEGER frequency{};
        QueryPerformanceFrequency(&frequency);
        return static_cast<double>(frequency.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / ticksPerMs;
}

// Polls `done` about once a millisecond until it holds or `limitMs` has passed. Every timed
// wait polls this way, so that a figure and its baseline are read with the same granularity.
template <class Done> bool PollUntil(Done done, DWORD limitMs = waitLimitMs) {
    const double start = NowMs();
    for (;;) {
        if (done())
            return true;
        if (NowMs() - start >= limitMs)
            return false;
        Sleep(1);
    }
}

// A path of the build machine as programs under Wine see it (drive Z: is the root).
inline std::string WinePath(std::string path) {
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

// A program started by the benchmark; its handles are closed when it goes out of scope.
class Child {
  public:
    Child() = default;
    ~Child() {
        if (info.hThread)
            CloseHandle(info.hThread);
        if (info.hProcess)
            CloseHandle(info.hProcess);
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    // Starts `commandLine` as a mail client does (CreateProcessA, no inherited handles).
    bool Start(std::string commandLine) {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        return CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              nullptr, &startup, &info) != FALSE;
    }

    DWORD Id() const { return info.dwProcessId; }
    HANDLE Handle() const { return info.hProcess; }
    bool Running() const {
        return info.hProcess && WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT;
    }
    // True once the program has ended, false when it still runs at the deadline.
    bool WaitForExit(DWORD limitMs = waitLimitMs) const {
        return !info.hProcess || WaitForSingleObject(info.hProcess, limitMs) == WAIT_OBJECT_0;
    }
    // Ends a program that did not end when asked.
    void Terminate() const {
        if (Running()) {
            TerminateProcess(info.hProcess, 1);
            WaitForSingleObject(info.hProcess, waitLimitMs);
        }
    }

  private:
    PROCESS_INFORMATION info{};
};

// A top-level window of process `processId` of class `className`, titled `title` unless that
// is null, and visible when `visibleOnly`; null when there is none.
inline HWND WindowOf(DWORD processId, const char* className, const char* title, bool visibleOnly) {
    for (HWND window = FindWindowExA(nullptr, nullptr, className, title); window;
         window = FindWindowExA(nullptr, window, className, title)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId && (!visibleOnly || IsWindowVisible(window)))
            return window;
    }
    return nullptr;
}

// The pop-up menu that process `processId` tracks, while it is open.
inline HWND VisibleMenuOf(DWORD processId) {
    return WindowOf(processId, "#32768", nullptr, true);
}

// Dismisses an open menu as the user's Escape does (a tracked menu takes keys posted to its
// window) and waits until no menu of `processId` is visible.
inline bool DismissMenu(HWND menu, DWORD processId) {
    PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 1);
    PostMessageA(menu, WM_KEYUP, VK_ESCAPE, 0xC0000001);
    return PollUntil([&] { return VisibleMenuOf(processId) == nullptr; });
}

// A process's memory, in KB: private bytes and working set as GetProcessMemoryInfo reports
// them, and the committed private memory counted region by region.
struct Footprint {
    double privateKb = 0;
    double workingSetKb = 0;
    double committedPrivateKb = 0;
};

// The committed memory of `process` that belongs to it alone (MEM_PRIVATE), summed over its
// address space with VirtualQueryEx: what Windows counts as private bytes, read without the
// counters (Wine 8 reports PrivateUsage as the swapped-out pages only, usually 0).
inline std::optional<double> CommittedPrivateKb(HANDLE process) {
    SYSTEM_INFO system{};
    GetSystemInfo(&system);
    auto* address = static_cast<BYTE*>(system.lpMinimumApplicationAddress);
    auto* const end = static_cast<BYTE*>(system.lpMaximumApplicationAddress);
    double bytes = 0;
    MEMORY_BASIC_INFORMATION region{};
    while (address < end) {
        if (VirtualQueryEx(process, address, &region, sizeof region) != sizeof region)
            return address == system.lpMinimumApplicationAddress ? std::nullopt
                                                                 : std::optional(bytes / 1024);
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            bytes += static_cast<double>(region.RegionSize);
        if (region.RegionSize == 0)
            break;
        address = static_cast<BYTE*>(region.BaseAddress) + region.RegionSize;
    }
    return bytes / 1024;
}

inline std::optional<Footprint> FootprintOf(HANDLE process) {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                              sizeof counters))
        return std::nullopt;
    const std::optional<double> committed = CommittedPrivateKb(process);
    if (!committed)
        return std::nullopt;
    return Footprint{static_cast<double>(counters.PrivateUsage) / 1024.0,
                     static_cast<double>(counters.WorkingSetSize) / 1024.0, *committed};
}

// The values of one figure over its runs, and the runs that failed.
struct Series {
    std::vector<double> values;
    int failures = 0;

    void Add(std::optional<double> value) {
        if (value)
            values.push_back(*value);
        else
            ++failures;
    }
    // The value at `fraction` (0: least, 0.5: median, 1: greatest) of the sorted values,
    // interpolated between neighbours; 0 when there are none.
    double Quantile(double fraction) const {
        if (values.empty())
            return 0;
        std::vector<double> sorted = values;
        std::sort(sorted.begin(), sorted.end());
        const double position = fraction * static_cast<double>(sorted.size() - 1);
        const auto below = static_cast<size_t>(position);
        const size_t above = std::min(below + 1, sorted.size() - 1);
        const double weight = position - static_cast<double>(below);
        return sorted[below] * (1 - weight) + sorted[above] * weight;
    }
    double Median() const { return Quantile(0.5); }
};

} // namespace bench
