#include "providers/mysql/MySQLFieldConverter.h"

#include <algorithm>
#include <charconv>
#include <limits>

#include "dataaccess/DatabaseError.h"
#include "platform/CodePage.h"
#include "platform/DateTime.h"
#include "platform/Exception.h"
#include "platform/Format.h"
#include "providers/mysql/MySQLCommand.h"

namespace vantrelo {
namespace {

constexpr std::uint32_t ComputedTextLength = 65535;
constexpr int MaxBcdDigits = 14, MaxBcdScale = 4;
constexpr std::size_t MaxStringLength = 256;  // longer strings become memos without long strings

bool IsBlobCode(int t) { return t == FIELD_TYPE_JSON || (t >= FIELD_TYPE_TINY_BLOB && t <= FIELD_TYPE_BLOB) || t == FIELD_TYPE_GEOMETRY; }

TFieldType DecimalType(const TMySqlFieldInfo& info, const TMySqlTypeOptions& o) {
    if (o.CheckPrecision) {
        int digits = int(info.Length) - 1 - (info.Scale > 0 ? 1 : 0);
        if (o.EnableBCD && digits <= MaxBcdDigits && info.Scale <= MaxBcdScale) return ftBCD;
        return o.EnableFMTBCD ? ftFMTBcd : ftFloat;
    }
    return o.EnableFMTBCD ? ftFMTBcd : o.EnableBCD ? ftBCD : ftFloat;
}

std::u16string NameText(const AnsiString& text, bool utf8) {
    return utf8 ? Utf8ToUnicode(text.View()) : AnsiToUnicode(text);
}

[[noreturn]] void NotAFloat(const char* text, std::size_t length) {
    throw EConvertError(u"'" + AnsiToUnicode(std::string_view(text, length)) + u"' is not a valid floating point value");
}

// Digits at fixed places of a date text, read without checking: a text that is no date
// gives a value the calendar check turns down.
int Digits(const char* p, std::size_t count) {
    int v = 0;
    for (std::size_t i = 0; i < count; ++i) v = v * 10 + (static_cast<unsigned char>(p[i]) - '0');
    return v;
}

int TwoDigitYear(int yy) { return yy < 70 ? 2000 + yy : 1900 + yy; }

// A fraction of up to scale digits as milliseconds (kept from microseconds).
int FractionMs(const char* p, std::size_t available, int scale) {
    std::size_t n = std::min<std::size_t>(available, scale > 6 ? 6 : (scale < 0 ? 0 : std::size_t(scale)));
    int micro = 0;
    std::size_t i = 0;
    for (; i < n && p[i] >= '0' && p[i] <= '9'; ++i) micro = micro * 10 + (p[i] - '0');
    for (; i < 6; ++i) micro *= 10;
    return micro / 1000;
}

} // namespace

TFieldDesc DescribeMySqlField(const TMySqlFieldInfo& info, const TMySqlTypeOptions& o) {
    TFieldDesc d;
    bool utf8Names = o.Utf8;
    d.Name = NameText(info.Name, utf8Names);
    d.ActualName = NameText(info.OrgName, utf8Names);
    d.TableName = NameText(info.OrgTable.IsEmpty() ? info.Table : info.OrgTable, utf8Names);
    int t = info.MyType;
    bool binary = info.Flags & BINARY_FLAG;
    bool binaryBytes = binary && info.CharsetNr == BinaryCharsetNr && !o.BinaryAsString;
    bool isUnsigned = info.Flags & UNSIGNED_FLAG;
    TFieldType type;
    switch (t) {
    case FIELD_TYPE_DECIMAL: case FIELD_TYPE_NEWDECIMAL: type = DecimalType(info, o); break;
    case FIELD_TYPE_TINY:
        type = info.Length == 1 && o.EnableBoolean ? ftBoolean : isUnsigned ? ftByte : ftShortint;
        break;
    case FIELD_TYPE_SHORT: type = isUnsigned ? ftWord : ftSmallint; break;
    case FIELD_TYPE_LONG: type = isUnsigned ? ftLongWord : ftInteger; break;
    case FIELD_TYPE_FLOAT: type = ftFloat; d.SubType = SubTypeSingle; break;
    case FIELD_TYPE_DOUBLE: type = ftFloat; break;
    case FIELD_TYPE_NULL: type = ftString; d.ReadOnly = true; break;
    case FIELD_TYPE_TIMESTAMP: case FIELD_TYPE_DATETIME: type = ftDateTime; break;
    case FIELD_TYPE_LONGLONG: type = info.Length < 12 && o.OptimizedBigint ? ftInteger : ftLargeint; break;
    case FIELD_TYPE_INT24: type = ftInteger; break;
    case FIELD_TYPE_DATE: case FIELD_TYPE_NEWDATE: type = ftDate; break;
    case FIELD_TYPE_TIME: type = ftTime; break;
    case FIELD_TYPE_YEAR: type = ftWord; break;
    case FIELD_TYPE_VARCHAR: case FIELD_TYPE_VAR_STRING: type = binaryBytes ? ftVarBytes : ftString; break;
    case FIELD_TYPE_BIT: type = info.Length < 32 && o.OptimizedBigint ? ftInteger : ftLargeint; break;
    case FIELD_TYPE_ENUM: case FIELD_TYPE_SET: type = ftString; break;
    case FIELD_TYPE_STRING:
        type = binaryBytes ? ftBytes : ftString;
        d.Fixed = true;
        d.SubType = SubTypeFixed;
        break;
    default:
        if (!IsBlobCode(t)) DatabaseError(u"Unknown MySQL datatype (" + Format(u"%d", {t}) + u")");
        type = binary ? ftBlob : ftMemo;
        break;
    }
    if (o.UseUnicode) {
        if (type == ftString) type = ftWideString;
        else if (type == ftMemo) type = ftWideMemo;
    }
    if (o.FieldsAsString && !IsBlobCode(t)) type = o.UseUnicode ? ftWideString : ftString;
    // A long computed text (no table) is a memo.
    if (t == FIELD_TYPE_VAR_STRING && info.Length == ComputedTextLength && info.Table.IsEmpty())
        type = binary ? ftBlob : o.UseUnicode ? ftWideMemo : ftMemo;
    if (!o.LongStrings && (type == ftString || type == ftWideString) && info.Length > MaxStringLength)
        type = type == ftString ? ftMemo : ftWideMemo;
    d.DataType = type;

    d.Length = int(std::min<std::uint32_t>(info.Length, std::numeric_limits<int>::max()));
    bool dateCode = t == FIELD_TYPE_TIMESTAMP || (t >= FIELD_TYPE_DATE && t <= FIELD_TYPE_DATETIME);
    if (dateCode && info.CharsetNr != BinaryCharsetNr && o.DBCharLength > 1) d.Length /= o.DBCharLength;
    if ((t == FIELD_TYPE_DECIMAL || t == FIELD_TYPE_NEWDECIMAL) && info.Scale == 0 && d.Length > 0) --d.Length;

    if (type == ftFloat || type == ftBCD || type == ftFMTBcd) d.Scale = info.Scale;
    else if ((type == ftDate || type == ftTime || type == ftDateTime) && o.ServerPrimaryVer == 5 && o.ServerMinorVer > 2)
        d.Scale = info.Scale;

    d.IsAutoIncrement = info.Flags & AUTO_INCREMENT_FLAG;
    d.Required = (info.Flags & NOT_NULL_FLAG) && !d.IsAutoIncrement && t != FIELD_TYPE_TIMESTAMP;
    d.IsKey = info.Flags & KEY_FLAGS;
    d.IsUnsigned = isUnsigned;
    d.IsBinary = binary;
    return d;
}

double ParseMySqlFloat(const char* text, std::size_t length) {
    std::size_t i = 0;
    bool negative = false;
    if (i < length && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::size_t start = i, digits = 0;
    bool dot = false;
    for (; i < length; ++i) {
        if (text[i] >= '0' && text[i] <= '9') ++digits;
        else if (text[i] == '.' && !dot) dot = true;
        else break;
    }
    if (digits == 0) NotAFloat(text, length);
    if (i < length) {
        if (text[i] != 'e' && text[i] != 'E') NotAFloat(text, length);
        std::size_t e = i + 1, j = e;
        if (j < length && (text[j] == '+' || text[j] == '-')) ++j;
        bool expDigits = false;
        for (; j < length; ++j) {
            if (text[j] < '0' || text[j] > '9') break;
            expDigits = true;
        }
        if (!expDigits || j < length)
            throw EConvertError(u"'" + AnsiToUnicode(std::string_view(text + e, length - e)) +
                                u"' is not a valid integer value");
    }
    double v = 0;
    auto r = std::from_chars(text + start, text + length, v, std::chars_format::general);
    if (r.ec != std::errc() || r.ptr != text + length) NotAFloat(text, length);
    return negative ? -v : v;
}

void TMySqlRowConverter::Prepare(const std::vector<TMySqlFieldInfo>& infos, const std::vector<TFieldDesc>& fields,
                                 const TMySqlTypeOptions& o) {
    FNullForZeroDate = o.NullForZeroDate;
    FColumns.clear();
    FColumns.reserve(fields.size());
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const TFieldDesc& f = fields[i];
        const TMySqlFieldInfo& info = infos[i];
        bool bit = info.MyType == FIELD_TYPE_BIT;
        TColumn c{TKind::Bytes, 0, f.Scale, f.Name};
        switch (f.DataType) {
        case ftString: case ftFixedChar:
            c.Kind = TKind::String;
            c.Cut = o.UseUnicode ? 0 : info.Length;
            break;
        case ftMemo: c.Kind = TKind::String; break;
        case ftWideString: case ftFixedWideChar: case ftWideMemo: c.Kind = TKind::WideString; break;
        case ftShortint: case ftByte: case ftSmallint: case ftWord: case ftInteger:
            c.Kind = bit ? TKind::Bit32 : TKind::Int32;
            break;
        case ftLongWord: case ftLargeint: c.Kind = bit ? TKind::Bit64 : TKind::Int64; break;
        case ftBoolean: c.Kind = TKind::Boolean; break;
        case ftSingle: c.Kind = TKind::Single; break;
        case ftFloat: case ftCurrency: case ftBCD: case ftFMTBcd:
            c.Kind = f.SubType == SubTypeSingle ? TKind::Single : TKind::Float;
            break;
        case ftDate: c.Kind = TKind::Date; break;
        case ftTime:
            c.Kind = TKind::Time;
            c.Scale = info.Scale;
            break;
        case ftDateTime: case ftTimeStamp: c.Kind = TKind::DateTime; break;
        default: c.Kind = TKind::Bytes; break;
        }
        FColumns.push_back(std::move(c));
    }
}

void TMySqlRowConverter::Convert(const std::uint8_t* row, const std::vector<TMySqlBind>& binds,
                                 TRecordWriter& record) const {
    const char* base = reinterpret_cast<const char*>(row);
    for (std::size_t i = 0; i < FColumns.size(); ++i) {
        const TMySqlBind& b = binds[i];
        if (b.IsNull) {
            record.SetNull(i);
            continue;
        }
        ConvertValue(FColumns[i], i, base + b.Offset, b.Length, record);
    }
}

void TMySqlRowConverter::SetInvalidDate(std::size_t index, TRecordWriter& record) const {
    if (FNullForZeroDate) record.SetNull(index);
    else record.SetDateTime(index, MySqlZeroDateMarker());
}

void TMySqlRowConverter::ConvertValue(const TColumn& c, std::size_t i, const char* text, std::size_t length,
                                      TRecordWriter& record) const {
    switch (c.Kind) {
    case TKind::String:
        record.SetBytes(i, text, c.Cut && length > c.Cut ? c.Cut : length);
        return;
    case TKind::WideString: {
        std::u16string wide = Utf8ToUnicode(std::string_view(text, length));
        record.SetBytes(i, wide.data(), wide.size() * sizeof(char16_t));
        return;
    }
    case TKind::Int32: case TKind::Boolean: case TKind::Int64: {
        // Digit by digit, as the server writes integers.
        std::size_t k = 0;
        bool negative = length > 0 && text[0] == '-';
        if (negative) k = 1;
        std::uint64_t v = 0;
        for (; k < length; ++k) v = v * 10 + std::uint64_t(static_cast<unsigned char>(text[k]) - '0');
        if (negative) v = 0 - v;
        if (c.Kind == TKind::Int64) record.SetInt64(i, std::int64_t(v));
        else if (c.Kind == TKind::Boolean) record.SetBoolean(i, v != 0);
        else record.SetInt32(i, std::int32_t(std::uint32_t(v)));
        return;
    }
    case TKind::Bit32: case TKind::Bit64: {
        std::uint64_t v = 0;
        for (std::size_t k = 0; k < length; ++k) v = v << 8 | static_cast<unsigned char>(text[k]);
        if (c.Kind == TKind::Bit64) record.SetInt64(i, std::int64_t(v));
        else record.SetInt32(i, std::int32_t(std::uint32_t(v)));
        return;
    }
    case TKind::Float: record.SetDouble(i, ParseMySqlFloat(text, length)); return;
    case TKind::Single: record.SetDouble(i, double(float(ParseMySqlFloat(text, length)))); return;
    case TKind::Date: {
        TDateTime d;
        if (length >= 10 && TryEncodeDate(Digits(text, 4), Digits(text + 5, 2), Digits(text + 8, 2), d))
            record.SetDateTime(i, d);
        else SetInvalidDate(i, record);
        return;
    }
    case TKind::DateTime: {
        int y, mo, d, h = 0, mi = 0, s = 0, ms = 0;
        switch (length) {
        case 19: case 21: case 22: case 23: case 24: case 25: case 26:
            y = Digits(text, 4), mo = Digits(text + 5, 2), d = Digits(text + 8, 2);
            h = Digits(text + 11, 2), mi = Digits(text + 14, 2), s = Digits(text + 17, 2);
            if (length > 20) ms = FractionMs(text + 20, length - 20, c.Scale);
            break;
        case 14:
            y = Digits(text, 4), mo = Digits(text + 4, 2), d = Digits(text + 6, 2);
            h = Digits(text + 8, 2), mi = Digits(text + 10, 2), s = Digits(text + 12, 2);
            break;
        case 12: case 10:
            y = TwoDigitYear(Digits(text, 2)), mo = Digits(text + 2, 2), d = Digits(text + 4, 2);
            h = Digits(text + 6, 2), mi = Digits(text + 8, 2);
            if (length == 12) s = Digits(text + 10, 2);
            break;
        case 8: y = Digits(text, 4), mo = Digits(text + 4, 2), d = Digits(text + 6, 2); break;
        case 6: y = TwoDigitYear(Digits(text, 2)), mo = Digits(text + 2, 2), d = Digits(text + 4, 2); break;
        case 4: y = TwoDigitYear(Digits(text, 2)), mo = Digits(text + 2, 2), d = 1; break;
        case 2: y = TwoDigitYear(Digits(text, 2)), mo = 1, d = 1; break;
        default:
            throw EConvertError(Format(u"Invalid FIELD_TYPE_TIMESTAMP Field.Length (%d)", {int(length)}));
        }
        TDateTime date, time;
        if (TryEncodeDate(y, mo, d, date) && TryEncodeTime(h, mi, s, ms, time))
            record.SetDateTime(i, ComposeDateTime(date, time));
        else SetInvalidDate(i, record);
        return;
    }
    case TKind::Time: {
        std::size_t k = 0;
        bool negative = length > 0 && text[0] == '-';
        if (negative) k = 1;
        std::uint64_t hours = 0;
        bool valid = k < length;
        for (; k < length && text[k] != ':'; ++k) {
            if (text[k] < '0' || text[k] > '9') {
                valid = false;
                break;
            }
            if (hours > 999) throw EConvertError(Format(u"Wrong time format at field %s", {c.Name}));
            hours = hours * 10 + std::uint64_t(text[k] - '0');
        }
        int minutes = 0, seconds = 0, ms = 0;
        if (valid && k + 6 <= length && text[k] == ':' && text[k + 3] == ':') {
            minutes = Digits(text + k + 1, 2);
            seconds = Digits(text + k + 4, 2);
            k += 6;
            if (k < length && text[k] == '.') ms = FractionMs(text + k + 1, length - k - 1, c.Scale);
        } else {
            valid = false;
        }
        if (!valid || minutes < 0 || minutes > 59 || seconds < 0 || seconds > 59) {
            SetInvalidDate(i, record);
            return;
        }
        double total = (double(hours) * 3600000.0 + minutes * 60000.0 + seconds * 1000.0 + ms) / MSecsPerDay;
        record.SetDateTime(i, TDateTime(negative ? -total : total));
        return;
    }
    case TKind::Bytes: record.SetBytes(i, text, length); return;
    }
}

} // namespace vantrelo
