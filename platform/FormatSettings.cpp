#include "platform/FormatSettings.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <utility>

#include "platform/CodePage.h"
#include "platform/Exception.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace vantrelo {

namespace {

// Shortest nesting that lets "c" reach "ddddd" and "tt" while a format that names itself
// (a short date format of "c") still ends.
constexpr int MaxFormatDepth = 2;
constexpr int TwoDigitYearPivot = 50;  // 00..49 are 20xx, 50..99 are 19xx

char16_t UpperAscii(char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - u'a' + u'A') : c; }
bool IsAsciiLetter(char16_t c) { return UpperAscii(c) >= u'A' && UpperAscii(c) <= u'Z'; }
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

bool StartsWithIgnoringCase(std::u16string_view text, std::u16string_view prefix) {
    if (prefix.empty() || text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (UpperAscii(text[i]) != UpperAscii(prefix[i])) return false;
    return true;
}

void AppendNumber(std::u16string& out, std::int64_t value, int minDigits) {
    char digits[24];
    const auto r = std::to_chars(digits, digits + sizeof digits, value);
    const int count = static_cast<int>(r.ptr - digits);
    for (int i = count; i < minDigits; ++i) out += u'0';
    for (const char* p = digits; p != r.ptr; ++p) out += static_cast<char16_t>(*p);
}

[[noreturn]] void NotValid(std::u16string_view text, std::u16string_view what) {
    throw EConvertError(u"'" + std::u16string(text) + u"' is not a valid " + std::u16string(what));
}

// --- FormatDateTime ---------------------------------------------------------------

class TDateTimeWriter {
public:
    TDateTimeWriter(TDateTime value, const TFormatSettings& settings)
        : FSettings(settings), FDate(DecodeDate(value)), FTime(DecodeTime(value)),
          FDayOfWeek(DayOfWeek(value)) {}

    void Write(std::u16string_view format, int depth) {
        if (depth > MaxFormatDepth) return;
        if (format.empty()) format = u"c";
        char16_t lastToken = 0;
        std::size_t i = 0;
        while (i < format.size()) {
            const char16_t c = format[i];
            char16_t token = UpperAscii(c);
            if (IsAsciiLetter(c)) {
                if (token == u'M' && lastToken == u'H') token = u'N';  // "hh:mm" means minutes
                lastToken = token;
            }
            switch (token) {
            case u'Y': {
                const int count = Count(format, i);
                if (count <= 2) AppendNumber(Result, FDate.Year % 100, 2);
                else AppendNumber(Result, FDate.Year, 4);
                break;
            }
            case u'M': {
                const int count = Count(format, i);
                if (count <= 2) AppendNumber(Result, FDate.Month, count);
                else if (count == 3) Result += FSettings.ShortMonthNames[FDate.Month - 1];
                else Result += FSettings.LongMonthNames[FDate.Month - 1];
                break;
            }
            case u'D': {
                const int count = Count(format, i);
                if (count <= 2) AppendNumber(Result, FDate.Day, count);
                else if (count == 3) Result += FSettings.ShortDayNames[FDayOfWeek - 1];
                else if (count == 4) Result += FSettings.LongDayNames[FDayOfWeek - 1];
                else if (count == 5) Write(FSettings.ShortDateFormat, depth + 1);
                else Write(FSettings.LongDateFormat, depth + 1);
                break;
            }
            case u'H': {
                const int count = Count(format, i);
                int hour = FTime.Hour;
                if (Uses12HourClock(format.substr(i))) {
                    hour %= 12;
                    if (hour == 0) hour = 12;
                }
                AppendNumber(Result, hour, count >= 2 ? 2 : 1);
                break;
            }
            case u'N':
                AppendNumber(Result, FTime.Minute, Count(format, i) >= 2 ? 2 : 1);
                break;
            case u'S':
                AppendNumber(Result, FTime.Second, Count(format, i) >= 2 ? 2 : 1);
                break;
            case u'Z':
                AppendNumber(Result, FTime.MilliSecond, Count(format, i) >= 3 ? 3 : 1);
                break;
            case u'T':
                Write(Count(format, i) == 1 ? FSettings.ShortTimeFormat : FSettings.LongTimeFormat, depth + 1);
                break;
            case u'C':
                Count(format, i);
                Write(FSettings.ShortDateFormat, depth + 1);
                if (FTime.Hour || FTime.Minute || FTime.Second || FTime.MilliSecond) {
                    Result += u' ';
                    Write(FSettings.LongTimeFormat, depth + 1);
                }
                break;
            case u'A':
                i += AmPm(format.substr(i));
                break;
            case u'/':
                if (FSettings.DateSeparator) Result += FSettings.DateSeparator;
                ++i;
                break;
            case u':':
                if (FSettings.TimeSeparator) Result += FSettings.TimeSeparator;
                ++i;
                break;
            case u'\'':
            case u'"': {
                const std::size_t close = format.find(c, i + 1);
                const std::size_t end = close == std::u16string_view::npos ? format.size() : close;
                Result.append(format.substr(i + 1, end - i - 1));
                i = end == format.size() ? end : end + 1;
                break;
            }
            default:
                Result += c;
                ++i;
            }
        }
    }

    std::u16string Result;

private:
    // Length of the run of the letter at i (either case); moves i past it.
    static int Count(std::u16string_view format, std::size_t& i) {
        const char16_t letter = UpperAscii(format[i]);
        const std::size_t start = i;
        while (i < format.size() && UpperAscii(format[i]) == letter) ++i;
        return static_cast<int>(i - start);
    }

    static std::size_t AmPmLength(std::u16string_view at) {
        if (StartsWithIgnoringCase(at, u"am/pm")) return 5;
        if (StartsWithIgnoringCase(at, u"a/p")) return 3;
        if (StartsWithIgnoringCase(at, u"ampm")) return 4;
        return 0;
    }

    // An hour is on the 12-hour clock when an am/pm field follows before the next hour.
    static bool Uses12HourClock(std::u16string_view rest) {
        for (std::size_t i = 0; i < rest.size(); ++i) {
            const char16_t c = rest[i];
            if (c == u'\'' || c == u'"') {
                i = rest.find(c, i + 1);
                if (i == std::u16string_view::npos) return false;
            } else if (UpperAscii(c) == u'H') {
                return false;
            } else if (AmPmLength(rest.substr(i))) {
                return true;
            }
        }
        return false;
    }

    // Writes an am/pm field at the start of 'at' (the format's own letters, so their case
    // is kept) and returns its length; a lone 'a' is copied as text.
    std::size_t AmPm(std::u16string_view at) {
        const bool pm = FTime.Hour >= 12;
        const std::size_t length = AmPmLength(at);
        if (length == 5) Result.append(at.substr(pm ? 3 : 0, 2));
        else if (length == 3) Result += at[pm ? 2 : 0];
        else if (length == 4) Result += pm ? FSettings.TimePMString : FSettings.TimeAMString;
        else Result += at[0];
        return length ? length : 1;
    }

    const TFormatSettings& FSettings;
    TDateParts FDate;
    TTimeParts FTime;
    int FDayOfWeek;
};

// --- Date and time parsing ---------------------------------------------------------

enum class TDateOrder { DMY, MDY, YMD };

TDateOrder DateOrder(std::u16string_view shortDateFormat) {
    for (std::size_t i = 0; i < shortDateFormat.size(); ++i) {
        const char16_t c = UpperAscii(shortDateFormat[i]);
        if (c == u'\'' || c == u'"') {
            i = shortDateFormat.find(shortDateFormat[i], i + 1);
            if (i == std::u16string_view::npos) break;
        } else if (c == u'D') {
            return TDateOrder::DMY;
        } else if (c == u'M') {
            return TDateOrder::MDY;
        } else if (c == u'Y') {
            return TDateOrder::YMD;
        }
    }
    return TDateOrder::DMY;
}

class TScanner {
public:
    explicit TScanner(std::u16string_view text) : FText(text) {}

    bool SkipBlanks() {
        const std::size_t start = FPos;
        while (FPos < FText.size() && FText[FPos] == u' ') ++FPos;
        return FPos > start;
    }
    bool AtEnd() {
        SkipBlanks();
        return FPos == FText.size();
    }
    // Char and Word consume nothing, blanks included, when what they look for is not there.
    bool Char(char16_t c) {
        const std::size_t start = FPos;
        SkipBlanks();
        if (c == 0 || FPos >= FText.size() || FText[FPos] != c) return Rewind(start);
        ++FPos;
        return true;
    }
    bool Word(std::u16string_view word) {
        const std::size_t start = FPos;
        SkipBlanks();
        if (!StartsWithIgnoringCase(FText.substr(FPos), word)) return Rewind(start);
        FPos += word.size();
        return true;
    }
    // A run of 1..maxDigits digits; a longer run is refused, not split.
    bool Number(int maxDigits, int& value, int* digits = nullptr) {
        SkipBlanks();
        const std::size_t start = FPos;
        value = 0;
        while (FPos < FText.size() && IsDigit(FText[FPos])) {
            if (static_cast<int>(FPos - start) < maxDigits) value = value * 10 + (FText[FPos] - u'0');
            ++FPos;
        }
        const int count = static_cast<int>(FPos - start);
        if (digits) *digits = count;
        return count > 0 && count <= maxDigits;
    }
    std::size_t Position() const { return FPos; }

private:
    bool Rewind(std::size_t position) {
        FPos = position;
        return false;
    }

    std::u16string_view FText;
    std::size_t FPos = 0;
};

bool ScanDate(TScanner& scan, const TFormatSettings& settings, TDateTime& result) {
    const TDateOrder order = DateOrder(settings.ShortDateFormat);
    const int firstDigits = order == TDateOrder::YMD ? 4 : 2;
    int n1, n2, n3 = 0, yearDigits = 0;
    if (!scan.Number(firstDigits, n1, &yearDigits) || !scan.Char(settings.DateSeparator) ||
        !scan.Number(2, n2))
        return false;
    int year, month, day;
    if (scan.Char(settings.DateSeparator)) {
        if (order == TDateOrder::YMD) {
            if (!scan.Number(2, n3)) return false;
            year = n1, month = n2, day = n3;
        } else {
            if (!scan.Number(4, n3, &yearDigits)) return false;
            year = n3;
            month = order == TDateOrder::DMY ? n2 : n1;
            day = order == TDateOrder::DMY ? n1 : n2;
        }
        if (yearDigits <= 2) year += year < TwoDigitYearPivot ? 2000 : 1900;
    } else {
        // Day and month alone: this year.
        if (order == TDateOrder::YMD && yearDigits > 2) return false;
        year = DecodeDate(Date()).Year;
        month = order == TDateOrder::DMY ? n2 : n1;
        day = order == TDateOrder::DMY ? n1 : n2;
    }
    return TryEncodeDate(year, month, day, result);
}

bool ScanTime(TScanner& scan, const TFormatSettings& settings, TDateTime& result) {
    int hour, minute = 0, second = 0, milliSecond = 0;
    if (!scan.Number(2, hour)) return false;
    const bool hasMinutes = scan.Char(settings.TimeSeparator);
    if (hasMinutes) {
        if (!scan.Number(2, minute)) return false;
        if (scan.Char(settings.TimeSeparator)) {
            if (!scan.Number(2, second)) return false;
            if (scan.Char(u'.') || scan.Char(settings.DecimalSeparator)) {
                int digits;
                if (!scan.Number(3, milliSecond, &digits)) return false;
                for (; digits < 3; ++digits) milliSecond *= 10;  // ".5" is half a second
            }
        }
    }
    int half = 0;  // 1 morning, 2 afternoon
    if ((!settings.TimeAMString.empty() && scan.Word(settings.TimeAMString)) || scan.Word(u"AM")) half = 1;
    else if ((!settings.TimePMString.empty() && scan.Word(settings.TimePMString)) || scan.Word(u"PM")) half = 2;
    if (half) {
        if (hour < 1 || hour > 12) return false;
        if (half == 1 && hour == 12) hour = 0;
        if (half == 2 && hour < 12) hour += 12;
    } else if (!hasMinutes || hour > 23) {
        return false;
    }
    return TryEncodeTime(hour, minute, second, milliSecond, result);
}

bool TryStrToTime(std::u16string_view text, const TFormatSettings& settings, TDateTime& result) {
    TScanner scan(text);
    return ScanTime(scan, settings, result) && scan.AtEnd();
}

// --- Numbers ----------------------------------------------------------------------

std::u16string_view TrimBlanks(std::u16string_view text) {
    while (!text.empty() && (text.front() == u' ' || text.front() == u'\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == u' ' || text.back() == u'\t')) text.remove_suffix(1);
    return text;
}

bool TryStrToInt64(std::u16string_view text, std::int64_t& value) {
    std::u16string_view digits = TrimBlanks(text);
    bool negative = false;
    if (!digits.empty() && (digits.front() == u'-' || digits.front() == u'+')) {
        negative = digits.front() == u'-';
        digits.remove_prefix(1);
    }
    if (digits.empty()) return false;
    std::uint64_t magnitude = 0;
    const std::uint64_t limit = negative ? std::uint64_t(1) << 63 : (std::uint64_t(1) << 63) - 1;
    for (char16_t c : digits) {
        if (!IsDigit(c)) return false;
        const unsigned digit = c - u'0';
        if (magnitude > (limit - digit) / 10) return false;
        magnitude = magnitude * 10 + digit;
    }
    value = negative ? static_cast<std::int64_t>(0 - magnitude) : static_cast<std::int64_t>(magnitude);
    return true;
}

#ifdef _WIN32

std::u16string LocaleText(LCTYPE type) {
    wchar_t buffer[128];
    const int n = ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, buffer, 128);
    return n > 1 ? std::u16string(reinterpret_cast<const char16_t*>(buffer), n - 1) : std::u16string();
}

// Windows patterns write the month as M, the 24-hour clock as H, minutes as m and the
// am/pm marker as tt; ours write m, h, n and ampm. Quoted text is kept as it is.
std::u16string FromWindowsPattern(std::u16string_view pattern, bool time) {
    std::u16string out;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char16_t c = pattern[i];
        if (c == u'\'') {
            const std::size_t close = std::min(pattern.find(u'\'', i + 1), pattern.size() - 1);
            out.append(pattern.substr(i, close - i + 1));
            i = close;
        } else if (time && c == u'H') {
            out += u'h';
        } else if (time && c == u'm') {
            out += u'n';
        } else if (time && c == u't') {
            while (i + 1 < pattern.size() && pattern[i + 1] == u't') ++i;
            out += u"ampm";
        } else if (!time && c == u'M') {
            out += u'm';
        } else if (time || c != u'g') {  // era marks are dropped
            out += c;
        }
    }
    return out;
}

void ReadSystemFormatSettings(TFormatSettings& s) {
    const auto set = [](std::u16string& field, std::u16string value) {
        if (!value.empty()) field = std::move(value);
    };
    const auto setChar = [](char16_t& field, const std::u16string& value) {
        if (!value.empty()) field = value[0];
    };
    setChar(s.DateSeparator, LocaleText(LOCALE_SDATE));
    setChar(s.TimeSeparator, LocaleText(LOCALE_STIME));
    setChar(s.DecimalSeparator, LocaleText(LOCALE_SDECIMAL));
    setChar(s.ThousandSeparator, LocaleText(LOCALE_STHOUSAND));
    set(s.ShortDateFormat, FromWindowsPattern(LocaleText(LOCALE_SSHORTDATE), false));
    set(s.LongDateFormat, FromWindowsPattern(LocaleText(LOCALE_SLONGDATE), false));
    set(s.ShortTimeFormat, FromWindowsPattern(LocaleText(LOCALE_SSHORTTIME), true));
    set(s.LongTimeFormat, FromWindowsPattern(LocaleText(LOCALE_STIMEFORMAT), true));
    s.TimeAMString = LocaleText(LOCALE_S1159);
    s.TimePMString = LocaleText(LOCALE_S2359);
    for (LCTYPE i = 0; i < 12; ++i) {
        set(s.ShortMonthNames[i], LocaleText(LOCALE_SABBREVMONTHNAME1 + i));
        set(s.LongMonthNames[i], LocaleText(LOCALE_SMONTHNAME1 + i));
    }
    // Windows counts the days from Monday, we from Sunday.
    for (LCTYPE i = 0; i < 7; ++i) {
        const LCTYPE windowsDay = (i + 6) % 7;
        set(s.ShortDayNames[i], LocaleText(LOCALE_SABBREVDAYNAME1 + windowsDay));
        set(s.LongDayNames[i], LocaleText(LOCALE_SDAYNAME1 + windowsDay));
    }
}

#endif

} // namespace

