#include "providers/mysql/MySQLCommand.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

#include "dataaccess/DatabaseError.h"
#include "platform/CodePage.h"
#include "platform/DateTime.h"
#include "platform/Format.h"
#include "providers/mysql/MySQLConnection.h"

namespace vantrelo {
namespace {

constexpr int NoCommandTimeout = 31536000;   // a year stands for "no limit"
constexpr double ZeroDateMarkerValue = -657434.0;  // 0100-01-01 00:00:00
constexpr std::int64_t MSecsInDay = 86400000;
constexpr std::size_t NumberLiteralBound = 40;
constexpr std::size_t DateLiteralBound = 48;
constexpr std::size_t ConvertedTextBound = 64;  // a number or date written as text

// The second byte of a backslash escape, 0 for bytes copied as they are.
constexpr std::array<char, 256> BackslashEscapes = [] {
    std::array<char, 256> t{};
    t[0x00] = '0';
    t[0x0A] = 'n';
    t[0x0D] = 'r';
    t[0x1A] = 'Z';
    t[0x22] = '"';
    t[0x27] = '\'';
    t[0x5C] = '\\';
    return t;
}();

enum class TLiteralKind { Date, Time, DateTime, Number, Currency, Boolean, Text, Bytes, Integer };

TLiteralKind KindOf(TFieldType type) {
    switch (type) {
    case ftDate: return TLiteralKind::Date;
    case ftTime: return TLiteralKind::Time;
    case ftDateTime: case ftTimeStamp: return TLiteralKind::DateTime;
    case ftSingle: case ftFloat: case ftFMTBcd: return TLiteralKind::Number;
    case ftCurrency: case ftBCD: return TLiteralKind::Currency;
    case ftBoolean: return TLiteralKind::Boolean;
    case ftString: case ftFixedChar: case ftWideString: case ftFixedWideChar: case ftMemo: case ftWideMemo:
        return TLiteralKind::Text;
    case ftBytes: case ftVarBytes: case ftBlob: case ftUnknown: return TLiteralKind::Bytes;
    default: return TLiteralKind::Integer;
    }
}

bool IsAscii(std::u16string_view text) {
    for (char16_t c : text)
        if (c >= 0x80) return false;
    return true;
}

std::string Encode(std::u16string_view text, bool utf8) {
    if (IsAscii(text)) return std::string(text.begin(), text.end());
    return utf8 ? UnicodeToUtf8(text) : UnicodeToAnsi(text).Bytes();
}

std::string_view BytesView(const TBytes& b) { return {reinterpret_cast<const char*>(b.data()), b.size()}; }

void AppendText(std::string& sql, const TVariant& value, const TMySqlLiteralStyle& style) {
    if (auto a = value.TryGet<AnsiString>()) {
        if (style.Utf8) AppendQuotedBytes(sql, AnsiToUtf8(*a), style.Backslashes);
        else AppendQuotedBytes(sql, a->View(), style.Backslashes);
    } else if (auto b = value.TryGet<TBytes>()) {
        AppendQuotedBytes(sql, BytesView(*b), style.Backslashes);
    } else if (auto u = value.TryGet<std::u16string>()) {
        AppendQuotedBytes(sql, Encode(*u, style.Utf8), style.Backslashes);
    } else {
        AppendQuotedBytes(sql, Encode(value.AsString(), style.Utf8), style.Backslashes);
    }
}

void AppendBytes(std::string& sql, const TVariant& value, const TMySqlLiteralStyle& style) {
    if (auto b = value.TryGet<TBytes>()) AppendQuotedBytes(sql, BytesView(*b), style.Backslashes);
    else if (auto a = value.TryGet<AnsiString>()) AppendQuotedBytes(sql, a->View(), style.Backslashes);
    else if (auto u = value.TryGet<std::u16string>()) AppendQuotedBytes(sql, Encode(*u, style.Utf8), style.Backslashes);
    else AppendQuotedBytes(sql, value.AsAnsiString().View(), style.Backslashes);
}

void AppendNumber(std::string& sql, double v, bool currency) {
    char buffer[64];
    std::to_chars_result r;
    if (!currency) {
        r = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::general, 15);
    } else {
        r = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, 4);
        if (r.ec == std::errc()) {
            char* end = r.ptr;
            while (end[-1] == '0') --end;
            if (end[-1] == '.') --end;
            r.ptr = end;
        }
    }
    if (r.ec == std::errc()) sql.append(buffer, r.ptr);
}

