// Benchmark of the MySQL provider through TDbConnection/TDbQuery, with compression on:
//   bench_mysql setup    creates and fills the tables (run once before the others)
//   bench_mysql upsert   2,000 executions of the per-product insert-or-update statement
//   bench_mysql fetch    fetches 20,000 rows and reads every field
// The server comes from the VANTRELO_MYSQL_* variables (scripts/test-servers.sh env).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "bench/mysql/BenchSchema.h"
#include "dataaccess/DbConnection.h"
#include "dataaccess/DbQuery.h"
#include "platform/CodePage.h"
#include "platform/Exception.h"
#include "providers/mysql/MySQLConnection.h"
#include "providers/mysql/MySQLDbProvider.h"
#include "providers/mysql/MySqlProtocolApi.h"

using namespace vantrelo;

namespace {

using bench::Env;

std::unique_ptr<TDbConnection> Connect() {
    RegisterMySQLProvider();
    auto c = std::make_unique<TDbConnection>(u"BaseCloud");
    c->SetProviderName(u"MySQL");
    c->SetServer(AsciiToUnicode(Env("VANTRELO_MYSQL_HOST", "127.0.0.1")));
    c->SetPort(std::atoi(Env("VANTRELO_MYSQL_PORT", "13306").c_str()));
    c->SetDatabase(AsciiToUnicode(Env("VANTRELO_MYSQL_DATABASE")));
    c->SetUsername(AsciiToUnicode(Env("VANTRELO_MYSQL_USER")));
    c->SetPassword(AsciiToUnicode(Env("VANTRELO_MYSQL_PASSWORD")));
    c->ProviderOptions().Add(u"MySQL.Charset=latin1");
    c->ProviderOptions().Add(u"MySQL.Compress=True");
    c->SetLoginPrompt(false);
    c->Connect();
    return c;
}

void Exec(TDbConnection& c, const std::string& sql) {
    TDbQuery q;
    q.SetConnection(&c);
    q.SQL().SetText(AsciiToUnicode(sql));
    q.ExecSQL();
}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// The upload's loop: the statement text is set anew for every product, then every
// parameter is looked up by name and set from the row's typed value.
double Upsert(TDbConnection& c, const std::string& table) {
    const auto& cols = bench::Columns();
    auto rows = bench::ProductRows();
    std::vector<TBytes> photos;
    for (int r = 1; r <= bench::DistinctProducts; ++r) photos.push_back(bench::Photo(r));
    std::vector<std::u16string> names;
    for (const auto& col : cols) names.push_back(AsciiToUnicode(col.Name));
    std::u16string sql = AsciiToUnicode(bench::UpsertSql(table, true));
    Exec(c, "TRUNCATE TABLE " + table);

    TDbQuery q(u"sqlCloud");
    q.SetConnection(&c);
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < bench::Executions; ++i) {
        std::size_t r = std::size_t(i % bench::DistinctProducts);
        q.SQL().Clear();
        q.SQL().Add(sql);
        for (std::size_t k = 0; k < cols.size(); ++k) {
            TDbParam& p = q.ParamByName(names[k]);
            const bench::TValue& v = rows[r][k];
            switch (cols[k].Kind) {
            case bench::TKind::Int: p.SetAsInteger(std::int32_t(v.Integer)); break;
            case bench::TKind::BigInt: p.SetAsLargeInt(v.Integer); break;
            case bench::TKind::Bool: p.SetAsBoolean(v.Integer != 0); break;
            case bench::TKind::Double: case bench::TKind::Decimal: p.SetAsFloat(v.Number); break;
            case bench::TKind::Date: p.SetAsDate(TDateTime(v.Number)); break;
            case bench::TKind::DateTime: p.SetAsDateTime(TDateTime(v.Number)); break;
            default: p.SetAsAnsiString(AnsiString(v.Text)); break;
            }
        }
        q.ParamByName(u"prod_foto").SetAsBytes(photos[r]);
        q.ExecSQL();
    }
    return Seconds(start);
}

