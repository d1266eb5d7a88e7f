#pragma once
// The peak resident memory of the process, for the benchmarks' reports.
#include <cstddef>

#ifdef _WIN32
#include <windows.h>
#include <psapi.h>
#else
#include <sys/resource.h>
#endif

namespace bench {

inline std::size_t PeakRssKb() {
#ifdef _WIN32
    PROCESS_MEMORY_COUNTERS pmc{};
    GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc);
    return pmc.PeakWorkingSetSize / 1024;
#else
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return std::size_t(u.ru_maxrss);
#endif
}

} // namespace bench
