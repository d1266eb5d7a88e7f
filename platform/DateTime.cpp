#include "platform/DateTime.h"

#include <cmath>
#include <cstdlib>
#include <mutex>
#include <utility>

#include "platform/Exception.h"
#include "platform/Format.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <ctime>
#endif

namespace vantrelo {

namespace {

constexpr std::int64_t MSecsPerDayInt = 86400000;
constexpr std::int64_t UnixDateDelta = 25569;  // days from 30 December 1899 to 1 January 1970

// A value split into whole days and milliseconds into the day, rounded as a whole so
// that 23:59:59.9996 becomes midnight of the next day rather than 24:00:00.000.
struct TTimeStamp {
    std::int64_t Day;
    std::int64_t MilliSeconds;
};

TTimeStamp ToTimeStamp(TDateTime value) {
    const std::int64_t ms = std::llround(value.Value * MSecsPerDay);
    return {ms / MSecsPerDayInt, std::llabs(ms) % MSecsPerDayInt};
}

// Day counts of the proleptic Gregorian calendar (the civil-from-days algorithm),
// counted from 1 January 1970.
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

TDateParts CivilFromDays(std::int64_t z) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2);
    return {static_cast<int>(y), static_cast<int>(m), static_cast<int>(d)};
}

bool IsLeapYear(int year) {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInMonth(int year, int month) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

// The sign rule: a negative day counts its time of day away from zero.
TDateTime Combine(std::int64_t day, double timeOfDay) {
    const double d = static_cast<double>(day);
    return TDateTime(day < 0 ? d - timeOfDay : d + timeOfDay);
}

std::mutex ClockLock;
std::function<TDateTime()> TestClock;

TDateTime SystemNow() {
#ifdef _WIN32
    SYSTEMTIME t;
    ::GetLocalTime(&t);
    return EncodeDateTime(t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds);
#else
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    std::tm local{};
    localtime_r(&now.tv_sec, &local);
    // A leap second (tm_sec 60) is held at 59.
    return EncodeDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                          local.tm_min, local.tm_sec > 59 ? 59 : local.tm_sec,
                          static_cast<int>(now.tv_nsec / 1000000));
#endif
}

} // namespace

bool IsValidDate(int year, int month, int day) {
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
           day <= DaysInMonth(year, month);
}

bool IsValidTime(int hour, int minute, int second, int milliSecond) {
    if (hour == 24) return minute == 0 && second == 0 && milliSecond == 0;  // end of the day
    return hour >= 0 && hour < 24 && minute >= 0 && minute < 60 && second >= 0 && second < 60 &&
           milliSecond >= 0 && milliSecond < 1000;
}

bool TryEncodeDate(int year, int month, int day, TDateTime& result) {
    if (!IsValidDate(year, month, day)) return false;
    result = TDateTime(static_cast<double>(
        DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) + UnixDateDelta));
    return true;
}

bool TryEncodeTime(int hour, int minute, int second, int milliSecond, TDateTime& result) {
    if (!IsValidTime(hour, minute, second, milliSecond)) return false;
    const std::int64_t ms = ((hour * 60LL + minute) * 60 + second) * 1000 + milliSecond;
    result = TDateTime(static_cast<double>(ms) / MSecsPerDay);
    return true;
}

TDateTime EncodeDate(int year, int month, int day) {
    TDateTime result;
    if (!TryEncodeDate(year, month, day, result))
        throw EConvertError(Format(u"Invalid argument to date encode: year %d, month %d, day %d",
                                   {year, month, day}));
    return result;
}

TDateTime EncodeTime(int hour, int minute, int second, int milliSecond) {
    TDateTime result;
    if (!TryEncodeTime(hour, minute, second, milliSecond, result))
        throw EConvertError(Format(u"Invalid argument to time encode: %d:%d:%d.%d",
                                   {hour, minute, second, milliSecond}));
    return result;
}

TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int milliSecond) {
    const TDateTime date = EncodeDate(year, month, day);
    const TDateTime time = EncodeTime(hour, minute, second, milliSecond);
    // 24:00 is the start of the next day, which a time of day alone cannot hold.
    if (time.Value >= 1.0) return Combine(ToTimeStamp(date).Day + 1, 0);
    return ComposeDateTime(date, time);
}

TDateParts DecodeDate(TDateTime value) {
    return CivilFromDays(ToTimeStamp(value).Day - UnixDateDelta);
}

TTimeParts DecodeTime(TDateTime value) {
    std::int64_t ms = ToTimeStamp(value).MilliSeconds;
    TTimeParts parts;
    parts.MilliSecond = static_cast<int>(ms % 1000);
    ms /= 1000;
    parts.Second = static_cast<int>(ms % 60);
    ms /= 60;
    parts.Minute = static_cast<int>(ms % 60);
    parts.Hour = static_cast<int>(ms / 60);
    return parts;
}

int DayOfWeek(TDateTime value) {
    // 30 December 1899 was a Saturday.
    const std::int64_t day = ToTimeStamp(value).Day;
    return static_cast<int>(((day + 6) % 7 + 7) % 7) + 1;
}

TDateTime DateOf(TDateTime value) {
    return TDateTime(static_cast<double>(ToTimeStamp(value).Day));
}

TDateTime TimeOf(TDateTime value) {
    return TDateTime(static_cast<double>(ToTimeStamp(value).MilliSeconds) / MSecsPerDay);
}

TDateTime ComposeDateTime(TDateTime date, TDateTime time) {
    return Combine(ToTimeStamp(date).Day, TimeOf(time).Value);
}

TDateTime Now() {
    std::function<TDateTime()> clock;
    {
        std::lock_guard guard(ClockLock);
        clock = TestClock;
    }
    return clock ? clock() : SystemNow();
}

TDateTime Date() { return DateOf(Now()); }
TDateTime Time() { return TimeOf(Now()); }

void SetClockForTests(std::function<TDateTime()> clock) {
    std::lock_guard guard(ClockLock);
    TestClock = std::move(clock);
}

} // namespace vantrelo
