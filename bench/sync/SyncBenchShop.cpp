// The shop the synchronisation benchmark runs on, made and checked through the program's
// own data access: a cloud database with the fixture's tables, a local database (made by
// run-bench.sh with isql) filled with products, its configuration row pointing at the
// cloud, and a digest of what a run left behind, so that the runner's and the peer's
// results can be compared.
//   bench_sync_shop cloud                   (re)creates the cloud database
//   bench_sync_shop drop-cloud              drops it
//   bench_sync_shop local PRODUCTS          fills the local database
//   bench_sync_shop direction D [PORT]      the configuration row's direction (and cloud port)
//   bench_sync_shop digest                  one line: what the local and the cloud tables hold
// Settings from the environment: VANTRELO_FB_* and VANTRELO_MYSQL_* of scripts/test-servers.sh,
// VANTRELO_BENCH_DB (the local database file) and VANTRELO_BENCH_CLOUD_DB (the cloud database).
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "dataaccess/DbConnection.h"
#include "dataaccess/DbQuery.h"
#include "dataaccess/TextUtils.h"
#include "platform/CodePage.h"
#include "platform/Exception.h"
#include "providers/interbase/InterBaseDbProvider.h"
#include "providers/mysql/MySQLDbProvider.h"
#include "sync/Dmdados.h"
#include "sync/ProductMapping.h"

