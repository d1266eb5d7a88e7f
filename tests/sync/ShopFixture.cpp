#include "tests/sync/ShopFixture.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "platform/CodePage.h"
#include "providers/interbase/InterBaseDbProvider.h"
#include "providers/mysql/MySQLDbProvider.h"

namespace vantrelo::test {
namespace {

std::string Fixture(const std::string& name) {
    std::ifstream in(std::string(VANTRELO_SOURCE_DIR) + "/tests/fixtures/" + name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The statements of a script, split at the semicolons that end lines.
std::vector<std::string> Statements(const std::string& script) {
    std::vector<std::string> result;
    std::string current;
    std::istringstream in(script);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("--", 0) == 0) continue;
        current += line + "\n";
        if (!line.empty() && line.back() == ';') {
            current.erase(current.find_last_of(';'));
            result.push_back(current);
            current.clear();
        }
    }
    return result;
}

TVariant FirstValue(TDbConnection& connection, const std::u16string& sql) {
    TDbQuery q;
    q.SetConnection(&connection);
    q.SQL().SetText(sql);
    q.Open();
    if (q.RecordCount() == 0) return {};
    return q.Fields().front()->AsVariant();
}

void Exec(TDbConnection& connection, const std::u16string& sql) {
    TDbQuery q;
    q.SetConnection(&connection);
    q.SQL().SetText(sql);
    q.ExecSQL();
}

} // namespace

std::vector<std::string> Utf8Lines(const std::vector<std::u16string>& lines) {
    std::vector<std::string> r;
    for (const auto& l : lines) r.push_back(UnicodeToUtf8(l));
    return r;
}

TShop::TShop(const TFirebirdServer& fb, const TMySqlServer& my, const std::string& name) : FFirebird(fb), FMySql(my) {
    RegisterMySQLProvider();
    RegisterInterBaseProvider();
    FLocal = std::make_unique<TIBTestDatabase>(fb, "shop-" + name, Fixture("local_schema.sql"));
    FLocal->Configure(FLocalConnection, u"utf-8");

    FCloudDatabase = "shop_" + name.substr(0, 40) + "_" + std::to_string(::getpid());
    FCloudConnection.SetProviderName(u"MySQL");
    FCloudConnection.SetServer(Utf8ToUnicode(my.Host));
    FCloudConnection.SetPort(my.Port);
    FCloudConnection.SetUsername(Utf8ToUnicode(my.User));
    FCloudConnection.SetPassword(Utf8ToUnicode(my.Password));
    FCloudConnection.SetLoginPrompt(false);
    FCloudConnection.ProviderOptions().Add(u"MySQL.Charset=latin1");
    Exec(FCloudConnection, u"drop database if exists " + Utf8ToUnicode(FCloudDatabase));
    Exec(FCloudConnection, u"create database " + Utf8ToUnicode(FCloudDatabase) + u" character set latin1");
    FCloudConnection.SetDatabase(Utf8ToUnicode(FCloudDatabase));
    for (const auto& s : Statements(Fixture("cloud_schema.sql"))) Exec(FCloudConnection, Utf8ToUnicode(s));

    LocalExec(u"insert into filial (CODIGO, NOME_FANTASIA, CNPJ) values (1, 'Loja Central São Jorge', "
              u"'12.345.678/0001-90')");
    LocalExec(u"insert into config_geral (CODIGO, IDFILIAL, PDV_NCAIXA, TEMPO_SIMNAO, TEMPO_SINCRO, ENVIA_OU_RECEBE, "
              u"DATAULTIMA_SIC) values (1, 1, 1, 1, 1, 0, '2000-01-01 00:00:00')");

    // The engine writes its log files under the working folder.
    FWorkDir = fb.DatabaseDir + "/work-" + name + "-" + std::to_string(::getpid());
    std::filesystem::remove_all(FWorkDir);
    std::filesystem::create_directories(FWorkDir + "/logSic");
    FPreviousDir = std::filesystem::current_path().string();
    std::filesystem::current_path(FWorkDir);
}

TShop::~TShop() {
    std::filesystem::current_path(FPreviousDir);
    std::filesystem::remove_all(FWorkDir);
    try {
        FLocalConnection.Disconnect();
        FCloudConnection.SetDatabase(u"");
        Exec(FCloudConnection, u"drop database if exists " + Utf8ToUnicode(FCloudDatabase));
    } catch (...) {
        // A test that broke the servers has said so already.
    }
}

TInstallSettings TShop::Settings() const {
    TInstallSettings s;
    s.LocalServer = Utf8ToUnicode(FFirebird.Host);
    s.LocalPort = FFirebird.Port;
    s.LocalDatabase = Utf8ToUnicode(FLocal->Path());
    s.LocalUser = Utf8ToUnicode(FFirebird.User);
    s.LocalPassword = Utf8ToUnicode(FFirebird.Password);
    s.OverlapMinutes = 5;
    return s;
}

void TShop::LocalExec(const std::u16string& sql) { Exec(FLocalConnection, sql); }
void TShop::CloudExec(const std::u16string& sql) { Exec(FCloudConnection, sql); }
TVariant TShop::LocalValue(const std::u16string& sql) { return FirstValue(FLocalConnection, sql); }
TVariant TShop::CloudValue(const std::u16string& sql) { return FirstValue(FCloudConnection, sql); }

void TShop::PointConfigAtCloud(int direction, int port) {
    TDbQuery q;
    q.SetConnection(&FLocalConnection);
    q.SQL().SetText(u"update config_geral set SERVIDOR_CLOUD=:s, PORTA_CLOUD=:p, DATABASE_CLOUD=:d, "
                    u"USUARIO_CLOUD=:u, SENHA_CLOUD=:w, ENVIA_OU_RECEBE=:e where CODIGO=1");
    q.ParamByName(u"s").SetAsString(Utf8ToUnicode(FMySql.Host));
    q.ParamByName(u"p").SetAsInteger(port ? port : FMySql.Port);
    q.ParamByName(u"d").SetAsString(Utf8ToUnicode(FCloudDatabase));
    q.ParamByName(u"u").SetAsString(Utf8ToUnicode(FMySql.User));
    q.ParamByName(u"w").SetAsString(TDmdados::GetCriptarSenha(Utf8ToUnicode(FMySql.Password)));
    q.ParamByName(u"e").SetAsInteger(direction);
    q.ExecSQL();
}

namespace {

void AddProduct(TDbConnection& connection, const std::u16string& insert, int code, const std::u16string& name,
                TDateTime changed) {
    TDbQuery q;
    q.SetConnection(&connection);
    q.SQL().SetText(insert);
    q.ParamByName(u"c").SetAsInteger(code);
    q.ParamByName(u"n").SetAsString(name);
    q.ParamByName(u"d").SetAsDateTime(changed);
    q.ExecSQL();
}

} // namespace

void TShop::AddLocalProduct(int code, const std::u16string& name, TDateTime changed) {
    AddProduct(FLocalConnection,
               u"insert into estoque (EST_CODIGO, EST_PRODUTO, DATA_ALTERACAO) values (:c, :n, :d)", code, name,
               changed);
}

void TShop::AddCloudProduct(int code, const std::u16string& name, TDateTime changed) {
    AddProduct(FCloudConnection,
               u"insert into produtos (prod_codigo, prod_nome, data_alteracao) values (:c, :n, :d)", code, name,
               changed);
}

} // namespace vantrelo::test
