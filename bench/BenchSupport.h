#pragma once
// What the benchmark's measurements share beyond tests/support: a millisecond clock, a
// process's memory figures and the statistics of a series of runs.

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <optional>
#include <vector>

namespace bench {

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
