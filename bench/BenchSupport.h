#pragma once
// What every benchmark needs: its settings from the environment and the peak resident memory
// of the process for its report.
#include <cstddef>
#include <cstdlib>
#include <string>

#ifdef _WIN32
#include <windows.h>
#include <psapi.h>
#else
#include <sys/resource.h>
#endif

namespace bench {

// A setting from the environment; unset or empty gives the fallback.
inline std::string Env(const char* name, const char* fallback = "") {
    const char* v = std::getenv(name);
    return v && *v ? v : fallback;
}

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

inline double PeakRssMiB() { return PeakRssKb() / 1024.0; }

} // namespace bench
