#pragma once
// Regional settings and the text forms of numbers and dates. The defaults are the
// Brazilian ones (dd/mm/yyyy, hh:nn:ss, ',' as decimal separator); on Windows they are
// read from the OS at first use.
#include <array>
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
    // Names for mmm, mmmm (January first) and ddd, dddd (Sunday first).
    std::array<std::u16string, 12> ShortMonthNames{u"jan", u"fev", u"mar", u"abr", u"mai", u"jun",
                                                   u"jul", u"ago", u"set", u"out", u"nov", u"dez"};
    std::array<std::u16string, 12> LongMonthNames{u"janeiro", u"fevereiro", u"março", u"abril",
                                                  u"maio", u"junho", u"julho", u"agosto",
                                                  u"setembro", u"outubro", u"novembro", u"dezembro"};
    std::array<std::u16string, 7> ShortDayNames{u"dom", u"seg", u"ter", u"qua", u"qui", u"sex", u"sáb"};
    std::array<std::u16string, 7> LongDayNames{u"domingo", u"segunda-feira", u"terça-feira",
                                               u"quarta-feira", u"quinta-feira", u"sexta-feira",
                                               u"sábado"};
};

// The process-wide settings every text conversion uses unless handed others. Change them
// only while no other thread converts (start-up, tests).
TFormatSettings& FormatSettings();

// Date-time format strings as the system writes them: d dd ddd dddd ddddd dddddd,
// m mm mmm mmmm (minutes right after an hour field), yy, yyy/yyyy (four digits),
// h hh, n nn, s ss, z zzz, t tt, am/pm a/p ampm, c, '/' and ':' as the regional
// separators, text in quotes copied. An empty format means "c".
std::u16string FormatDateTime(std::u16string_view format, TDateTime value,
                              const TFormatSettings& settings = FormatSettings());

// Short date, then a blank and the long time unless the time is exactly midnight.
std::u16string DateTimeToStr(TDateTime value, const TFormatSettings& settings = FormatSettings());
std::u16string DateToStr(TDateTime value, const TFormatSettings& settings = FormatSettings());
std::u16string TimeToStr(TDateTime value, const TFormatSettings& settings = FormatSettings());

// Parse by the short date format's order of day, month and year and the separators;
// raise EConvertError "'%s' is not a valid date", "... time", "... date and time".
// Dates: day and month of one or two digits, year of up to four; a year of one or two
// digits lies in 1950..2049 (below 50 means 20xx); without a year the current one is taken.
// Times: h:n or h:n:s, optionally .zzz and "AM"/"PM" (or the settings' strings).
// A date and time may stand alone in StrToDateTime. Blanks around the parts are ignored.
TDateTime StrToDate(std::u16string_view text, const TFormatSettings& settings = FormatSettings());
TDateTime StrToTime(std::u16string_view text, const TFormatSettings& settings = FormatSettings());
TDateTime StrToDateTime(std::u16string_view text, const TFormatSettings& settings = FormatSettings());

// Up to 15 significant digits, general form, the regional decimal separator: fixed
// notation unless the exponent needs more than 15 digits before the point or the value is
// below 0.0001 ("1E20", "1,5E-7"); "NAN", "INF", "-INF" for the special values.
std::u16string FloatToStr(double value, const TFormatSettings& settings = FormatSettings());
// Sign, digits with the regional decimal separator, optional exponent (E or e); no
// thousand separators. Raises EConvertError "'%s' is not a valid floating point value".
double StrToFloat(std::u16string_view text, const TFormatSettings& settings = FormatSettings());

std::u16string IntToStr(std::int64_t value);
// Optional sign and decimal digits, blanks around ignored; out of range or malformed
// text raises EConvertError "'%s' is not a valid integer value".
std::int32_t StrToInt(std::u16string_view text);
std::int64_t StrToInt64(std::u16string_view text);

} // namespace vantrelo
