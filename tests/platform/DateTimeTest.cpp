#include <gtest/gtest.h>

#include <array>

#include "platform/DateTime.h"
#include "platform/Exception.h"

using namespace vantrelo;

namespace {

TEST(DateTime, KnownDates) {
    struct Case { int year, month, day; double value; int dayOfWeek; };
    const Case cases[] = {
        {1899, 12, 30, 0, 7},        {1905, 6, 10, 1988, 7},    {1988, 1, 1, 32143, 6},
        {2024, 2, 29, 45351, 5},     {1900, 3, 1, 61, 5},       {1900, 1, 1, 2, 2},
        {1899, 12, 29, -1, 6},       {1, 1, 1, -693593, 2},     {9999, 12, 31, 2958465, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.year << '-' << c.month << '-' << c.day);
        const TDateTime value = EncodeDate(c.year, c.month, c.day);
        EXPECT_EQ(value.Value, c.value);
        const TDateParts parts = DecodeDate(value);
        EXPECT_EQ(parts.Year, c.year);
        EXPECT_EQ(parts.Month, c.month);
        EXPECT_EQ(parts.Day, c.day);
        EXPECT_EQ(DayOfWeek(value), c.dayOfWeek);
    }
}

TEST(DateTime, InvalidPartsRaiseConvertError) {
    struct DateCase { int year, month, day; };
    for (const DateCase& c : {DateCase{2023, 2, 29}, {1900, 2, 29}, {2024, 4, 31}, {2024, 13, 1},
                              {2024, 0, 1}, {2024, 1, 0}, {0, 1, 1}, {10000, 1, 1}}) {
        EXPECT_THROW(EncodeDate(c.year, c.month, c.day), EConvertError) << c.year << '-' << c.month << '-' << c.day;
        TDateTime unused;
        EXPECT_FALSE(TryEncodeDate(c.year, c.month, c.day, unused));
    }
    struct TimeCase { int hour, minute, second, ms; };
    for (const TimeCase& c : {TimeCase{24, 0, 0, 1}, {25, 0, 0, 0}, {0, 60, 0, 0}, {0, 0, 60, 0},
                              {0, 0, 0, 1000}, {-1, 0, 0, 0}})
        EXPECT_THROW(EncodeTime(c.hour, c.minute, c.second, c.ms), EConvertError) << c.hour << ':' << c.minute;
    try {
        EncodeDate(2023, 2, 29);
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), u"Invalid argument to date encode: year 2023, month 2, day 29");
    }
}

TEST(DateTime, TimeOfDayRoundTrips) {
    const TDateTime value = EncodeDateTime(2024, 3, 5, 14, 7, 9, 250);
    const TTimeParts t = DecodeTime(value);
    EXPECT_EQ((std::array{t.Hour, t.Minute, t.Second, t.MilliSecond}), (std::array{14, 7, 9, 250}));
    EXPECT_EQ(EncodeTime(6, 0, 0, 0).Value, 0.25);
    EXPECT_EQ(EncodeTime(24, 0, 0, 0).Value, 1.0);
    EXPECT_EQ(EncodeDateTime(2024, 3, 5, 24, 0, 0, 0).Value, EncodeDate(2024, 3, 6).Value);
    EXPECT_EQ(EncodeDateTime(1899, 12, 29, 24, 0, 0, 0).Value, 0.0);
    // Rounding to the millisecond carries into the next day instead of giving 24:00.
    const TDateTime almost(45356.0 + (MSecsPerDay - 0.4) / MSecsPerDay);
    EXPECT_EQ(DecodeDate(almost).Day, 6);
    EXPECT_EQ(DecodeTime(almost).Hour, 0);
    EXPECT_EQ(DateOf(almost).Value, 45357.0);
}

// For negative values the fraction counts forward from midnight of the day.
TEST(DateTime, NegativeDaysKeepTheirTimeOfDay) {
    const TDateTime value = EncodeDateTime(1899, 12, 29, 6, 0, 0, 0);
    EXPECT_EQ(value.Value, -1.25);
    EXPECT_EQ(DecodeDate(value).Day, 29);
    EXPECT_EQ(DecodeTime(value).Hour, 6);
    EXPECT_EQ(DateOf(value).Value, -1.0);
    EXPECT_EQ(TimeOf(value).Value, 0.25);
    EXPECT_EQ(ComposeDateTime(TDateTime(-1), TDateTime(0.25)).Value, -1.25);
    EXPECT_EQ(ComposeDateTime(TDateTime(-1), TDateTime(-1.25)).Value, -1.25);
    EXPECT_EQ(ComposeDateTime(TDateTime(45356.9), TDateTime(0.5)).Value, 45356.5);
    EXPECT_EQ(EncodeDateTime(1899, 12, 28, 18, 0, 0, 0).Value, -2.75);
    // Half a day before day 0 still names day 0, at noon.
    EXPECT_EQ(DecodeDate(TDateTime(-0.5)).Day, 30);
    EXPECT_EQ(DecodeTime(TDateTime(-0.5)).Hour, 12);
}

TEST(DateTime, ClockCanBeReplacedForTests) {
    const TDateTime fixed = EncodeDateTime(2024, 3, 9, 14, 5, 30, 123);
    SetClockForTests([fixed] { return fixed; });
    EXPECT_EQ(Now(), fixed);
    EXPECT_EQ(Date(), EncodeDate(2024, 3, 9));
    EXPECT_EQ(DecodeTime(Time()).MilliSecond, 123);
    EXPECT_LT(Time().Value, 1.0);
    SetClockForTests({});
    EXPECT_GE(DecodeDate(Now()).Year, 2024);
    EXPECT_NE(Now(), fixed);
}

TEST(DateTime, RealClockHasMilliseconds) {
    // Two readings 5 ms apart differ; with whole seconds they would mostly be equal.
    int differing = 0;
    for (int i = 0; i < 3; ++i) {
        const TDateTime a = Now();
        const auto until = a.Value + 5 / MSecsPerDay;
        TDateTime b = Now();
        while (b.Value < until) b = Now();
        differing += DecodeTime(a).MilliSecond != DecodeTime(b).MilliSecond;
    }
    EXPECT_GE(differing, 2);
}

} // namespace