namespace {

using namespace vantrelo;
using bench::Env;

std::u16string U(const std::string& s) { return Utf8ToUnicode(s); }

void Configure(TDbConnection& local, TDbConnection& cloud, bool withCloudDatabase) {
    local.SetProviderName(u"InterBase");
    local.SetServer(U(Env("VANTRELO_FB_HOST", "127.0.0.1")));
    local.SetPort(std::stoi(Env("VANTRELO_FB_PORT", "3050")));
    local.SetDatabase(U(Env("VANTRELO_BENCH_DB")));
    local.SetUsername(U(Env("VANTRELO_FB_USER", "SYSDBA")));
    local.SetPassword(U(Env("VANTRELO_FB_PASSWORD")));
    local.SetLoginPrompt(false);
    local.ProviderOptions().Add(u"InterBase.Charset=utf-8");

    cloud.SetProviderName(u"MySQL");
    cloud.SetServer(U(Env("VANTRELO_MYSQL_HOST", "127.0.0.1")));
    cloud.SetPort(std::stoi(Env("VANTRELO_MYSQL_PORT", "13306")));
    cloud.SetUsername(U(Env("VANTRELO_MYSQL_USER")));
    cloud.SetPassword(U(Env("VANTRELO_MYSQL_PASSWORD")));
    cloud.SetLoginPrompt(false);
    cloud.ProviderOptions().Add(u"MySQL.Charset=latin1");
    if (withCloudDatabase) cloud.SetDatabase(U(Env("VANTRELO_BENCH_CLOUD_DB")));
}

void Exec(TDbConnection& connection, const std::u16string& sql) {
    TDbQuery q;
    q.SetConnection(&connection);
    q.SQL().SetText(sql);
    q.ExecSQL();
}

std::string Fixture(const char* name) {
    std::ifstream in(std::string(VANTRELO_SOURCE_DIR) + "/tests/fixtures/" + name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void MakeCloud(TDbConnection& cloud) {
    std::u16string name = U(Env("VANTRELO_BENCH_CLOUD_DB"));
    Exec(cloud, u"drop database if exists " + name);
    Exec(cloud, u"create database " + name + u" character set latin1");
    cloud.SetDatabase(name);
    std::istringstream script(Fixture("cloud_schema.sql"));
    std::string statement;
    for (std::string line; std::getline(script, line);) {
        if (line.rfind("--", 0) == 0) continue;
        statement += line + "\n";
        if (!line.empty() && line.back() == ';') {
            statement.pop_back();
            statement.pop_back();
            Exec(cloud, U(statement));
            statement.clear();
        }
    }
}

// ---- the products: every column of estoque set, names with accents, 2 KB photos ----

const char16_t* const Words[] = {u"Pão", u"Açúcar", u"Café", u"Maçã", u"Limão", u"Feijão", u"Óleo",
                                 u"Sabão", u"Pêssego", u"Camarão", u"Ração", u"Coração", u"Água"};

std::u16string Phrase(int row, int column, int size) {
    std::u16string text;
    std::size_t target = std::size_t(size) * 3 / 5;
    for (int k = 0; text.size() < target; ++k) {
        if (!text.empty()) text += u' ';
        text += Words[(row * 7 + column * 3 + k) % 13];
        if (k == 1) text += u" nº " + U(std::to_string(row));
    }
    if (text.size() > std::size_t(size)) text.resize(std::size_t(size));
    return text;
}

TBytes Photo(int row) {
    TBytes photo(2048);
    std::uint32_t x = 2463534242u + std::uint32_t(row);
    for (auto& b : photo) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        b = std::uint8_t(x);
    }
    // The bytes that need escaping in a literal or care on the wire.
    photo[0] = 0x00;
    photo[1] = 0x27;
    photo[2] = 0x5C;
    return photo;
}

// The code-and-name pairs: a few dozen codes each, the name a function of the code.
struct TPair {
    const char16_t* Code;
    const char16_t* Name;
    const char16_t* Label;
    int Codes;
};
const TPair Pairs[] = {{u"PROD_IDCAT", u"PROD_NOMECAT", u"Categoria", 20},
                       {u"PROD_IDGRUPO", u"PROD_NOMEGRUPO", u"Grupo", 50},
                       {u"PROD_IDSUBG", u"PROD_NOMESUBG", u"Subgrupo ação", 100},
                       {u"PROD_IDFAB", u"PROD_NOMEFAB", u"Fabricação", 30}};

void SetProduct(TDbQuery& q, int row, TDateTime changed) {
    for (std::size_t i = 0; i < ProductColumnCount; ++i) {
        const TProductColumn& c = ProductColumns[i];
        if (!c.Local) continue;
        TDbParam& p = q.ParamByName(c.Local);
        std::u16string_view name = c.Local;
        int column = int(i);
        if (name == u"EST_CODIGO") {
            p.SetAsInteger(row);
            continue;
        }
        if (name == u"DATA_ALTERACAO") {
            p.SetAsDateTime(changed);
            continue;
        }
        bool paired = false;
        for (const auto& pair : Pairs) {
            int code = 1 + row % pair.Codes;
            if (name == pair.Code) p.SetAsInteger(code), paired = true;
            if (name == pair.Name) p.SetAsString(std::u16string(pair.Label) + u" nº " + U(std::to_string(code))), paired = true;
        }
        if (paired) continue;
        // What the cloud column holds too (a unit of 12 characters would not fit its 10).
        int size = c.Cloud && c.CloudSize > 0 ? std::min(c.LocalSize, c.CloudSize) : c.LocalSize;
        switch (c.LocalType) {
        case ftString: p.SetAsString(Phrase(row, column, size)); break;
        case ftFixedChar: {
            std::u16string text;
            for (int k = 0; k < c.LocalSize; ++k) text += char16_t(u'A' + (row + column + k) % 26);
            p.SetAsString(c.LocalSize == 1 ? ((row + column) % 2 ? u"S" : u"N") : text);
            break;
        }
        case ftInteger: p.SetAsInteger((row * 31 + column) % 100000); break;
        case ftLargeint: p.SetAsLargeInt(9000000000LL + row); break;
        case ftFloat: p.SetAsFloat(double(row % 997) + column * 0.25); break;
        case ftDate: p.SetAsDate(TDateTime(43831.0 + row % 1500)); break;  // from 1 January 2020
        case ftDateTime: p.SetAsDateTime(TDateTime(43831.0 + row % 1500 + (row % 86400) / 86400.0)); break;
        case ftBlob: p.SetAsBytes(Photo(row)); break;
        default: break;
        }
    }
}

void FillLocal(TDbConnection& local, int products) {
    Exec(local, u"insert into filial (CODIGO, NOME_FANTASIA, CNPJ) values (1, 'Loja Central São Jorge', "
                u"'12.345.678/0001-90')");
    TDbQuery config;
    config.SetConnection(&local);
    config.SQL().SetText(u"insert into config_geral (CODIGO, IDFILIAL, PDV_NCAIXA, TEMPO_SIMNAO, TEMPO_SINCRO, "
                         u"ENVIA_OU_RECEBE, DATAULTIMA_SIC, SERVIDOR_CLOUD, PORTA_CLOUD, DATABASE_CLOUD, USUARIO_CLOUD, "
                         u"SENHA_CLOUD) values (1, 1, 1, 1, 1, 1, '2000-01-01 00:00:00', :s, :p, :d, :u, :w)");
    config.ParamByName(u"s").SetAsString(U(Env("VANTRELO_MYSQL_HOST", "127.0.0.1")));
    config.ParamByName(u"p").SetAsInteger(std::stoi(Env("VANTRELO_MYSQL_PORT", "13306")));
    config.ParamByName(u"d").SetAsString(U(Env("VANTRELO_BENCH_CLOUD_DB")));
    config.ParamByName(u"u").SetAsString(U(Env("VANTRELO_MYSQL_USER")));
    config.ParamByName(u"w").SetAsString(TDmdados::GetCriptarSenha(U(Env("VANTRELO_MYSQL_PASSWORD"))));
    config.ExecSQL();

    std::u16string columns, markers;
    for (std::size_t i = 0; i < ProductColumnCount; ++i) {
        if (!ProductColumns[i].Local) continue;
        if (!columns.empty()) columns += u",", markers += u",";
        columns += ProductColumns[i].Local;
        markers += std::u16string(u":") + ProductColumns[i].Local;
    }
    TDbQuery insert;
    insert.SetConnection(&local);
    insert.SQL().SetText(u"insert into estoque (" + columns + u") values (" + markers + u")");
    TDateTime yesterday(Now().Value - 1);
    local.SetAutoCommit(false);  // one transaction for all: committed when the connection closes
    for (int row = 1; row <= products; ++row) {
        SetProduct(insert, row, yesterday);
        insert.ExecSQL();
    }
}

void SetDirection(TDbConnection& local, int direction, int port) {
    TDbQuery q;
    q.SetConnection(&local);
    q.SQL().SetText(u"update config_geral set ENVIA_OU_RECEBE=:e, PORTA_CLOUD=:p");
    q.ParamByName(u"e").SetAsInteger(direction);
    q.ParamByName(u"p").SetAsInteger(port);
    q.ExecSQL();
}

// ---- the digest: every value a run writes, but the times of change it stamps ----

struct THash {
    std::uint64_t Value = 1469598103934665603ULL;
    void Add(const void* data, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i) Value = (Value ^ static_cast<const std::uint8_t*>(data)[i]) * 1099511628211ULL;
    }
};

std::string Digest(TDbConnection& connection, const std::u16string& sql, std::initializer_list<std::u16string_view> skip) {
    TDbQuery q;
    q.SetConnection(&connection);
    q.SQL().SetText(sql);
    q.Open();
    THash h;
    int rows = 0;
    for (q.First(); !q.Eof(); q.Next(), ++rows) {
        for (const auto& f : q.Fields()) {
            bool skipped = false;
            for (auto s : skip) skipped = skipped || SameText(f->FieldName(), s);
            if (skipped) continue;
            if (f->DataType() == ftBlob) {
                TBytes b = f->AsBytes();
                h.Add(b.data(), b.size());
            } else {
                std::u16string s = f->IsNull() ? u"<null>" : f->AsString();
                h.Add(s.data(), s.size() * 2);
            }
            h.Add("|", 1);
        }
    }
    char text[64];
    std::snprintf(text, sizeof text, "%d:%016llx", rows, static_cast<unsigned long long>(h.Value));
    return text;
}

} // namespace