TFormatSettings& FormatSettings() {
    static TFormatSettings settings = [] {
        TFormatSettings s;
#ifdef _WIN32
        ReadSystemFormatSettings(s);
#endif
        return s;
    }();
    return settings;
}

std::u16string FormatDateTime(std::u16string_view format, TDateTime value, const TFormatSettings& settings) {
    TDateTimeWriter writer(value, settings);
    writer.Write(format, 0);
    return std::move(writer.Result);
}

std::u16string DateTimeToStr(TDateTime value, const TFormatSettings& settings) {
    return FormatDateTime(u"c", value, settings);
}

std::u16string DateToStr(TDateTime value, const TFormatSettings& settings) {
    return FormatDateTime(settings.ShortDateFormat, value, settings);
}

std::u16string TimeToStr(TDateTime value, const TFormatSettings& settings) {
    return FormatDateTime(settings.LongTimeFormat, value, settings);
}

TDateTime StrToDate(std::u16string_view text, const TFormatSettings& settings) {
    TScanner scan(text);
    TDateTime result;
    if (!ScanDate(scan, settings, result) || !scan.AtEnd()) NotValid(text, u"date");
    return result;
}

TDateTime StrToTime(std::u16string_view text, const TFormatSettings& settings) {
    TDateTime result;
    if (!TryStrToTime(text, settings, result)) NotValid(text, u"time");
    return result;
}

