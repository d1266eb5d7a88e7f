#pragma once
// Date-time values: days since 30 December 1899 with the time of day as the fraction.
// For negative values the fraction still counts forward from midnight of the day
// named by the integral part: -1.25 is 29 December 1899 06:00.
#include <compare>
#include <cstdint>
#include <functional>

namespace vantrelo {

struct TDateTime {
    double Value = 0.0;

    constexpr TDateTime() = default;
    constexpr explicit TDateTime(double value) : Value(value) {}
    friend constexpr bool operator==(TDateTime, TDateTime) = default;
    friend constexpr auto operator<=>(TDateTime, TDateTime) = default;
};

struct TDateParts { int Year = 1899, Month = 12, Day = 30; };
struct TTimeParts { int Hour = 0, Minute = 0, Second = 0, MilliSecond = 0; };

constexpr double MSecsPerDay = 86400000.0;
constexpr int DateDelta = 693594;  // days from 1 January 0001 to 30 December 1899

bool IsValidDate(int year, int month, int day);
bool IsValidTime(int hour, int minute, int second, int milliSecond);
// Throw EConvertError on an invalid date or time.
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int milliSecond);
TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int milliSecond);
// Non-throwing forms for parsers.
bool TryEncodeDate(int year, int month, int day, TDateTime& result);
bool TryEncodeTime(int hour, int minute, int second, int milliSecond, TDateTime& result);

TDateParts DecodeDate(TDateTime value);
TTimeParts DecodeTime(TDateTime value);  // rounded to the nearest millisecond
int DayOfWeek(TDateTime value);          // 1 = Sunday … 7 = Saturday

TDateTime DateOf(TDateTime value);       // midnight of the value's day
TDateTime TimeOf(TDateTime value);       // the time of day on day 0
// Joins a date and a time of day (the sign rule above is respected).
TDateTime ComposeDateTime(TDateTime date, TDateTime time);

// The local clock. Tests may replace it; the replacement serves every reader.
TDateTime Now();
TDateTime Date();   // today at midnight
TDateTime Time();   // now as a time of day
void SetClockForTests(std::function<TDateTime()> clock);  // empty function restores the real clock

} // namespace vantrelo
