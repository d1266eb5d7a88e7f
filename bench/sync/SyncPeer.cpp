// The synchronisation benchmark's peer: what vantrelo-sync does for one run, done with the
// bare client libraries (the Firebird client and MariaDB Connector/C). The same statements
// in the same order with the same values: the three product statements and the column
// mapping come from sync/ProductMapping.cpp, the short statements are written out below.
// A yardstick only, not part of the program.
//   bench_sync_peer --settings FILE [--full]
// Prints the log lines the runner prints; on standard error, what it ran and read.
#include <algorithm>
#include <cctype>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include <ibase.h>
#include <mysql.h>

#include "bench/BenchSupport.h"
#include "sync/ProductMapping.h"

#ifndef VANTRELO_PASSWORD_KEY
#define VANTRELO_PASSWORD_KEY 0x8B
#endif

namespace {

using namespace vantrelo;

constexpr short Win1252 = 53;        // the server's id of the ANSI code page's character set
constexpr int IscDateDelta = 15018;  // days from 17 November 1858 to 30 December 1899

[[noreturn]] void Die(const std::string& what) {
    std::fprintf(stderr, "bench_sync_peer: %s\n", what.c_str());
    std::exit(1);
}

// ---- text: the local server sends UTF-8, the program and the cloud use Windows-1252 ----

const char16_t HighAnsi[32] = {0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                               0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x8D,   0x017D, 0x8F,
                               0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                               0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};

char AnsiOf(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return char(c);
    for (int i = 0; i < 32; ++i)
        if (HighAnsi[i] == c) return char(0x80 + i);
    return '?';
}

void Utf8ToAnsi(std::string_view in, std::string& out) {
    for (std::size_t i = 0; i < in.size();) {
        auto b = std::uint8_t(in[i]);
        if (b < 0x80) {
            out += char(b);
            ++i;
            continue;
        }
        int n = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : 1;
        char32_t c = b & (0x3F >> n);
        for (int k = 1; k <= n && i + k < in.size(); ++k) c = (c << 6) | (std::uint8_t(in[i + k]) & 0x3F);
        out += AnsiOf(c);
        i += std::size_t(n) + 1;
    }
}

std::string AnsiToUtf8(std::string_view in) {
    std::string out;
    out.reserve(in.size() + 8);
    for (char ch : in) {
        auto b = std::uint8_t(ch);
        char32_t c = b >= 0x80 && b < 0xA0 ? HighAnsi[b - 0x80] : b;
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xE0 | (c >> 12));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::toupper(std::uint8_t(a[i])) != std::toupper(std::uint8_t(b[i]))) return false;
    return true;
}

// The mapping's names and statement texts are plain ASCII.
std::string Narrow(std::u16string_view s) { return std::string(s.begin(), s.end()); }
std::string Narrow(const char16_t* s) { return Narrow(std::u16string_view(s ? s : u"")); }

// ---- dates: days since 30 December 1899, the time of day as the fraction ----

using bench::CivilFromDays;
using bench::DaysFromCivil;

double Now() {
    auto now = std::chrono::system_clock::now();
    std::time_t t = std::chrono::system_clock::to_time_t(now);
    std::tm tm{};
    localtime_r(&t, &tm);
    long long ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    return double(DaysFromCivil(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday)) +
           (tm.tm_hour * 3600000.0 + tm.tm_min * 60000.0 + tm.tm_sec * 1000.0 + double(ms)) / 86400000.0;
}

void Split(double value, long long& day, long long& msOfDay) {
    day = (long long)std::trunc(value);
    msOfDay = std::llround(std::fabs(value - double(day)) * 86400000.0);
    if (msOfDay >= 86400000) msOfDay -= 86400000, ++day;
}

// A MySQL literal: 'YYYY-MM-DD' or 'YYYY-MM-DD hh:mm:ss[.fff]'.
void AppendDateLiteral(std::string& sql, double value, bool withTime) {
    long long day, ms;
    Split(value, day, ms);
    int y, m, d;
    CivilFromDays(day, y, m, d);
    char buffer[40];
    int n = std::snprintf(buffer, sizeof buffer, "'%04d-%02d-%02d", y, m, d);
    if (withTime) {
        n += std::snprintf(buffer + n, sizeof buffer - std::size_t(n), " %02lld:%02lld:%02lld", ms / 3600000,
                           ms / 60000 % 60, ms / 1000 % 60);
        if (ms % 1000) n += std::snprintf(buffer + n, sizeof buffer - std::size_t(n), ".%03lld", ms % 1000);
    }
    buffer[n++] = '\'';
    sql.append(buffer, std::size_t(n));
}

int Digits(const char* p, int n) {
    int v = 0;
    for (int i = 0; i < n; ++i) v = v * 10 + (p[i] - '0');
    return v;
}

double ParseMySqlDate(const char* v, std::size_t n) {
    double value = double(DaysFromCivil(Digits(v, 4), Digits(v + 5, 2), Digits(v + 8, 2)));
    if (n >= 19) {
        double ms = Digits(v + 11, 2) * 3600000.0 + Digits(v + 14, 2) * 60000.0 + Digits(v + 17, 2) * 1000.0;
        if (n > 20) ms += std::round(std::atof(std::string(v + 19, n - 19).c_str()) * 1000.0);
        value += ms / 86400000.0;
    }
    return value;
}

ISC_DATE IscDate(double value) {
    long long day, ms;
    Split(value, day, ms);
    return ISC_DATE(day + IscDateDelta);
}

