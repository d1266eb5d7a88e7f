// The benchmark's peer: MariaDB Connector/C doing the same work as bench_mysql, with
// compression on, its own escaping for the statement, and every value converted to the
// program's C++ types. Only a yardstick: the product never uses this library.
//   bench_mysql_peer upsert | fetch
#include <charconv>
#include <cmath>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <mysql.h>

#include "bench/BenchSupport.h"
#include "bench/mysql/BenchSchema.h"
#include "platform/AnsiString.h"
#include "platform/Bytes.h"
#include "platform/DateTime.h"

namespace {

using bench::Env;

MYSQL* Connect() {
    MYSQL* m = mysql_init(nullptr);
    mysql_options(m, MYSQL_OPT_COMPRESS, nullptr);
    mysql_options(m, MYSQL_SET_CHARSET_NAME, "latin1");
    if (!mysql_real_connect(m, Env("VANTRELO_MYSQL_HOST", "127.0.0.1").c_str(), Env("VANTRELO_MYSQL_USER").c_str(),
                            Env("VANTRELO_MYSQL_PASSWORD").c_str(), Env("VANTRELO_MYSQL_DATABASE").c_str(),
                            unsigned(std::atoi(Env("VANTRELO_MYSQL_PORT", "13306").c_str())), nullptr,
                            CLIENT_FOUND_ROWS | CLIENT_MULTI_STATEMENTS)) {
        std::fprintf(stderr, "connect: %s\n", mysql_error(m));
        std::exit(1);
    }
    return m;
}

void Query(MYSQL* m, const std::string& sql) {
    if (mysql_real_query(m, sql.data(), sql.size()) != 0) {
        std::fprintf(stderr, "query: %s\n", mysql_error(m));
        std::exit(1);
    }
}

void AppendEscaped(MYSQL* m, std::string& sql, const char* data, std::size_t n, std::vector<char>& scratch) {
    scratch.resize(2 * n + 1);
    unsigned long k = mysql_real_escape_string(m, scratch.data(), data, (unsigned long)n);
    sql += '\'';
    sql.append(scratch.data(), k);
    sql += '\'';
}

void AppendDate(std::string& sql, double days, bool withTime) {
    long long day = (long long)days;
    int y, mo, d;
    bench::CivilFromDays(day, y, mo, d);
    char buffer[40];
    int n;
    if (withTime) {
        long long s = std::llround((days - double(day)) * 86400.0);
        n = std::snprintf(buffer, sizeof buffer, "'%04d-%02d-%02d %02lld:%02lld:%02lld'", y, mo, d, s / 3600, s / 60 % 60,
                          s % 60);
    } else {
        n = std::snprintf(buffer, sizeof buffer, "'%04d-%02d-%02d'", y, mo, d);
    }
    sql.append(buffer, std::size_t(n));
}

void AppendValue(MYSQL* m, std::string& sql, bench::TKind kind, const bench::TValue& v, std::vector<char>& scratch) {
    char buffer[32];
    switch (kind) {
    case bench::TKind::Int: case bench::TKind::BigInt: case bench::TKind::Bool: {
        auto r = std::to_chars(buffer, buffer + sizeof buffer, kind == bench::TKind::Bool ? (v.Integer != 0) : v.Integer);
        sql.append(buffer, r.ptr);
        break;
    }
    case bench::TKind::Double: case bench::TKind::Decimal: {
        auto r = std::to_chars(buffer, buffer + sizeof buffer, v.Number, std::chars_format::general, 15);
        sql.append(buffer, r.ptr);
        break;
    }
    case bench::TKind::Date: AppendDate(sql, v.Number, false); break;
    case bench::TKind::DateTime: AppendDate(sql, v.Number, true); break;
    default: AppendEscaped(m, sql, v.Text.data(), v.Text.size(), scratch); break;
    }
}

double Upsert(MYSQL* m) {
    const auto& cols = bench::Columns();
    auto rows = bench::ProductRows();
    std::vector<vantrelo::TBytes> photos;
    for (int r = 1; r <= bench::DistinctProducts; ++r) photos.push_back(bench::Photo(r));
    Query(m, "TRUNCATE TABLE bench_upsert");
    std::string names;
    for (const auto& c : cols) names += c.Name + ", ";
    std::string head = "INSERT INTO bench_upsert (" + names + "prod_foto)\r\nVALUES (";
    std::vector<char> scratch;
    std::string sql;
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < bench::Executions; ++i) {
        const auto& row = rows[std::size_t(i % bench::DistinctProducts)];
        const auto& photo = photos[std::size_t(i % bench::DistinctProducts)];
        sql.clear();
        sql += head;
        for (std::size_t k = 0; k < cols.size(); ++k) {
            AppendValue(m, sql, cols[k].Kind, row[k], scratch);
            sql += ", ";
        }
        AppendEscaped(m, sql, reinterpret_cast<const char*>(photo.data()), photo.size(), scratch);
        sql += ")\r\n ON DUPLICATE KEY UPDATE ";
        for (std::size_t k = 1; k < cols.size(); ++k) {
            sql += cols[k].Name;
            sql += " = ";
            AppendValue(m, sql, cols[k].Kind, row[k], scratch);
            sql += ", ";
        }
        sql += "prod_foto = ";
        AppendEscaped(m, sql, reinterpret_cast<const char*>(photo.data()), photo.size(), scratch);
        sql += ", prod_codigo = ";
        AppendValue(m, sql, cols[0].Kind, row[0], scratch);
        Query(m, sql);
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

int Digits(const char* p, int n) {
    int v = 0;
    for (int i = 0; i < n; ++i) v = v * 10 + (p[i] - '0');
    return v;
}

void Fetch(MYSQL* m) {
    const auto& cols = bench::Columns();
    std::size_t rssBefore = bench::PeakRssKb();
    auto start = std::chrono::steady_clock::now();
    Query(m, "SELECT * FROM bench_fetch");
    MYSQL_RES* result = mysql_store_result(m);
    std::int64_t integers = 0;
    double numbers = 0;
    std::size_t bytes = 0, raw = 0;
    int rows = 0;
    unsigned fieldCount = mysql_num_fields(result);
    while (MYSQL_ROW row = mysql_fetch_row(result)) {
        unsigned long* lengths = mysql_fetch_lengths(result);
        for (unsigned k = 0; k < fieldCount; ++k) raw += lengths[k];
        for (std::size_t k = 0; k < cols.size(); ++k) {
            const char* v = row[k];
            std::size_t n = lengths[k];
            switch (cols[k].Kind) {
            case bench::TKind::Int: {
                std::int32_t x = 0;
                std::from_chars(v, v + n, x);
                integers += x;
                break;
            }
            case bench::TKind::BigInt: case bench::TKind::Bool: {
                std::int64_t x = 0;
                std::from_chars(v, v + n, x);
                integers += cols[k].Kind == bench::TKind::Bool ? (x != 0) : x;
                break;
            }
            case bench::TKind::Double: case bench::TKind::Decimal: {
                double x = 0;
                std::from_chars(v, v + n, x);
                numbers += x;
                break;
            }
            case bench::TKind::Date: case bench::TKind::DateTime: {
                vantrelo::TDateTime t(bench::DaysFromCivil(Digits(v, 4), Digits(v + 5, 2), Digits(v + 8, 2)));
                if (n >= 19) t.Value += (Digits(v + 11, 2) * 3600 + Digits(v + 14, 2) * 60 + Digits(v + 17, 2)) / 86400.0;
                numbers += t.Value;
                break;
            }
            default: {
                vantrelo::AnsiString s(v, n);
                bytes += s.Length();
                break;
            }
            }
        }
        const char* p = row[cols.size()];
        vantrelo::TBytes photo(reinterpret_cast<const std::uint8_t*>(p),
                               reinterpret_cast<const std::uint8_t*>(p) + lengths[cols.size()]);
        bytes += photo.size();
        ++rows;
    }
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::size_t peak = bench::PeakRssKb();
    mysql_free_result(result);
    std::printf("fetch: %d rows in %.3f s; peak RSS %.1f MB (%.1f MB before); raw result %.1f MB; checksum %lld %.1f %zu\n",
                rows, seconds, peak / 1024.0, rssBefore / 1024.0, raw / 1048576.0, static_cast<long long>(integers),
                numbers, bytes);
}

} // namespace

int main(int argc, char** argv) {
    std::string what = argc > 1 ? argv[1] : "";
    MYSQL* m = Connect();
    if (what == "upsert") std::printf("upsert: %d executions in %.3f s\n", bench::Executions, Upsert(m));
    else if (what == "fetch") Fetch(m);
    else {
        std::fprintf(stderr, "usage: bench_mysql_peer upsert|fetch\n");
        return 2;
    }
    mysql_close(m);
    return 0;
}
