// Fetch benchmark of the InterBase provider: 20,000 rows of a product table of 150 columns
// with a 2 KB photo each, read through TDbQuery with Last(). Its peer, DirectFetch, reads
// the same rows with the client library alone.
//   bench_interbase setup   creates and fills the table (the database must exist)
//   bench_interbase fetch   times connect + Open + Last and reports peak memory
// Server and database come from VANTRELO_FB_HOST, _PORT, _USER, _PASSWORD and
// VANTRELO_BENCH_DB (the database file).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/BenchSupport.h"
#include "dataaccess/DbConnection.h"
#include "dataaccess/DbQuery.h"
#include "platform/CodePage.h"
#include "platform/Exception.h"
#include "providers/interbase/InterBaseDbProvider.h"


using namespace vantrelo;

namespace {

constexpr int Rows = 20000;

using bench::Env;

std::u16string Number(int n) { return AsciiToUnicode(std::to_string(n)); }
std::u16string Two(int n) { return AsciiToUnicode((n < 10 ? "0" : "") + std::to_string(n)); }

// The columns, with the value each gets in row :I (a variable of the filling block): the
// one description of the table.
struct TColumn {
    std::u16string Name, Type, Value;
};

std::vector<TColumn> Columns() {
    std::vector<TColumn> c;
    c.push_back({u"EST_CODIGO", u"INTEGER NOT NULL PRIMARY KEY", u":I"});
    for (int n = 1; n <= 5; ++n)  // names with accents
        c.push_back({u"NOME" + Two(n), u"VARCHAR(80)", u"'A\u00e7\u00facar cristal ' || :I || ' lote \u00e9 ' || " + Number(n)});
    for (int n = 1; n <= 25; ++n) c.push_back({u"TXT" + Two(n), u"VARCHAR(60)", u"'texto ' || " + Number(n) + u" || ' ' || :I"});
    for (int n = 1; n <= 9; ++n) c.push_back({u"REF" + Two(n), u"VARCHAR(20)", u"'R' || :I"});
    for (int n = 1; n <= 10; ++n) c.push_back({u"FLG" + Two(n), u"CHAR(1)", u"'S'"});
    for (int n = 1; n <= 50; ++n) c.push_back({u"VAL" + Two(n), u"NUMERIC(15,2)", u":I * " + Number(n) + u" / 100.0"});
    for (int n = 1; n <= 10; ++n) c.push_back({u"PCT" + Two(n), u"NUMERIC(15,4)", u":I / 7.0"});
    for (int n = 1; n <= 20; ++n) c.push_back({u"INT" + Two(n), u"INTEGER", u":I + " + Number(n)});
    for (int n = 1; n <= 10; ++n) c.push_back({u"SML" + Two(n), u"SMALLINT", Number(n)});
    for (int n = 1; n <= 5; ++n) c.push_back({u"DT" + Two(n), u"DATE", u"DATE '2024-01-01' + MOD(:I, 365)"});
    for (int n = 1; n <= 3; ++n) c.push_back({u"TS" + Two(n), u"TIMESTAMP", u"TIMESTAMP '2024-01-01 08:00:00' + MOD(:I, 365)"});
    c.push_back({u"EST_OBS", u"VARCHAR(200)", u"'observa\u00e7\u00e3o do produto ' || :I"});
    c.push_back({u"EST_FOTO", u"BLOB SUB_TYPE 0", u"CAST(LPAD(:I, 2048, 'F') AS BLOB SUB_TYPE 0)"});
    return c;
}

void Configure(TDbConnection& c) {
    RegisterInterBaseProvider();
    c.SetProviderName(u"InterBase");
    c.SetServer(Utf8ToUnicode(Env("VANTRELO_FB_HOST", "127.0.0.1")));
    c.SetPort(std::atoi(Env("VANTRELO_FB_PORT", "3050").c_str()));
    c.SetDatabase(Utf8ToUnicode(Env("VANTRELO_BENCH_DB")));
    c.SetUsername(Utf8ToUnicode(Env("VANTRELO_FB_USER", "SYSDBA")));
    c.SetPassword(Utf8ToUnicode(Env("VANTRELO_FB_PASSWORD")));
    c.SetLoginPrompt(false);
    c.ProviderOptions().Add(u"InterBase.Charset=utf-8");
}

void Setup() {
    TDbConnection c(u"BaseLocal");
    Configure(c);
    c.Connect();
    std::vector<TColumn> columns = Columns();
    std::u16string create = u"CREATE TABLE ESTOQUE (", names, values;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const char16_t* sep = i ? u", " : u"";
        create += sep + columns[i].Name + u" " + columns[i].Type;
        names += sep + columns[i].Name;
        values += sep + columns[i].Value;
    }
    TDbQuery q(u"sqlSetup");
    q.SetConnection(&c);
    q.SQL().SetText(create + u")");
    q.ExecSQL();
    q.SQL().SetText(u"EXECUTE BLOCK AS DECLARE I INTEGER = 1; BEGIN WHILE (I <= " + Number(Rows) +
                    u") DO BEGIN INSERT INTO ESTOQUE (" + names + u") VALUES (" + values + u"); I = I + 1; END END");
    q.ExecSQL();
    std::printf("setup: %zu columns, %d rows\n", columns.size(), Rows);
}

void Fetch() {
    auto started = std::chrono::steady_clock::now();
    TDbConnection c(u"BaseLocal");
    Configure(c);
    c.Connect();
    TDbQuery q(u"sqlProdLocal");
    q.SetConnection(&c);
    q.SQL().SetText(u"select * from estoque order by EST_CODIGO");
    q.Open();
    q.Last();
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    int rows = q.RecordCount();

    // The values' own size, counted as the peer counts it (text and blob bytes as held).
    std::size_t raw = 0;
    for (q.First(); !q.Eof(); q.Next())
        for (const auto& f : q.Fields()) {
            if (f->IsNull()) continue;
            switch (StorageKindOf(f->DataType())) {
            case TStorageKind::Ansi: raw += f->AsAnsiString().Length(); break;
            case TStorageKind::Bytes: raw += f->AsBytes().size(); break;
            case TStorageKind::Int32: raw += f->DataType() == ftSmallint ? 2 : 4; break;
            case TStorageKind::DateTime: raw += f->DataType() == ftDateTime ? 8 : 4; break;
            default: raw += 8; break;
            }
        }
    std::printf("query: rows=%d columns=%zu seconds=%.3f peak_rss_mb=%.1f raw_mb=%.1f\n", rows, q.Fields().size(),
                seconds, bench::PeakRssMiB(), raw / 1048576.0);
}

} // namespace

int main(int argc, char** argv) {
    std::string mode = argc > 1 ? argv[1] : "fetch";
    try {
        if (mode == "setup") Setup();
        else Fetch();
    } catch (const Exception& e) {
        std::fprintf(stderr, "error: %s\n", e.what());
        return 1;
    }
    return 0;
}