ISC_TIMESTAMP IscTimestamp(double value) {
    long long day, ms;
    Split(value, day, ms);
    return {ISC_DATE(day + IscDateDelta), ISC_TIME(ms * 10)};
}

// ---- a fetched selection: every row's values back to back, typed as fetched ----

enum class TClass : std::uint8_t { Int, Float, Date, Text, Bytes };

class TTable {
public:
    struct TColumn {
        std::string Name;
        TClass Class;
    };
    std::vector<TColumn> Columns;
    std::size_t RawBytes = 0;  // as the server sent them

    std::size_t Rows() const { return FEnds.size() / std::max<std::size_t>(Columns.size(), 1); }
    int Index(std::string_view name) const {
        for (std::size_t i = 0; i < Columns.size(); ++i)
            if (SameName(Columns[i].Name, name)) return int(i);
        return -1;
    }

    // Building a row: one Put or Null per column, in order.
    void PutInt(std::int64_t v) { Put(&v, sizeof v); }
    void PutFloat(double v) { Put(&v, sizeof v); }
    void Put(const void* data, std::size_t n) {
        FData.append(static_cast<const char*>(data), n);
        FEnds.push_back(std::uint32_t(FData.size()));
    }
    std::string& Buffer() { return FData; }  // append to it, then End()
    void End() { FEnds.push_back(std::uint32_t(FData.size())); }
    void Null() { FEnds.push_back(std::uint32_t(FData.size()) | NullBit); }

    // Reading, a null giving 0, empty text or 30 December 1899.
    bool IsNull(std::size_t row, int col) const { return FEnds[Slot(row, col)] & NullBit; }
    std::string_view Raw(std::size_t row, int col) const {
        std::size_t s = Slot(row, col);
        std::size_t begin = s == 0 ? 0 : (FEnds[s - 1] & ~NullBit);
        return std::string_view(FData).substr(begin, (FEnds[s] & ~NullBit) - begin);
    }
    std::int64_t Int(std::size_t row, int col) const {
        if (IsNull(row, col)) return 0;
        if (Columns[std::size_t(col)].Class == TClass::Int) return Load<std::int64_t>(row, col);
        return std::int64_t(std::llround(Load<double>(row, col)));
    }
    double Float(std::size_t row, int col) const {
        if (IsNull(row, col)) return 0;
        if (Columns[std::size_t(col)].Class == TClass::Int) return double(Load<std::int64_t>(row, col));
        return Load<double>(row, col);
    }
    std::string_view Text(std::size_t row, int col) const { return IsNull(row, col) ? std::string_view() : Raw(row, col); }

private:
    static constexpr std::uint32_t NullBit = 0x80000000u;
    std::size_t Slot(std::size_t row, int col) const { return row * Columns.size() + std::size_t(col); }
    template <class T> T Load(std::size_t row, int col) const {
        T v;
        std::memcpy(&v, Raw(row, col).data(), sizeof v);
        return v;
    }
    std::string FData;
    std::vector<std::uint32_t> FEnds;
};

// ---- the local database through the Firebird client ----

// Input parameters of one statement, bound by position.
class TFbInput {
public:
    explicit TFbInput(std::size_t n) : FBuffer(XSQLDA_LENGTH(std::max<std::size_t>(n, 1))), FData(n) {
        Da()->version = SQLDA_VERSION1;
        Da()->sqln = Da()->sqld = short(n);
    }
    XSQLDA* Da() { return reinterpret_cast<XSQLDA*>(FBuffer.data()); }
    std::size_t Count() const { return FData.size(); }

    void Int(std::size_t i, std::int32_t v) { Set(i, SQL_LONG, &v, sizeof v); }
    void LargeInt(std::size_t i, std::int64_t v) { Set(i, SQL_INT64, &v, sizeof v); }
    void Float(std::size_t i, double v) { Set(i, SQL_DOUBLE, &v, sizeof v); }
    void Date(std::size_t i, double v) {
        ISC_DATE d = IscDate(v);
        Set(i, SQL_TYPE_DATE, &d, sizeof d);
    }
    void DateTime(std::size_t i, double v) {
        ISC_TIMESTAMP t = IscTimestamp(v);
        Set(i, SQL_TIMESTAMP, &t, sizeof t);
    }
    void Text(std::size_t i, std::string_view ansi) {
        Set(i, SQL_TEXT, ansi.data(), ansi.size());
        Da()->sqlvar[i].sqlsubtype = Win1252;
    }
    void Blob(std::size_t i, ISC_QUAD id) { Set(i, SQL_BLOB, &id, sizeof id); }
    void Null(std::size_t i) {
        Set(i, SQL_TEXT + 1, "", 0);
        Da()->sqlvar[i].sqlind = &NullIndicator;
    }

private:
    void Set(std::size_t i, short type, const void* data, std::size_t n) {
        XSQLVAR& v = Da()->sqlvar[i];
        FData[i].assign(static_cast<const char*>(data), n);
        v.sqltype = type;
        v.sqllen = short(n);
        v.sqlsubtype = 0;
        v.sqlscale = 0;
        v.sqldata = FData[i].data();
        v.sqlind = nullptr;
    }
    std::vector<char> FBuffer;
    std::vector<std::string> FData;
    static inline short NullIndicator = -1;
};

// The statements run, by their first word.
struct TCounts {
    int Select = 0, Insert = 0, Update = 0, Other = 0;
    void Count(std::string_view sql) {
        std::size_t i = sql.find_first_not_of(" \r\n\t");
        std::string_view word = sql.substr(i == std::string_view::npos ? sql.size() : i, 6);
        if (SameName(word, "select")) ++Select;
        else if (SameName(word, "insert")) ++Insert;
        else if (SameName(word, "update")) ++Update;
        else ++Other;
    }
    int Total() const { return Select + Insert + Update + Other; }
};

