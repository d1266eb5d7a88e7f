#pragma once
// Regional settings and the text forms of numbers and dates. The defaults are the
// Brazilian ones (dd/mm/yyyy, hh:nn:ss, ',' as decimal separator); on Windows they are
// read from the OS at first use.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/DateTime.h"

namespace vantrelo {

struct TFormatSettings {
    char16_t DateSeparator = u'/';
    char16_t TimeSeparator = u':';
    char16_t DecimalSeparator = u',';
    char16_t ThousandSeparator = u'.';
    std::u16string ShortDateFormat = u"dd/mm/yyyy";
    std::u16string LongDateFormat = u"dddd, d' de 'mmmm' de 'yyyy";
    std::u16string ShortTimeFormat = u"hh:nn";
    std::u16string LongTimeFormat = u"hh:nn:ss";
    std::u16string TimeAMString = u"";
    std::u16string TimePMString = u"";
};

// The process-wide settings every text conversion uses unless handed others.
TFormatSettings& FormatSettings();

// Date-time format strings as the system writes them: d dd ddd dddd ddddd dddddd,
// m mm mmm mmmm (minutes right after an hour field), yy, yyy/yyyy (four digits),
// h hh, n nn, s ss, z zzz, t tt, am/pm a/p ampm, c, '/' and ':' as the regional
// separators, text in quotes copied.
std::u16string FormatDateTime(std::u16string_view format, TDateTime value,
                              const TFormatSettings& settings = FormatSettings());

// Short date, then a blank and the long time unless the time is exactly midnight.
std::u16string DateTimeToStr(TDateTime value, const TFormatSettings& settings = FormatSettings());
std::u16string DateToStr(TDateTime value, const TFormatSettings& settings = FormatSettings());
std::u16string TimeToStr(TDateTime value, const TFormatSettings& settings = FormatSettings());

// Parse by the short date format's order of day, month and year and the separators;
// raise EConvertError "'%s' is not a valid date", "... time", "... date and time".
TDateTime StrToDate(std::u16string_view text, const TFormatSettings& settings = FormatSettings());
TDateTime StrToTime(std::u16string_view text, const TFormatSettings& settings = FormatSettings());
TDateTime StrToDateTime(std::u16string_view text, const TFormatSettings& settings = FormatSettings());

// Up to 15 significant digits, general form, the regional decimal separator.
std::u16string FloatToStr(double value, const TFormatSettings& settings = FormatSettings());
// Raises EConvertError "'%s' is not a valid floating point value".
double StrToFloat(std::u16string_view text, const TFormatSettings& settings = FormatSettings());

std::u16string IntToStr(std::int64_t value);
// Raise EConvertError "'%s' is not a valid integer value".
std::int32_t StrToInt(std::u16string_view text);
std::int64_t StrToInt64(std::u16string_view text);

} // namespace vantrelo