void AppendInteger(std::string& sql, std::int64_t v) {
    char buffer[24];
    auto r = std::to_chars(buffer, buffer + sizeof buffer, v);
    sql.append(buffer, r.ptr);
}

// The day number and the milliseconds of the day, the fraction counting forward from
// midnight of the day the integral part names (also for dates before 1899).
void SplitDateTime(double value, double& day, std::int64_t& msOfDay) {
    day = std::trunc(value);
    msOfDay = std::llround(std::fabs(value - day) * double(MSecsInDay));
    if (msOfDay >= MSecsInDay) {
        msOfDay -= MSecsInDay;
        day += 1;
    }
}

// Digits of a non-negative number, at least width of them.
void AppendDigits(std::string& sql, std::uint64_t v, int width) {
    char buffer[24];
    char* end = buffer + sizeof buffer;
    char* p = end;
    do {
        *--p = char('0' + v % 10);
        v /= 10;
        --width;
    } while (v > 0 || width > 0);
    sql.append(p, std::size_t(end - p));
}

void AppendDateTime(std::string& sql, TDateTime value, bool withTime) {
    double day;
    std::int64_t ms;
    SplitDateTime(value.Value, day, ms);
    TDateParts d = DecodeDate(TDateTime(day));
    sql.push_back('\'');
    AppendDigits(sql, std::uint64_t(d.Year), 4);
    sql.push_back('-');
    AppendDigits(sql, std::uint64_t(d.Month), 2);
    sql.push_back('-');
    AppendDigits(sql, std::uint64_t(d.Day), 2);
    if (withTime) {
        sql.push_back(' ');
        AppendDigits(sql, std::uint64_t(ms / 3600000), 2);
        sql.push_back(':');
        AppendDigits(sql, std::uint64_t(ms / 60000 % 60), 2);
        sql.push_back(':');
        AppendDigits(sql, std::uint64_t(ms / 1000 % 60), 2);
        if (ms % 1000 > 0) {
            sql.push_back('.');
            AppendDigits(sql, std::uint64_t(ms % 1000), 3);
        }
    }
    sql.push_back('\'');
}

// A time of day or a duration: hours may run past 24, and a negative value gets a sign.
void AppendTime(std::string& sql, TDateTime value) {
    std::int64_t total = std::llround(value.Value * double(MSecsInDay));
    bool negative = total < 0;
    std::uint64_t a = negative ? std::uint64_t(-(total + 1)) + 1 : std::uint64_t(total);
    std::uint64_t seconds = a / 1000, ms = a % 1000;
    sql += negative ? "'-" : "'";
    AppendDigits(sql, seconds / 3600, 1);
    sql.push_back(':');
    AppendDigits(sql, seconds / 60 % 60, 2);
    sql.push_back(':');
    AppendDigits(sql, seconds % 60, 2);
    if (ms > 0) {
        sql.push_back('.');
        AppendDigits(sql, ms, 3);
    }
    sql.push_back('\'');
}

std::size_t TextBound(const TVariant& value, const TMySqlLiteralStyle& style) {
    if (auto a = value.TryGet<AnsiString>()) return 2 + 2 * a->Length() * (style.Utf8 ? 3 : 1);
    if (auto b = value.TryGet<TBytes>()) return 2 + 2 * b->size();
    if (auto u = value.TryGet<std::u16string>()) return 2 + 2 * u->size() * (style.Utf8 ? 3 : 1);
    return 2 + 2 * ConvertedTextBound;
}

} // namespace