class TFirebird {
public:
    TCounts Counts;
    int Commits = 0;

    void Attach(const std::string& path, const std::string& user, const std::string& password) {
        std::string dpb(1, isc_dpb_version1);
        auto add = [&](char code, const std::string& v) {
            dpb += code;
            dpb += char(v.size());
            dpb += v;
        };
        add(isc_dpb_user_name, user);
        add(isc_dpb_password, password);
        add(isc_dpb_lc_ctype, "utf-8");
        Check(isc_attach_database(FStatus, short(path.size()), path.c_str(), &FDb, short(dpb.size()), dpb.data()),
              "attach " + path);
    }
    // One read-committed transaction for the run; each change is committed as it is made.
    void Start() {
        static char tpb[] = {isc_tpb_version3, isc_tpb_read_committed, isc_tpb_rec_version, isc_tpb_nowait,
                             isc_tpb_write};
        Check(isc_start_transaction(FStatus, &FTr, 1, &FDb, short(sizeof tpb), tpb), "start transaction");
    }
    void CommitRetaining() {
        Check(isc_commit_retaining(FStatus, &FTr), "commit");
        ++Commits;
    }
    void Finish() {
        Check(isc_commit_transaction(FStatus, &FTr), "commit");
        isc_detach_database(FStatus, &FDb);
    }