TDateTime StrToDateTime(std::u16string_view text, const TFormatSettings& settings) {
    TScanner scan(text);
    TDateTime date, time;
    if (ScanDate(scan, settings, date)) {
        const std::size_t dateEnd = scan.Position();
        if (scan.AtEnd()) return date;
        // The time must stand apart from the year: "01/01/198810:11" is no date and time.
        TScanner timeScan(text.substr(dateEnd));
        if (text[dateEnd] == u' ' && ScanTime(timeScan, settings, time) && timeScan.AtEnd())
            return ComposeDateTime(date, time);
    }
    if (TryStrToTime(text, settings, time)) return time;
    NotValid(text, u"date and time");
}

std::u16string FloatToStr(double value, const TFormatSettings& settings) {
    if (std::isnan(value)) return u"NAN";
    if (std::isinf(value)) return value > 0 ? u"INF" : u"-INF";
    if (value == 0) return u"0";  // negative zero too

    // 15 significant digits, correctly rounded: "d.dddddddddddddde+XX".
    char buffer[40];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    const std::string_view text(buffer, static_cast<std::size_t>(r.ptr - buffer));
    const std::size_t e = text.find('e');
    int exponent = 0;
    std::from_chars(text.data() + e + (text[e + 1] == '+' ? 2 : 1), text.data() + text.size(), exponent);
    std::string digits;
    for (char c : text.substr(0, e))
        if (c >= '0' && c <= '9') digits += c;
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    std::u16string out;
    if (value < 0) out += u'-';
    const auto appendDigits = [&](std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to && i < digits.size(); ++i) out += static_cast<char16_t>(digits[i]);
    };
    const int point = exponent + 1;  // digits before the decimal point
    if (point > 15 || point < -3) {
        appendDigits(0, 1);
        if (digits.size() > 1) {
            out += settings.DecimalSeparator;
            appendDigits(1, digits.size());
        }
        out += u'E';
        AppendNumber(out, exponent, 1);
    } else if (point <= 0) {
        out += u'0';
        out += settings.DecimalSeparator;
        out.append(static_cast<std::size_t>(-point), u'0');
        appendDigits(0, digits.size());
    } else {
        appendDigits(0, static_cast<std::size_t>(point));
        if (digits.size() > static_cast<std::size_t>(point)) {
            out += settings.DecimalSeparator;
            appendDigits(static_cast<std::size_t>(point), digits.size());
        } else {
            out.append(static_cast<std::size_t>(point) - digits.size(), u'0');
        }
    }
    return out;
}