TDateTime MySqlZeroDateMarker() { return TDateTime(ZeroDateMarkerValue); }

void AppendQuotedBytes(std::string& sql, std::string_view bytes, bool backslashes) {
    sql.push_back('\'');
    const char* run = bytes.data();
    const char* end = run + bytes.size();
    if (backslashes) {
        for (const char* p = run; p < end; ++p) {
            char e = BackslashEscapes[static_cast<std::uint8_t>(*p)];
            if (!e) continue;
            sql.append(run, std::size_t(p - run));
            sql.push_back('\\');
            sql.push_back(e);
            run = p + 1;
        }
    } else {
        for (const char* p = run; p < end; ++p) {
            if (*p != '\'') continue;
            sql.append(run, std::size_t(p - run + 1));
            sql.push_back('\'');
            run = p + 1;
        }
    }
    sql.append(run, std::size_t(end - run));
    sql.push_back('\'');
}

std::size_t LiteralSizeBound(TFieldType type, const TVariant& value, const TMySqlLiteralStyle& style) {
    if (value.IsNull()) return 4;
    switch (KindOf(type)) {
    case TLiteralKind::Date: case TLiteralKind::Time: case TLiteralKind::DateTime: return DateLiteralBound;
    case TLiteralKind::Text: case TLiteralKind::Bytes: return TextBound(value, style);
    default: return NumberLiteralBound;
    }
}

void AppendValueToSQL(std::string& sql, TFieldType type, const TVariant& value, const TMySqlLiteralStyle& style) {
    if (value.IsNull()) {
        sql += "NULL";
        return;
    }
    TLiteralKind kind = KindOf(type);
    if (kind == TLiteralKind::Date || kind == TLiteralKind::Time || kind == TLiteralKind::DateTime) {
        TDateTime v = value.AsDateTime();
        if (v.Value == ZeroDateMarkerValue) {
            sql += "'0000-00-00 00:00:00'";
            return;
        }
        if (kind == TLiteralKind::Time) AppendTime(sql, v);
        else AppendDateTime(sql, v, kind == TLiteralKind::DateTime);
        return;
    }
    switch (kind) {
    case TLiteralKind::Number: AppendNumber(sql, value.AsFloat(), false); break;
    case TLiteralKind::Currency: AppendNumber(sql, value.AsFloat(), true); break;
    case TLiteralKind::Boolean: sql.push_back(value.AsBoolean() ? '1' : '0'); break;
    case TLiteralKind::Text: AppendText(sql, value, style); break;
    case TLiteralKind::Bytes: AppendBytes(sql, value, style); break;
    default: AppendInteger(sql, value.AsLargeInt()); break;
    }
}

// ---- TMySQLCommand ----

TMySQLCommand::TMySQLCommand(TMySQLConnection& connection) : FConnection(connection) {}

// The connection may be gone by now: only a result still attached to a live session is
// read away, through the session itself.
TMySQLCommand::~TMySQLCommand() {
    if (FSQLResult && FSQLResult->Session()) TMySqlProtocolApi::Direct().mysql_free_result(FSQLResult);
}

void TMySQLCommand::SetSQL(const TParsedSql& sql) {
    // The upload sets the same text for every product: its encoded segments stay valid.
    bool same = sql.Text == FSQL && sql.Params.size() == FMarkers.size() &&
                std::equal(FMarkers.begin(), FMarkers.end(), sql.Params.begin(),
                           [](std::size_t at, const TParamOccurrence& p) { return at == p.Position; });
    if (same) return;
    FSQL = sql.Text;
    FMarkers.clear();
    FMarkers.reserve(sql.Params.size());
    for (const auto& p : sql.Params) FMarkers.push_back(p.Position);
    FSegmentsReady = false;
}

void TMySQLCommand::SetSQL(std::u16string_view text) {
    FSQL.assign(text);
    FMarkers.clear();
    FSegmentsReady = false;
}

TMySqlLiteralStyle TMySQLCommand::Style() const { return {FConnection.NeedBackslashes(), FConnection.IsUtf8()}; }