    // Runs a select and keeps its rows.
    TTable Select(const std::string& sql, TFbInput* in) {
        TTable table;
        XSQLDA* out = nullptr;
        isc_stmt_handle stmt = Open(sql, in, out);
        std::vector<std::string> buffers(std::size_t(out->sqld));
        std::vector<short> nulls(std::size_t(out->sqld));
        for (int i = 0; i < out->sqld; ++i) {
            XSQLVAR& v = out->sqlvar[i];
            buffers[std::size_t(i)].resize(std::size_t(v.sqllen) + 2);
            v.sqldata = buffers[std::size_t(i)].data();
            v.sqlind = &nulls[std::size_t(i)];
            table.Columns.push_back({std::string(v.sqlname, std::size_t(v.sqlname_length)), ClassOf(v)});
        }
        ISC_STATUS r;
        while ((r = isc_dsql_fetch(FStatus, &stmt, SQL_DIALECT_V6, out)) == 0) StoreRow(table, out);
        if (r != 100) Check(r, "fetch");
        Close(stmt, out);
        return table;
    }
    // Runs a select and counts its rows.
    std::size_t SelectCount(const std::string& sql, TFbInput* in) {
        XSQLDA* out = nullptr;
        isc_stmt_handle stmt = Open(sql, in, out);
        std::vector<std::string> buffers(std::size_t(out->sqld));
        std::vector<short> nulls(std::size_t(out->sqld));
        for (int i = 0; i < out->sqld; ++i) {
            buffers[std::size_t(i)].resize(std::size_t(out->sqlvar[i].sqllen) + 2);
            out->sqlvar[i].sqldata = buffers[std::size_t(i)].data();
            out->sqlvar[i].sqlind = &nulls[std::size_t(i)];
        }
        std::size_t rows = 0;
        ISC_STATUS r;
        while ((r = isc_dsql_fetch(FStatus, &stmt, SQL_DIALECT_V6, out)) == 0) ++rows;
        if (r != 100) Check(r, "fetch");
        Close(stmt, out);
        return rows;
    }
    // Runs a statement without a result set and commits it.
    void Execute(const std::string& sql, TFbInput* in) {
        isc_stmt_handle stmt = 0;
        Check(isc_dsql_allocate_statement(FStatus, &FDb, &stmt), "allocate");
        Counts.Count(sql);
        Check(isc_dsql_prepare(FStatus, &FTr, &stmt, 0, sql.c_str(), SQL_DIALECT_V6, nullptr), sql);
        Check(isc_dsql_execute(FStatus, &FTr, &stmt, SQL_DIALECT_V6, in ? in->Da() : nullptr), sql);
        isc_dsql_free_statement(FStatus, &stmt, DSQL_drop);
        CommitRetaining();
    }
    ISC_QUAD CreateBlob(std::string_view bytes) {
        ISC_QUAD id{};
        isc_blob_handle blob = 0;
        Check(isc_create_blob2(FStatus, &FDb, &FTr, &blob, &id, 0, nullptr), "create blob");
        for (std::size_t at = 0; at < bytes.size(); at += 65535) {
            auto n = static_cast<unsigned short>(std::min<std::size_t>(65535, bytes.size() - at));
            Check(isc_put_segment(FStatus, &blob, n, bytes.data() + at), "put segment");
        }
        Check(isc_close_blob(FStatus, &blob), "close blob");
        return id;
    }

private:
    void Check(ISC_STATUS result, const std::string& what) {
        if (result == 0 && FStatus[1] == 0) return;
        char text[512];
        const ISC_STATUS* p = FStatus;
        std::string message;
        while (fb_interpret(text, sizeof text, &p)) message += std::string(text) + "; ";
        Die(what.substr(0, 200) + ": " + message);
    }
    static TClass ClassOf(const XSQLVAR& v) {
        switch (v.sqltype & ~1) {
        case SQL_SHORT: case SQL_LONG: case SQL_INT64: return v.sqlscale == 0 ? TClass::Int : TClass::Float;
        case SQL_FLOAT: case SQL_DOUBLE: case SQL_D_FLOAT: return TClass::Float;
        case SQL_TYPE_DATE: case SQL_TYPE_TIME: case SQL_TIMESTAMP: return TClass::Date;
        case SQL_BLOB: return v.sqlsubtype == 1 ? TClass::Text : TClass::Bytes;
        default: return TClass::Text;
        }
    }
    isc_stmt_handle Open(const std::string& sql, TFbInput* in, XSQLDA*& out) {
        isc_stmt_handle stmt = 0;
        Check(isc_dsql_allocate_statement(FStatus, &FDb, &stmt), "allocate");
        Counts.Count(sql);
        out = NewDa(200);
        Check(isc_dsql_prepare(FStatus, &FTr, &stmt, 0, sql.c_str(), SQL_DIALECT_V6, out), sql);
        if (out->sqld > out->sqln) {
            int n = out->sqld;
            std::free(out);
            out = NewDa(n);
            Check(isc_dsql_describe(FStatus, &stmt, SQL_DIALECT_V6, out), "describe");
        }
        Check(isc_dsql_execute(FStatus, &FTr, &stmt, SQL_DIALECT_V6, in ? in->Da() : nullptr), sql);
        return stmt;
    }
    void Close(isc_stmt_handle& stmt, XSQLDA* out) {
        isc_dsql_free_statement(FStatus, &stmt, DSQL_drop);
        std::free(out);
    }
    static XSQLDA* NewDa(int n) {
        auto* da = static_cast<XSQLDA*>(std::calloc(1, XSQLDA_LENGTH(n)));
        da->version = SQLDA_VERSION1;
        da->sqln = short(n);
        return da;
    }
    void StoreRow(TTable& table, XSQLDA* out) {
        for (int i = 0; i < out->sqld; ++i) {
            const XSQLVAR& v = out->sqlvar[i];
            if ((v.sqltype & 1) && *v.sqlind < 0) {
                table.Null();
                continue;
            }
            const char* p = v.sqldata;
            switch (v.sqltype & ~1) {
            case SQL_SHORT: table.PutInt(IntegerOf<ISC_SHORT>(table, p)); break;
            case SQL_LONG: table.PutInt(IntegerOf<ISC_LONG>(table, p)); break;
            case SQL_INT64: table.PutInt(IntegerOf<ISC_INT64>(table, p)); break;
            case SQL_FLOAT: table.PutFloat(Loaded<float>(p)); table.RawBytes += 4; break;
            case SQL_DOUBLE: case SQL_D_FLOAT: table.PutFloat(Loaded<double>(p)); table.RawBytes += 8; break;
            case SQL_TYPE_DATE: table.PutFloat(double(Loaded<ISC_DATE>(p) - IscDateDelta)); table.RawBytes += 4; break;
            case SQL_TYPE_TIME: table.PutFloat(Loaded<ISC_TIME>(p) / 864000000.0); table.RawBytes += 4; break;
            case SQL_TIMESTAMP: {
                auto t = Loaded<ISC_TIMESTAMP>(p);
                table.PutFloat(double(t.timestamp_date - IscDateDelta) + t.timestamp_time / 864000000.0);
                table.RawBytes += 8;
                break;
            }
            case SQL_VARYING: {
                auto n = Loaded<unsigned short>(p);
                Utf8ToAnsi(std::string_view(p + 2, n), table.Buffer());
                table.End();
                table.RawBytes += n;
                break;
            }
            case SQL_TEXT: {
                // A CHAR(n) comes padded to n four-byte characters: n characters are kept.
                std::size_t at = table.Buffer().size();
                Utf8ToAnsi(std::string_view(p, std::size_t(v.sqllen)), table.Buffer());
                std::size_t chars = v.sqlsubtype == 4 ? std::size_t(v.sqllen) / 4 : std::size_t(v.sqllen);
                if (table.Buffer().size() - at > chars) table.Buffer().resize(at + chars);
                table.End();
                table.RawBytes += std::size_t(v.sqllen);
                break;
            }
            case SQL_BLOB: {
                std::size_t at = table.Buffer().size();
                ReadBlob(*reinterpret_cast<const ISC_QUAD*>(p), table.Buffer());
                table.RawBytes += table.Buffer().size() - at;
                if (v.sqlsubtype == 1) {
                    std::string utf8 = table.Buffer().substr(at);
                    table.Buffer().resize(at);
                    Utf8ToAnsi(utf8, table.Buffer());
                }
                table.End();
                break;
            }
            default: Die("unexpected column type");
            }
        }
    }
    template <class T> static T Loaded(const char* p) {
        T v;
        std::memcpy(&v, p, sizeof v);
        return v;
    }
    template <class T> static std::int64_t IntegerOf(TTable& table, const char* p) {
        table.RawBytes += sizeof(T);
        return std::int64_t(Loaded<T>(p));
    }
    void ReadBlob(ISC_QUAD id, std::string& out) {
        isc_blob_handle blob = 0;
        Check(isc_open_blob2(FStatus, &FDb, &FTr, &blob, &id, 0, nullptr), "open blob");
        char chunk[65535];
        unsigned short got = 0;
        ISC_STATUS r;
        while ((r = isc_get_segment(FStatus, &blob, &got, sizeof chunk, chunk)) == 0 || FStatus[1] == isc_segment)
            out.append(chunk, got);
        if (FStatus[1] != isc_segstr_eof) Check(r, "read blob");
        Check(isc_close_blob(FStatus, &blob), "close blob");
    }

    ISC_STATUS_ARRAY FStatus{};
    isc_db_handle FDb = 0;
    isc_tr_handle FTr = 0;
};