double StrToFloat(std::u16string_view text, const TFormatSettings& settings) {
    const std::u16string_view trimmed = TrimBlanks(text);
    // Rebuilt in the C form for from_chars, which never looks at the process locale.
    std::string plain;
    std::size_t i = 0;
    const auto digitsAt = [&] {
        const std::size_t start = i;
        while (i < trimmed.size() && IsDigit(trimmed[i])) plain += static_cast<char>(trimmed[i++]);
        return i - start;
    };
    if (i < trimmed.size() && (trimmed[i] == u'+' || trimmed[i] == u'-')) {
        if (trimmed[i] == u'-') plain += '-';
        ++i;
    }
    std::size_t mantissa = digitsAt();
    if (i < trimmed.size() && trimmed[i] == settings.DecimalSeparator) {
        plain += '.';
        ++i;
        mantissa += digitsAt();
    }
    if (mantissa == 0) NotValid(text, u"floating point value");
    if (i < trimmed.size() && (trimmed[i] == u'e' || trimmed[i] == u'E')) {
        plain += 'e';
        ++i;
        if (i < trimmed.size() && (trimmed[i] == u'+' || trimmed[i] == u'-')) plain += static_cast<char>(trimmed[i++]);
        if (digitsAt() == 0) NotValid(text, u"floating point value");
    }
    if (i != trimmed.size()) NotValid(text, u"floating point value");
    double value = 0;
    const auto r = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (r.ec != std::errc() || r.ptr != plain.data() + plain.size()) NotValid(text, u"floating point value");
    return value;
}

std::u16string IntToStr(std::int64_t value) {
    std::u16string out;
    AppendNumber(out, value, 1);
    return out;
}

std::int32_t StrToInt(std::u16string_view text) {
    std::int64_t value;
    if (!TryStrToInt64(text, value) || value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max())
        NotValid(text, u"integer value");
    return static_cast<std::int32_t>(value);
}

std::int64_t StrToInt64(std::u16string_view text) {
    std::int64_t value;
    if (!TryStrToInt64(text, value)) NotValid(text, u"integer value");
    return value;
}

} // namespace vantrelo