// The text between the markers is encoded once, not at every execution.
void TMySQLCommand::PrepareSegments(const TMySqlLiteralStyle& style) {
    FSegments.clear();
    FSegments.reserve(FMarkers.size() + 1);
    std::size_t from = 0;
    for (std::size_t at : FMarkers) {
        FSegments.push_back(Encode(std::u16string_view(FSQL).substr(from, at - from), style.Utf8));
        from = at + 1;
    }
    FSegments.push_back(Encode(std::u16string_view(FSQL).substr(std::min(from, FSQL.size())), style.Utf8));
    FSegmentsUtf8 = style.Utf8;
    FSegmentsReady = true;
}

std::string TMySQLCommand::BuildStatement(std::span<const TDbParam> params) {
    TMySqlLiteralStyle style = Style();
    if (!FSegmentsReady || FSegmentsUtf8 != style.Utf8) PrepareSegments(style);
    std::string text;
    if (params.empty() || FMarkers.empty()) {
        if (FMarkers.empty()) return FSegments[0];
        return Encode(FSQL, style.Utf8);
    }
    if (FMarkers.size() != params.size())
        DatabaseError(Format(u"Incorrect parameter count. Expected: %d; Actual: %d",
                             {FMarkers.size(), params.size()}),
                      FComponent);
    std::size_t size = 0;
    for (const auto& s : FSegments) size += s.size();
    for (const auto& p : params) size += LiteralSizeBound(p.DataType(), p.Value(), style);
    text.reserve(size);
    for (std::size_t i = 0; i < params.size(); ++i) {
        text += FSegments[i];
        AppendValueToSQL(text, params[i].DataType(), params[i].Value(), style);
    }
    text += FSegments.back();
    return text;
}

void TMySQLCommand::Execute(std::span<const TDbParam> params, bool wantRows) {
    TMySqlSession& session = FConnection.RequireSession();
    TMySqlProtocolApi& api = FConnection.API();
    if (FSQLResult) Close();
    session.commandTimeout = FCommandTimeout == 0 ? NoCommandTimeout : FCommandTimeout;
    FCursorState = csExecuting;
    std::string text = BuildStatement(params);
    if (FOnExecute) FOnExecute(text);
    if (api.mysql_real_query(session, text.data(), text.size()) != 0) {
        FCursorState = csInactive;
        FConnection.RaiseError(FComponent);
    }
    FRowsAffectedPrev = FRowsAffected;
    FRowsAffected = session.affectedRows;
    if (!wantRows) {
        Close();
        FCursorState = csExecuted;
        return;
    }
    FSQLResult = api.mysql_use_result(session);
    while (!FSQLResult && api.mysql_more_results(session)) {
        int rc = api.mysql_next_result(session);
        if (rc > 0) FConnection.RaiseError(FComponent);
        if (rc < 0) break;
        if (session.affectedRows > 0) FRowsAffected += session.affectedRows;
        FSQLResult = api.mysql_use_result(session);
    }
    FCursorState = FSQLResult ? csFetching : csExecuted;
}

void TMySQLCommand::FreeResult(TMySqlSession& session) {
    if (!FSQLResult && session.status != msReady) FSQLResult = FConnection.API().mysql_use_result(session);
    if (FSQLResult && FConnection.API().mysql_free_result(FSQLResult) != 0) FConnection.RaiseError(FComponent);
}

void TMySQLCommand::Close() {
    FCursorState = csInactive;
    TMySqlSession* session = FConnection.Session();
    if (!session || (FSQLResult && FSQLResult->Session() != session)) {
        FSQLResult.reset();
        return;
    }
    TMySqlProtocolApi& api = FConnection.API();
    FreeResult(*session);
    while (api.mysql_more_results(*session)) {
        int rc = api.mysql_next_result(*session);
        if (rc > 0) FConnection.RaiseError(FComponent);
        if (rc < 0) break;
        FreeResult(*session);
    }
}

} // namespace vantrelo