// ---- a statement's parameters, as named in its text ----

// The names of the ":name" markers in order, and the text with "?" in their place.
struct TMarked {
    std::string Text;
    std::vector<std::string> Names;
};

TMarked Mark(const std::string& sql) {
    TMarked m;
    bool quoted = false;
    for (std::size_t i = 0; i < sql.size(); ++i) {
        char c = sql[i];
        if (c == '\'') quoted = !quoted;
        if (!quoted && c == ':' && i + 1 < sql.size() && (std::isalpha(std::uint8_t(sql[i + 1])) || sql[i + 1] == '_')) {
            std::size_t end = i + 1;
            while (end < sql.size() && (std::isalnum(std::uint8_t(sql[end])) || sql[end] == '_' || sql[end] == '$')) ++end;
            m.Names.push_back(sql.substr(i + 1, end - i - 1));
            m.Text += '?';
            i = end - 1;
            continue;
        }
        m.Text += c;
    }
    return m;
}

// What a parameter receives: the mapping's carry and the source column it reads.
struct TParamPlan {
    TCarry Carry;
    int Source = -1;  // column of the selection
};

// Every marker of a product statement with its carry, as the mapping gives it for that
// statement (upload, local update or local insert).
std::vector<TParamPlan> Plan(const std::vector<std::string>& names, TCarry TProductColumn::*carry, bool fromLocal,
                             const TTable& selection) {
    std::vector<TParamPlan> plan;
    for (const auto& name : names) {
        const TProductColumn* found = nullptr;
        for (std::size_t i = 0; i < ProductColumnCount && !found; ++i) {
            const TProductColumn& c = ProductColumns[i];
            const TCarry& k = c.*carry;
            if (k.Kind == ckNone || k.Kind == ckInStatement) continue;
            const char16_t* own = fromLocal ? c.Cloud : c.Local;
            if (SameName(Narrow(k.Param ? k.Param : own), name)) found = &c;
        }
        if (!found) Die("no mapping row for parameter " + name);
        TParamPlan p{(*found).*carry};
        const char16_t* source = p.Carry.From ? p.Carry.From : (fromLocal ? found->Local : found->Cloud);
        if (source) p.Source = selection.Index(Narrow(source));
        plan.push_back(p);
    }
    return plan;
}

// ---- the run ----

struct TSettings {
    std::string Server = "localhost", Database, User = "sysdba", Password = "masterkey";
    int Port = 3050, OverlapMinutes = 5;
};

TSettings ReadSettings(const std::string& path) {
    TSettings s;
    std::ifstream in(path);
    if (!in) Die("cannot read " + path);
    std::string section, line;
    auto trim = [](std::string v) {
        v.erase(0, v.find_first_not_of(" \t\r"));
        v.erase(v.find_last_not_of(" \t\r") + 1);
        return v;
    };
    while (std::getline(in, line)) {
        line = trim(line);
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        if (line.front() == '[') {
            section = trim(line.substr(1, line.size() - 2));
            continue;
        }
        std::size_t eq = line.find('=');
        std::string key = section + "." + trim(line.substr(0, eq)), value = trim(line.substr(eq + 1));
        if (SameName(key, "local.server")) s.Server = value;
        else if (SameName(key, "local.port")) s.Port = std::atoi(value.c_str());
        else if (SameName(key, "local.database")) s.Database = value;
        else if (SameName(key, "local.user")) s.User = value;
        else if (SameName(key, "local.password")) s.Password = value;
        else if (SameName(key, "sync.overlap_minutes")) s.OverlapMinutes = std::atoi(value.c_str());
    }
    return s;
}

std::string Stamp() {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    char buffer[32];
    std::strftime(buffer, sizeof buffer, "%d/%m/%Y %H:%M:%S", &tm);
    return buffer;
}