int main(int argc, char** argv) {
    std::string what = argc > 1 ? argv[1] : "";
    try {
        RegisterMySQLProvider();
        RegisterInterBaseProvider();
        TDbConnection local, cloud;
        Configure(local, cloud, what != "cloud" && what != "drop-cloud");
        if (what == "cloud") {
            MakeCloud(cloud);
        } else if (what == "drop-cloud") {
            Exec(cloud, U("drop database if exists " + Env("VANTRELO_BENCH_CLOUD_DB")));
        } else if (what == "local" && argc > 2) {
            FillLocal(local, std::stoi(argv[2]));
        } else if (what == "direction" && argc > 2) {
            SetDirection(local, std::stoi(argv[2]), argc > 3 ? std::stoi(argv[3]) : std::stoi(Env("VANTRELO_MYSQL_PORT", "13306")));
        } else if (what == "digest") {
            std::printf("estoque %s mov %s lookups %s %s %s %s produtos %s\n",
                        Digest(local, u"select * from estoque order by EST_CODIGO", {u"DATA_ALTERACAO"}).c_str(),
                        Digest(local, u"select cod_filial, PROD_CODIGO, ESTOQUE_INICIAL, ESTOQUE_ATUAL, POR_USUARIO, "
                                      u"USER_NOME, SINC from Mov_Produtos order by PROD_CODIGO", {}).c_str(),
                        Digest(local, u"select * from categoria order by codigo", {}).c_str(),
                        Digest(local, u"select * from grupo order by codigo", {}).c_str(),
                        Digest(local, u"select * from subgrupo order by codigo", {}).c_str(),
                        Digest(local, u"select * from fabricante order by codigo", {}).c_str(),
                        Digest(cloud, u"select * from produtos order by prod_codigo", {u"data_alteracao"}).c_str());
        } else {
            std::fprintf(stderr, "usage: bench_sync_shop cloud | drop-cloud | local PRODUCTS | direction D [PORT] | digest\n");
            return 2;
        }
    } catch (const Exception& e) {
        std::fprintf(stderr, "bench_sync_shop: %s\n", UnicodeToUtf8(e.Message()).c_str());
        return 1;
    }
    return 0;
}