void Setup() {
    auto c = Connect();
    for (const char* table : {"bench_upsert", "bench_fetch"}) {
        Exec(*c, std::string("DROP TABLE IF EXISTS ") + table);
        Exec(*c, bench::CreateTable(table));
    }
    Upsert(*c, "bench_fetch");
    std::string names;
    for (const auto& col : bench::Columns()) names += col.Name + ", ";
    std::string rest = names.substr(std::strlen("prod_codigo, ")) + "prod_foto";
    for (int k = 1; k < bench::FetchRows / bench::DistinctProducts; ++k)
        Exec(*c, "INSERT INTO bench_fetch (prod_codigo, " + rest + ") SELECT prod_codigo + " +
                     std::to_string(k * bench::DistinctProducts) + ", " + rest + " FROM bench_fetch WHERE prod_codigo <= " +
                     std::to_string(bench::DistinctProducts));
    std::printf("setup: bench_upsert and bench_fetch (%d rows) ready\n", bench::FetchRows);
}

// The result's size as it arrives, the sum of its values' lengths (the figure the peer
// reports): read once more through the provider's own protocol layer, after the timed part.
std::size_t RawResultSize(TDbConnection& c, const std::string& sql) {
    auto& connection = dynamic_cast<TMySQLConnection&>(*c.ProviderConnection());
    TMySqlSession& session = connection.RequireSession();
    TMySqlProtocolApi& api = connection.API();
    if (api.mysql_real_query(session, sql.data(), sql.size()) != 0) connection.RaiseError(nullptr);
    auto result = api.mysql_use_result(session);
    std::size_t raw = 0;
    while (result && api.mysql_fetch_row(*result))
        for (const TMySqlBind& b : result->Binds()) raw += b.IsNull ? 0 : b.Length;
    std::u16string error = api.mysql_errno(session) != 0 ? session.Ferror : u"";
    api.mysql_free_result(result);
    if (!error.empty()) throw Exception(error);
    return raw;
}

void Fetch() {
    auto c = Connect();
    const auto& cols = bench::Columns();
    std::size_t rssBefore = bench::PeakRssKb();
    auto start = std::chrono::steady_clock::now();
    TDbQuery q(u"sqlCloud");
    q.SetConnection(c.get());
    q.SQL().SetText(u"SELECT * FROM bench_fetch");
    q.Open();
    std::vector<TField*> fields;
    for (const auto& col : cols) fields.push_back(&q.FieldByName(AsciiToUnicode(col.Name)));
    TField& photo = q.FieldByName(u"prod_foto");
    std::int64_t integers = 0;
    double numbers = 0;
    std::size_t bytes = 0;
    int rows = 0;
    for (q.First(); !q.Eof(); q.Next(), ++rows) {
        for (std::size_t k = 0; k < cols.size(); ++k) {
            TField& f = *fields[k];
            switch (cols[k].Kind) {
            case bench::TKind::Int: integers += f.AsInteger(); break;
            case bench::TKind::BigInt: integers += f.AsLargeInt(); break;
            case bench::TKind::Bool: integers += f.AsBoolean(); break;
            case bench::TKind::Double: case bench::TKind::Decimal: numbers += f.AsFloat(); break;
            case bench::TKind::Date: case bench::TKind::DateTime: numbers += f.AsDateTime().Value; break;
            default: bytes += f.AsAnsiString().Length(); break;
            }
        }
        bytes += photo.AsBytes().size();
    }
    double seconds = Seconds(start);
    std::size_t peak = bench::PeakRssKb();
    q.Close();
    std::size_t raw = RawResultSize(*c, "SELECT * FROM bench_fetch");
    std::printf("fetch: %d rows in %.3f s; peak RSS %.1f MB (%.1f MB before); raw result %.1f MB; checksum %lld %.1f %zu\n",
                rows, seconds, peak / 1024.0, rssBefore / 1024.0, raw / 1048576.0, static_cast<long long>(integers),
                numbers, bytes);
}

} // namespace

int main(int argc, char** argv) {
    std::string what = argc > 1 ? argv[1] : "";
    try {
        if (what == "setup") {
            Setup();
        } else if (what == "upsert") {
            auto c = Connect();
            double s = Upsert(*c, "bench_upsert");
            std::printf("upsert: %d executions in %.3f s\n", bench::Executions, s);
        } else if (what == "fetch") {
            Fetch();
        } else {
            std::fprintf(stderr, "usage: bench_mysql setup|upsert|fetch\n");
            return 2;
        }
    } catch (const Exception& e) {
        std::fprintf(stderr, "error: %s\n", e.what());
        return 1;
    }
    return 0;
}