// Each log line as the runner prints it: at once.
void Log(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

class TPeer {
public:
    explicit TPeer(const TSettings& settings) : FSettings(settings) {}

    int Run(bool full) {
        std::string path = FSettings.Server + "/" + std::to_string(FSettings.Port) + ":" + FSettings.Database;
        FLocal.Attach(path, FSettings.User, FSettings.Password);
        FLocal.Start();
        FConfig = FLocal.Select("select * from config_geral", nullptr);
        if (FConfig.Rows() == 0) Die("no configuration row");
        FStored = FConfig.Float(0, FConfig.Index("DATAULTIMA_SIC"));
        if (full) StoreTime(double(DaysFromCivil(1905, 6, 10)));
        std::int64_t direction = FConfig.Int(0, FConfig.Index("ENVIA_OU_RECEBE"));
        if (direction < 1) Die("no direction");
        FCloud = ConnectCloud();
        bool completed = true;
        double upper = 0;
        if (direction == 1) completed = Upload(upper);
        else if (direction == 2) completed = Download(upper);
        if (completed && (direction == 1 || direction == 2)) StoreTime(upper);
        FLocal.Finish();
        mysql_close(FCloud);
        Report();
        return completed ? 0 : 1;
    }

private:
    std::string ConfigText(const char* column) const {
        return std::string(FConfig.Text(0, FConfig.Index(column)));
    }

    MYSQL* ConnectCloud() {
        ++FCloudConnects;
        MYSQL* m = mysql_init(nullptr);
        mysql_options(m, MYSQL_OPT_COMPRESS, nullptr);
        mysql_options(m, MYSQL_SET_CHARSET_NAME, "latin1");
        std::string password = ConfigText("SENHA_CLOUD");
        for (char& c : password) c = char(std::uint8_t(c) ^ std::uint8_t(VANTRELO_PASSWORD_KEY));
        if (!mysql_real_connect(m, ConfigText("SERVIDOR_CLOUD").c_str(), ConfigText("USUARIO_CLOUD").c_str(),
                                password.c_str(), ConfigText("DATABASE_CLOUD").c_str(),
                                unsigned(FConfig.Int(0, FConfig.Index("PORTA_CLOUD"))), nullptr,
                                CLIENT_FOUND_ROWS | CLIENT_MULTI_STATEMENTS))
            Die(std::string("DataBaseErro: ") + mysql_error(m));
        return m;
    }

    void CloudQuery(const std::string& sql) {
        FCloudCounts.Count(sql);
        if (mysql_real_query(FCloud, sql.data(), sql.size()) != 0) Die(std::string("Houve Erro :") + mysql_error(FCloud));
    }

    double WindowStart() const {
        double stored = FStored;
        double overlap = FSettings.OverlapMinutes / 1440.0;
        return stored > overlap ? stored - overlap : stored;
    }

    // The configuration record's new time of last synchronisation: the branch's name and
    // tax number are looked up again, then the row is written.
    void StoreTime(double when) {
        int filial = int(FConfig.Int(0, FConfig.Index("IDFILIAL")));
        std::string where = " from filial where codigo=" + std::to_string(filial);
        TTable name = FLocal.Select("select nome_fantasia" + where, nullptr);
        TTable cnpj = FLocal.Select("select CNPJ" + where, nullptr);
        TMarked update = Mark("update config_geral set SENHA_CLOUD=:SENHA_CLOUD, EMP_NOME=:EMP_NOME, "
                              "EMP_CNPJ=:EMP_CNPJ, DATAULTIMA_SIC=:DATAULTIMA_SIC where CODIGO=:CODIGO");
        TFbInput in(5);
        in.Text(0, ConfigText("SENHA_CLOUD"));
        in.Text(1, name.Rows() ? name.Text(0, 0) : "");
        in.Text(2, cnpj.Rows() ? cnpj.Text(0, 0) : "");
        in.DateTime(3, when);
        in.Int(4, std::int32_t(FConfig.Int(0, FConfig.Index("CODIGO"))));
        FLocal.Execute(update.Text, &in);
        FStored = when;
    }

    void AppendLiteral(std::string& sql, const TParamPlan& p, const TTable& rows, std::size_t row) {
        char buffer[32];
        auto number = [&](auto v) {
            auto r = std::to_chars(buffer, buffer + sizeof buffer, v);
            sql.append(buffer, r.ptr);
        };
        auto quoted = [&](std::string_view bytes) {
            FEscape.resize(bytes.size() * 2 + 1);
            unsigned long n = mysql_real_escape_string(FCloud, FEscape.data(), bytes.data(), (unsigned long)bytes.size());
            sql += '\'';
            sql.append(FEscape.data(), n);
            sql += '\'';
        };
        switch (p.Carry.Kind) {
        case ckText: case ckAnsi: case ckBytes: quoted(rows.Text(row, p.Source)); break;
        case ckInteger: number(std::int32_t(rows.Int(row, p.Source))); break;
        case ckLargeInt: number(rows.Int(row, p.Source)); break;
        case ckFloat: {
            auto r = std::to_chars(buffer, buffer + sizeof buffer, rows.Float(row, p.Source), std::chars_format::general, 15);
            sql.append(buffer, r.ptr);
            break;
        }
        case ckDate: AppendDateLiteral(sql, rows.Float(row, p.Source), false); break;
        case ckDateTime: AppendDateLiteral(sql, rows.Float(row, p.Source), true); break;
        case ckConstOne: sql += '1'; break;
        case ckConstZeroFloat: sql += '0'; break;
        case ckNow: AppendDateLiteral(sql, Now(), true); break;
        case ckConstText: quoted(Narrow(p.Carry.Text)); break;
        case ckNone: case ckInStatement: break;
        }
    }

    bool Upload(double& upper) {
        TFbInput window(2);
        window.DateTime(0, WindowStart());
        upper = Now();
        window.DateTime(1, upper);
        TTable rows = FLocal.Select(
            Mark("select *  from estoque  where  DATA_ALTERACAO  between :DI and :DF and est_codigo >0  order by est_codigo")
                .Text,
            &window);
        FRaw = rows.RawBytes;
        Log("");
        Log("Sinc P.Cloud Iniciada " + Stamp());
        // The statement's text around its markers, and what each marker receives.
        TMarked statement = Mark(Narrow(CloudInsertPart) + Narrow(CloudUpdatePart));
        std::vector<TParamPlan> plan = Plan(statement.Names, &TProductColumn::Upload, true, rows);
        std::vector<std::string> pieces;
        std::size_t from = 0;
        for (std::size_t q = statement.Text.find('?'); q != std::string::npos; q = statement.Text.find('?', q + 1)) {
            pieces.push_back(statement.Text.substr(from, q - from));
            from = q + 1;
        }
        pieces.push_back(statement.Text.substr(from));
        // A name used twice holds one value: its literal is made once per row.
        std::vector<int> first(plan.size());
        for (std::size_t i = 0; i < plan.size(); ++i) {
            first[i] = int(i);
            for (std::size_t j = 0; j < i; ++j)
                if (SameName(statement.Names[j], statement.Names[i])) {
                    first[i] = int(j);
                    break;
                }
        }
        int code = rows.Index("EST_CODIGO"), name = rows.Index("EST_PRODUTO");
        std::vector<std::string> literals(plan.size());
        std::string sql;
        for (std::size_t r = 0; r < rows.Rows(); ++r) {
            sql.clear();
            for (std::size_t i = 0; i < plan.size(); ++i) {
                sql += pieces[i];
                if (first[i] == int(i)) {
                    literals[i].clear();
                    AppendLiteral(literals[i], plan[i], rows, r);
                }
                sql += literals[std::size_t(first[i])];
            }
            sql += pieces.back();
            CloudQuery(sql);
            Log("Sinc. Add Prod.: " + std::to_string(rows.Int(r, code)) + " | " + AnsiToUtf8(rows.Text(r, name)));
        }
        Log("Sinc P.Cloud Finalizada " + Stamp());
        Log("");
        return true;
    }

    void Bind(TFbInput& in, std::size_t i, const TParamPlan& p, const TTable& rows, std::size_t row) {
        switch (p.Carry.Kind) {
        case ckText: case ckAnsi: in.Text(i, rows.Text(row, p.Source)); break;
        case ckBytes: in.Blob(i, FLocal.CreateBlob(rows.Text(row, p.Source))); break;
        case ckInteger: in.Int(i, std::int32_t(rows.Int(row, p.Source))); break;
        case ckLargeInt: in.LargeInt(i, rows.Int(row, p.Source)); break;
        case ckFloat: in.Float(i, rows.Float(row, p.Source)); break;
        case ckDate: in.Date(i, rows.Float(row, p.Source)); break;
        case ckDateTime: in.DateTime(i, rows.Float(row, p.Source)); break;
        case ckConstOne: in.Int(i, 1); break;
        case ckConstZeroFloat: in.Float(i, 0); break;
        case ckNow: in.DateTime(i, Now()); break;
        case ckConstText: in.Text(i, Narrow(p.Carry.Text)); break;
        case ckNone: case ckInStatement: break;
        }
    }

    // A product's category, group, subgroup and manufacturer exist locally before it does.
    void KeepLookups(const TTable& rows, std::size_t r) {
        static const char* const Tables[][3] = {{"categoria", "prod_idcat", "prod_nomecat"},
                                                {"grupo", "prod_idgrupo", "prod_nomegrupo"},
                                                {"subgrupo", "prod_idsubg", "prod_nomesubg"},
                                                {"fabricante", "prod_idfab", "prod_nomefab"}};
        for (const auto& t : Tables) {
            int code = std::int32_t(rows.Int(r, rows.Index(t[1])));
            if (code <= 0) continue;
            std::string table = t[0];
            if (FLocal.SelectCount("select codigo from " + table + " where codigo=" + std::to_string(code), nullptr) > 0)
                continue;
            TFbInput in(2);
            in.Int(0, code);
            in.Text(1, rows.Text(r, rows.Index(t[2])));
            FLocal.Execute(Mark("insert into " + table + " (codigo,nome) values (:c,:n)").Text, &in);
        }
    }

    void OpeningStock(int code) {
        static const TMarked movement =
            Mark("insert into Mov_Produtos (cod_filial,PROD_CODIGO,ESTOQUE_INICIAL,ESTOQUE_ATUAL,ESTOQUE_MINIMO,\n"
                 "ENTRADA,SAIDA,ENTRADA_DATA,ENTRADA_HORA,SAIDA_DATA,SAIDA_HORA,POR_USUARIO,USER_NOME,SINC) VALUES (\n"
                 ":cod_filial,:PROD_CODIGO,:ESTOQUE_INICIAL,:ESTOQUE_ATUAL,:ESTOQUE_MINIMO,\n"
                 ":ENTRADA,:SAIDA,:ENTRADA_DATA,:ENTRADA_HORA,:SAIDA_DATA,:SAIDA_HORA\n"
                 ",:POR_USUARIO,:USER_NOME,:SINC)");
        TFbInput in(14);
        int filial = FConfig.Index("IDFILIAL");
        if (FConfig.IsNull(0, filial)) in.Null(0);
        else in.Int(0, std::int32_t(FConfig.Int(0, filial)));
        in.Int(1, code);
        for (std::size_t i = 2; i <= 6; ++i) in.Int(i, i == 2 ? 1 : 0);
        auto today = [] { return std::floor(Now()); };
        auto timeOfDay = [] {
            double now = Now();
            return now - std::floor(now);
        };
        in.DateTime(7, today());
        in.DateTime(8, timeOfDay());
        in.DateTime(9, today());
        in.DateTime(10, timeOfDay());
        in.Int(11, 1);
        in.Text(12, "User-Sic");
        in.Text(13, "N");
        FLocal.Execute(movement.Text, &in);
    }

    bool Download(double& upper) {
        mysql_close(FCloud);
        FCloud = ConnectCloud();
        CloudQuery("select current_timestamp");
        MYSQL_RES* now = mysql_store_result(FCloud);
        MYSQL_ROW nowRow = mysql_fetch_row(now);
        upper = ParseMySqlDate(nowRow[0], std::strlen(nowRow[0]));
        mysql_free_result(now);

        std::string select = "select *  from produtos  where  data_alteracao  between ";
        AppendDateLiteral(select, WindowStart(), true);
        select += "  and current_timestamp   order by prod_codigo";
        CloudQuery(select);
        TTable rows = StoreCloudRows();
        FRaw = rows.RawBytes;
        Log("");
        Log("Sinc Clod P.Local Iniciada " + Stamp());
        Log("");
        Log("Sincronia Iniciada " + Stamp());

        TMarked update = Mark(Narrow(LocalUpdateStatement)), insert = Mark(Narrow(LocalInsertStatement));
        std::vector<TParamPlan> updatePlan = Plan(update.Names, &TProductColumn::LocalUpdate, false, rows);
        std::vector<TParamPlan> insertPlan = Plan(insert.Names, &TProductColumn::LocalInsert, false, rows);
        int codeColumn = rows.Index("prod_codigo"), nameColumn = rows.Index("prod_nome");
        for (std::size_t r = 0; r < rows.Rows(); ++r) {
            int code = std::int32_t(rows.Int(r, codeColumn));
            TFbInput key(1);
            key.Int(0, code);
            bool exists = FLocal.SelectCount("select est_codigo from estoque where est_codigo=?", &key) > 0;
            const TMarked& statement = exists ? update : insert;
            const std::vector<TParamPlan>& plan = exists ? updatePlan : insertPlan;
            KeepLookups(rows, r);
            TFbInput in(plan.size());
            for (std::size_t i = 0; i < plan.size(); ++i) Bind(in, i, plan[i], rows, r);
            FLocal.Execute(statement.Text, &in);
            std::string line = std::to_string(code) + " | " + AnsiToUtf8(rows.Text(r, nameColumn));
            Log((exists ? "Sinc Upd Prod.: " : "Sinc. Add Prod.: ") + line);
            if (!exists) OpeningStock(code);
        }
        Log("Sincronia Finalizada " + Stamp());
        Log("");
        return true;
    }

    // The whole cloud selection, typed as its columns are.
    TTable StoreCloudRows() {
        MYSQL_RES* result = mysql_store_result(FCloud);
        if (!result) Die(std::string("Houve Erro :        ") + mysql_error(FCloud));
        TTable table;
        unsigned n = mysql_num_fields(result);
        MYSQL_FIELD* fields = mysql_fetch_fields(result);
        for (unsigned i = 0; i < n; ++i) {
            TClass c = TClass::Text;
            switch (fields[i].type) {
            case MYSQL_TYPE_TINY: case MYSQL_TYPE_SHORT: case MYSQL_TYPE_LONG: case MYSQL_TYPE_INT24:
            case MYSQL_TYPE_LONGLONG: c = TClass::Int; break;
            case MYSQL_TYPE_FLOAT: case MYSQL_TYPE_DOUBLE: case MYSQL_TYPE_DECIMAL: case MYSQL_TYPE_NEWDECIMAL:
                c = TClass::Float; break;
            case MYSQL_TYPE_DATE: case MYSQL_TYPE_DATETIME: case MYSQL_TYPE_TIMESTAMP: c = TClass::Date; break;
            case MYSQL_TYPE_TINY_BLOB: case MYSQL_TYPE_MEDIUM_BLOB: case MYSQL_TYPE_LONG_BLOB: case MYSQL_TYPE_BLOB:
                c = fields[i].charsetnr == 63 ? TClass::Bytes : TClass::Text; break;
            default: break;
            }
            table.Columns.push_back({fields[i].name, c});
        }
        while (MYSQL_ROW row = mysql_fetch_row(result)) {
            unsigned long* lengths = mysql_fetch_lengths(result);
            for (unsigned i = 0; i < n; ++i) {
                table.RawBytes += lengths[i];
                if (!row[i]) {
                    table.Null();
                    continue;
                }
                switch (table.Columns[i].Class) {
                case TClass::Int: {
                    std::int64_t v = 0;
                    std::from_chars(row[i], row[i] + lengths[i], v);
                    table.PutInt(v);
                    break;
                }
                case TClass::Float: {
                    double v = 0;
                    std::from_chars(row[i], row[i] + lengths[i], v);
                    table.PutFloat(v);
                    break;
                }
                case TClass::Date: table.PutFloat(ParseMySqlDate(row[i], lengths[i])); break;
                default: table.Put(row[i], lengths[i]); break;
                }
            }
        }
        mysql_free_result(result);
        return table;
    }

    void Report() const {
        const TCounts& l = FLocal.Counts;
        std::fprintf(stderr,
                     "peer statements: local %d (select %d, insert %d, update %d, other %d; commits %d), "
                     "cloud %d (select %d, insert %d, update %d, other %d; connects %d); selection raw %.1f MB; "
                     "peak RSS %.1f MB\n",
                     l.Total(), l.Select, l.Insert, l.Update, l.Other, FLocal.Commits, FCloudCounts.Total(),
                     FCloudCounts.Select, FCloudCounts.Insert, FCloudCounts.Update, FCloudCounts.Other, FCloudConnects,
                     double(FRaw) / 1048576.0, bench::PeakRssMiB());
    }

    TSettings FSettings;
    TFirebird FLocal;
    TTable FConfig;
    MYSQL* FCloud = nullptr;
    TCounts FCloudCounts;
    int FCloudConnects = 0;
    double FStored = 0;
    std::size_t FRaw = 0;
    std::vector<char> FEscape;
};

} // namespace

int main(int argc, char** argv) {
    std::string settings;
    bool full = false;
    for (int i = 1; i < argc; ++i) {
        std::string_view a = argv[i];
        if (a == "--full") full = true;
        else if (a == "--settings" && i + 1 < argc) settings = argv[++i];
        else return std::fprintf(stderr, "usage: bench_sync_peer --settings FILE [--full]\n"), 2;
    }
    if (settings.empty()) return std::fprintf(stderr, "usage: bench_sync_peer --settings FILE [--full]\n"), 2;
    TPeer peer(ReadSettings(settings));
    return peer.Run(full);
}
