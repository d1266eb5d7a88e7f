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

// The peers keep to the bare client libraries, so they carry their own calendar: days since
// 30 December 1899 (the program's date-time values) and back.
inline long long DaysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    long long era = (y >= 0 ? y : y - 399) / 400;
    long long yoe = y - era * 400;
    long long doy = (153LL * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468 + 25569;  // 1970-01-01 is day 25569
}
inline void CivilFromDays(long long days, int& y, int& m, int& d) {
    long long z = days - 25569 + 719468;
    long long era = (z >= 0 ? z : z - 146096) / 146097;
    long long doe = z - era * 146097;
    long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    long long mp = (5 * doy + 2) / 153;
    d = int(doy - (153 * mp + 2) / 5 + 1);
    m = int(mp < 10 ? mp + 3 : mp - 9);
    y = int(yoe + era * 400 + (m <= 2));
}

} // namespace bench
