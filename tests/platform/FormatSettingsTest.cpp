#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "platform/CodePage.h"
#include "platform/DateTime.h"
#include "platform/Exception.h"
#include "platform/FormatSettings.h"

using namespace vantrelo;

namespace {

std::string U8(std::u16string_view text) { return UnicodeToUtf8(text); }

// The message of the EConvertError the call raises, or "" when it raises none.
template <class F>
std::u16string ConvertErrorOf(F&& call) {
    try {
        call();
    } catch (const EConvertError& e) {
        return e.Message();
    }
    return u"";
}

const TFormatSettings Brazil;  // the defaults

TEST(FormatDateTime, Specifiers) {
    const TDateTime afternoon = EncodeDateTime(2024, 3, 5, 14, 7, 9, 250);  // a Tuesday
    const TDateTime morning = EncodeDateTime(2024, 3, 9, 0, 5, 0, 0);
    struct Case { std::u16string format; TDateTime value; std::u16string expected; };
    const Case cases[] = {
        {u"dd/mm/yyy hh:mm:ss", afternoon, u"05/03/2024 14:07:09"},
        {u"dd_mm_yyyy_hh_mm", EncodeDateTime(2024, 3, 9, 14, 5, 0, 0), u"09_03_2024_14_05"},
        {u"dd/mm/yyyy", afternoon, u"05/03/2024"},
        {u"d/m/yy h:n:s", morning, u"9/3/24 0:5:0"},
        {u"y", afternoon, u"24"},
        {u"ddd, dddd; mmm, mmmm", afternoon, u"ter, terça-feira; mar, março"},
        {u"hh:nn:ss.zzz z", afternoon, u"14:07:09.250 250"},
        {u"h:nn am/pm", afternoon, u"2:07 pm"},
        {u"h:nn AM/PM", morning, u"12:05 AM"},
        {u"hh a/p", afternoon, u"02 p"},
        {u"ddddd|dddddd", afternoon, u"05/03/2024|terça-feira, 5 de março de 2024"},
        {u"t|tt", afternoon, u"14:07|14:07:09"},
        {u"c", afternoon, u"05/03/2024 14:07:09"},
        {u"c", EncodeDate(2024, 3, 5), u"05/03/2024"},
        {u"", afternoon, u"05/03/2024 14:07:09"},
        {u"'dd' dd \"mm\" mm", afternoon, u"dd 05 mm 03"},
        {u"yyyy-mm-dd", afternoon, u"2024-03-05"},
        {u"mm/yyyy hh", afternoon, u"03/2024 14"},  // m before any hour is the month
        {u"Wk, yyyy", afternoon, u"Wk, 2024"},     // letters that are no field stay
    };
    for (const Case& c : cases)
        EXPECT_EQ(U8(FormatDateTime(c.format, c.value, Brazil)), U8(c.expected)) << U8(c.format);
}

TEST(FormatDateTime, RegionalSettingsApply) {
    TFormatSettings s;
    s.DateSeparator = u'-';
    s.TimeSeparator = u'.';
    s.TimePMString = u"PM";
    const TDateTime value = EncodeDateTime(2024, 3, 5, 14, 7, 9, 0);
    EXPECT_EQ(FormatDateTime(u"dd/mm/yyyy hh:nn:ss", value, s), u"05-03-2024 14.07.09");
    EXPECT_EQ(FormatDateTime(u"dd/mm/yyy hh:mm:ss", value, s), u"05-03-2024 14.07.09");
    EXPECT_EQ(FormatDateTime(u"h ampm", value, s), u"2 PM");
    // A format that names itself ends.
    s.ShortDateFormat = u"c";
    EXPECT_FALSE(FormatDateTime(u"c", value, s).empty());
}

TEST(FormatDateTime, DateTimeToStrLeavesOutMidnight) {
    EXPECT_EQ(DateTimeToStr(EncodeDate(2024, 3, 5), Brazil), u"05/03/2024");
    EXPECT_EQ(DateTimeToStr(EncodeDateTime(2024, 3, 5, 0, 0, 1, 0), Brazil), u"05/03/2024 00:00:01");
    EXPECT_EQ(DateToStr(EncodeDateTime(2024, 3, 5, 14, 7, 9, 0), Brazil), u"05/03/2024");
    EXPECT_EQ(TimeToStr(EncodeDateTime(2024, 3, 5, 14, 7, 9, 0), Brazil), u"14:07:09");
    EXPECT_EQ(DateTimeToStr(TDateTime(0), Brazil), u"30/12/1899");
    EXPECT_EQ(DateTimeToStr(TDateTime(-1.25), Brazil), u"29/12/1899 06:00:00");
    EXPECT_EQ(DateTimeToStr(EncodeDate(2024, 3, 5)), DateTimeToStr(EncodeDate(2024, 3, 5), Brazil));
}

TEST(StrToDate, AcceptedForms) {
    SetClockForTests([] { return EncodeDateTime(2031, 7, 1, 10, 0, 0, 0); });
    TFormatSettings us;
    us.ShortDateFormat = u"mm/dd/yyyy";
    TFormatSettings iso;
    iso.ShortDateFormat = u"yyyy-mm-dd";
    iso.DateSeparator = u'-';
    struct Case { std::u16string text; const TFormatSettings& settings; TDateTime expected; };
    const Case cases[] = {
        {u"05/03/2024", Brazil, EncodeDate(2024, 3, 5)},
        {u"5/3/2024", Brazil, EncodeDate(2024, 3, 5)},
        {u"  29/02/2024  ", Brazil, EncodeDate(2024, 2, 29)},
        {u"05/03/24", Brazil, EncodeDate(2024, 3, 5)},
        {u"05/03/49", Brazil, EncodeDate(2049, 3, 5)},
        {u"05/03/50", Brazil, EncodeDate(1950, 3, 5)},
        {u"05/03/0024", Brazil, EncodeDate(24, 3, 5)},
        {u"5/3", Brazil, EncodeDate(2031, 3, 5)},
        {u"03/05/2024", us, EncodeDate(2024, 3, 5)},
        {u"2024-03-05", iso, EncodeDate(2024, 3, 5)},
    };
    for (const Case& c : cases) EXPECT_EQ(StrToDate(c.text, c.settings), c.expected) << U8(c.text);
    SetClockForTests({});
}

TEST(StrToDate, RefusedForms) {
    for (const std::u16string text : {u"", u"31/02/2024", u"05-03-2024", u"05/03/2024x", u"005/03/2024",
                                      u"05/03/20245", u"ab", u"05/03/2024 10:00", u"/03/2024", u"05/03/"})
        EXPECT_EQ(U8(ConvertErrorOf([&] { StrToDate(text, Brazil); })), U8(u"'" + text + u"' is not a valid date"));
}

TEST(StrToTime, Forms) {
    struct Case { std::u16string text; TDateTime expected; };
    const Case cases[] = {
        {u"10:11", EncodeTime(10, 11, 0, 0)},
        {u" 10:11:12 ", EncodeTime(10, 11, 12, 0)},
        {u"7:05:09.5", EncodeTime(7, 5, 9, 500)},
        {u"23:59:59,999", EncodeTime(23, 59, 59, 999)},
        {u"2:05 PM", EncodeTime(14, 5, 0, 0)},
        {u"12:00 am", EncodeTime(0, 0, 0, 0)},
        {u"12:30 PM", EncodeTime(12, 30, 0, 0)},
        {u"9 am", EncodeTime(9, 0, 0, 0)},
    };
    for (const Case& c : cases) EXPECT_EQ(StrToTime(c.text, Brazil), c.expected) << U8(c.text);
    for (const std::u16string text : {u"", u"10", u"24:00", u"10:60", u"10:11:60", u"10:11:12:13", u"13:00 PM",
                                      u"10:11 x", u"10.11"})
        EXPECT_EQ(U8(ConvertErrorOf([&] { StrToTime(text, Brazil); })), U8(u"'" + text + u"' is not a valid time"));
}

TEST(StrToDateTime, DateWithOptionalTime) {
    struct Case { std::u16string text; TDateTime expected; };
    const Case cases[] = {
        {u"01/01/1988 10:11:12", EncodeDateTime(1988, 1, 1, 10, 11, 12, 0)},
        {u"01/01/1988 10:11", EncodeDateTime(1988, 1, 1, 10, 11, 0, 0)},
        {u"01/01/1988", EncodeDate(1988, 1, 1)},
        {u"29/12/1899 06:00", TDateTime(-1.25)},
        {u"10:11", EncodeTime(10, 11, 0, 0)},
    };
    for (const Case& c : cases) EXPECT_EQ(StrToDateTime(c.text, Brazil), c.expected) << U8(c.text);
    for (const std::u16string text : {u"01/01/1988 25:00", u"01/01/198810:11", u"01/01/1988 x", u"x"})
        EXPECT_EQ(U8(ConvertErrorOf([&] { StrToDateTime(text, Brazil); })),
                  U8(u"'" + text + u"' is not a valid date and time"));
}

// A fixed date with the current time of day, written as text and read back.
TEST(StrToDateTime, ReadsBackItsOwnTimeText) {
    const TDateTime now = EncodeDateTime(2024, 3, 5, 9, 8, 7, 0);
    const std::u16string text = u"01/01/1988 " + FormatDateTime(u"hh:mm:ss", now, Brazil);
    EXPECT_EQ(text, u"01/01/1988 09:08:07");
    EXPECT_EQ(StrToDateTime(text, Brazil), EncodeDateTime(1988, 1, 1, 9, 8, 7, 0));
    EXPECT_EQ(StrToDateTime(DateTimeToStr(TDateTime(-1.25), Brazil), Brazil), TDateTime(-1.25));
}

TEST(FloatToStr, GeneralForm) {
    struct Case { double value; std::u16string expected; };
    const Case cases[] = {
        {1234.5, u"1234,5"},     {0.1, u"0,1"},           {0.1 + 0.2, u"0,3"},
        {1E20, u"1E20"},         {-0.0, u"0"},            {0, u"0"},
        {100, u"100"},           {-2.5, u"-2,5"},         {1.0 / 3, u"0,333333333333333"},
        {2.0 / 3, u"0,666666666666667"},                  {1E14, u"100000000000000"},
        {1E15, u"1E15"},         {123456789012345678.0, u"1,23456789012346E17"},
        {0.0001, u"0,0001"},     {0.00001, u"1E-5"},      {1.5E-7, u"1,5E-7"},
        {-1.5E300, u"-1,5E300"}, {999999999999999.9, u"1E15"},
        {std::numeric_limits<double>::quiet_NaN(), u"NAN"},
        {std::numeric_limits<double>::infinity(), u"INF"},
        {-std::numeric_limits<double>::infinity(), u"-INF"},
    };
    for (const Case& c : cases) EXPECT_EQ(U8(FloatToStr(c.value, Brazil)), U8(c.expected)) << c.value;
    TFormatSettings dot;
    dot.DecimalSeparator = u'.';
    EXPECT_EQ(FloatToStr(1234.5, dot), u"1234.5");
}

TEST(StrToFloat, AcceptedAndRefused) {
    struct Case { std::u16string text; double expected; };
    const Case cases[] = {
        {u"1234,5", 1234.5}, {u" -2,5 ", -2.5}, {u"1,5E-7", 1.5E-7}, {u"1e3", 1000},
        {u"+3", 3},          {u",5", 0.5},      {u"5,", 5},          {u"-0", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(StrToFloat(c.text, Brazil), c.expected) << U8(c.text);
    for (const std::u16string text : {u"", u" ", u"1.5", u"abc", u"1,2,3", u"1E", u"1.234,5", u"inf",
                                      u"nan", u"1e999", u"--1", u",", u"1 2", u"0x10"})
        EXPECT_EQ(U8(ConvertErrorOf([&] { StrToFloat(text, Brazil); })),
                  U8(u"'" + text + u"' is not a valid floating point value"));
    TFormatSettings dot;
    dot.DecimalSeparator = u'.';
    EXPECT_EQ(StrToFloat(u"1.5", dot), 1.5);
}

TEST(StrToFloat, ReadsBackFloatToStr) {
    for (double value : {1234.5, 0.1, -2.5E-7, 1E20, 123456.789012345, 3.14159265358979, 1E-300})
        EXPECT_EQ(StrToFloat(FloatToStr(value, Brazil), Brazil), value) << value;
}

TEST(StrToInt, RangesAndForms) {
    EXPECT_EQ(IntToStr(-9223372036854775807LL - 1), u"-9223372036854775808");
    EXPECT_EQ(IntToStr(42), u"42");
    EXPECT_EQ(StrToInt(u"2147483647"), 2147483647);
    EXPECT_EQ(StrToInt(u"-2147483648"), -2147483647 - 1);
    EXPECT_EQ(StrToInt(u" +42 "), 42);
    EXPECT_EQ(StrToInt64(u"2147483648"), 2147483648LL);
    EXPECT_EQ(StrToInt64(u"9223372036854775807"), 9223372036854775807LL);
    EXPECT_EQ(StrToInt64(u"-9223372036854775808"), -9223372036854775807LL - 1);
    for (const std::u16string text : {u"2147483648", u"-2147483649", u"", u"-", u"1a", u"1 2", u"1,0", u"$10"})
        EXPECT_EQ(U8(ConvertErrorOf([&] { StrToInt(text); })), U8(u"'" + text + u"' is not a valid integer value"));
    for (const std::u16string text : {u"9223372036854775808", u"-9223372036854775809", u"99999999999999999999"})
        EXPECT_EQ(U8(ConvertErrorOf([&] { StrToInt64(text); })), U8(u"'" + text + u"' is not a valid integer value"));
}

} // namespace
