// The provider as the program uses it: through TDbConnection("InterBase") and TDbQuery on
// the real Firebird server, with the option line of the local connection.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "dataaccess/DatabaseError.h"
#include "dataaccess/DbConnection.h"
#include "dataaccess/DbQuery.h"
#include "platform/CodePage.h"
#include "providers/interbase/IBConnection.h"
#include "providers/interbase/IBError.h"
#include "providers/interbase/InterBaseDbProvider.h"
#include "tests/providers/interbase/IBTestDatabase.h"
#include "tests/support/TestServers.h"

using namespace vantrelo;
using vantrelo::test::HexOf;
using vantrelo::test::TIBTestDatabase;

namespace {

struct TLocal {
    TDbConnection BaseLocal{u"BaseLocal"};

    explicit TLocal(const TIBTestDatabase& db) {
        RegisterInterBaseProvider();
        db.Configure(BaseLocal, u"utf-8");  // "InterBase.Charset=utf-8", as the program sets it
        BaseLocal.Connect();
    }

    std::unique_ptr<TDbQuery> Query(const std::u16string& sql) {
        auto q = std::make_unique<TDbQuery>(u"sqlTeste");
        q->SetConnection(&BaseLocal);
        q->SQL().SetText(sql);
        return q;
    }
};


} // namespace

TEST(IBQuery, ConfigurationRowFields) {
    VANTRELO_REQUIRE_FIREBIRD(server);
    TIBTestDatabase db(server, "qconfig", TIBTestDatabase::CatalogueScript());
    TLocal local(db);
    auto q = local.Query(u"select * from config_geral");
    q->Open();
    ASSERT_EQ(q->RecordCount(), 1);
    struct Expected {
        const char16_t* name;
        TFieldType type;
    } expected[] = {
        {u"CODIGO", ftInteger},        {u"SERVIDOR_CLOUD", ftString}, {u"DATAULTIMA_SIC", ftDateTime},
        {u"SINC_AUTOMATICO", ftBoolean}, {u"ATIVO", ftBoolean},        {u"TEMPO_SINC", ftSmallint},
        {u"TAXA", ftFloat},            {u"TIPO", ftFixedChar},        {u"DATA_CAD", ftDate},
        {u"HORA_CAD", ftTime},         {u"OBS", ftMemo},              {u"NOME_FILIAL", ftString},
    };
    for (const auto& e : expected) EXPECT_EQ(q->FieldByName(e.name).DataType(), e.type) << UnicodeToUtf8(e.name);
    EXPECT_TRUE(q->FieldByName(u"CODIGO").Required());
    EXPECT_EQ(q->FieldByName(u"TIPO").Size(), 1);
    EXPECT_EQ(q->FieldByName(u"CODIGO").AsInteger(), 1);
    EXPECT_EQ(q->FieldByName(u"SERVIDOR_CLOUD").AsAnsiString(), AnsiString("nuvem.example"));
    EXPECT_TRUE(q->FieldByName(u"SINC_AUTOMATICO").AsBoolean());
    EXPECT_DOUBLE_EQ(q->FieldByName(u"TAXA").AsFloat(), 1234.56);
    EXPECT_EQ(q->FieldByName(u"TIPO").AsAnsiString(), AnsiString("S"));
    EXPECT_DOUBLE_EQ(q->FieldByName(u"DATA_CAD").AsDateTime().Value, 45306.0);
    EXPECT_TRUE(q->FieldByName(u"OBS").IsNull());
}

TEST(IBQuery, PostingTheEditedRowRunsTheUpdateAndCommits) {
    VANTRELO_REQUIRE_FIREBIRD(server);
    TIBTestDatabase db(server, "qpost", TIBTestDatabase::CatalogueScript());
    TLocal local(db);
    auto config = local.Query(u"select * from config_geral");
    config->Open();
    config->Edit();
    config->FieldByName(u"DATAULTIMA_SIC").SetAsDateTime(TDateTime(45500.25));  // 27 Jul 2024 06:00
    config->FieldByName(u"NOME_FILIAL").SetAsAnsiString(AnsiString("Filial S\xe3o Jo\xe3o"));
    config->FieldByName(u"SERVIDOR_CLOUD").SetAsAnsiString(AnsiString("servi\xe7o.example"));
    config->Post();
    EXPECT_EQ(config->RowsAffected(), 1);

    // Committed: another attachment sees it, with the bytes as written.
    EXPECT_NE(db.Isql("SELECT DATAULTIMA_SIC FROM CONFIG_GERAL;\n").find("2024-07-27 06:00:00"), std::string::npos);
    EXPECT_EQ(db.StoredHex("CONFIG_GERAL", "NOME_FILIAL", "CODIGO = 1"), HexOf("Filial S\xe3o Jo\xe3o"));
    EXPECT_EQ(db.StoredHex("CONFIG_GERAL", "SERVIDOR_CLOUD", "CODIGO = 1"), HexOf("servi\xe7o.example"));

    // A post that changes nothing sends nothing and raises nothing.
    config->Edit();
    config->Post();
    config->Close();
    config->Open();
    EXPECT_EQ(config->FieldByName(u"NOME_FILIAL").AsAnsiString(), AnsiString("Filial S\xe3o Jo\xe3o"));
}

// The generated UPDATE's row count decides the post: a row gone meanwhile is no success.
TEST(IBQuery, PostingARowThatIsGoneFails) {
    VANTRELO_REQUIRE_FIREBIRD(server);
    TIBTestDatabase db(server, "qgone", TIBTestDatabase::CatalogueScript());
    TLocal local(db);
    auto config = local.Query(u"select * from config_geral");
    config->Open();
    config->Edit();
    config->FieldByName(u"TEMPO_SINC").SetAsInteger(7);
    auto remove = local.Query(u"delete from config_geral");
    remove->ExecSQL();
    EXPECT_EQ(remove->RowsAffected(), 1);
    try {
        config->Post();
        FAIL() << "the post of a row that is gone succeeded";
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message(), u"sqlTeste: Update failed. Found 0 records");
    }
    EXPECT_EQ(config->RowsAffected(), 0);
}

TEST(IBQuery, KeyOfATableWithoutPrimaryKeyIsItsFirstUniqueIndex) {
    VANTRELO_REQUIRE_FIREBIRD(server);
    TIBTestDatabase db(server, "qkeys", TIBTestDatabase::CatalogueScript());
    db.Isql("INSERT INTO SEM_PK VALUES (1, 'um', 10);\nINSERT INTO SEM_PK VALUES (2, 'dois', 10);\n"
            "INSERT INTO SEM_CHAVE VALUES (1, 'x');\nCOMMIT;\n");
    TLocal local(db);
    TProviderConnection& provider = *local.BaseLocal.ProviderConnection();
    TProviderTransaction& transaction = local.BaseLocal.DefaultTransaction();
    EXPECT_EQ(provider.GetKeyList(u"CONFIG_GERAL", &transaction), u"CODIGO");
    EXPECT_EQ(provider.GetKeyList(u"SEM_PK", &transaction), u"C;A");
    EXPECT_EQ(provider.GetKeyList(u"SEM_CHAVE", &transaction), u"");

    auto q = local.Query(u"select * from SEM_PK where A = 2");
    q->Open();
    q->Edit();
    q->FieldByName(u"B").SetAsAnsiString(AnsiString("DOIS"));
    q->Post();
    EXPECT_EQ(q->RowsAffected(), 1);
    std::string rows = db.Isql("SELECT A, B FROM SEM_PK ORDER BY A;\n");
    EXPECT_NE(rows.find("um"), std::string::npos) << rows;
    EXPECT_NE(rows.find("DOIS"), std::string::npos) << rows;
}

TEST(IBQuery, RecordCountGrowsByBlocks) {
    VANTRELO_REQUIRE_FIREBIRD(server);
    TIBTestDatabase db(server, "qcount", TIBTestDatabase::CatalogueScript());
    TLocal local(db);
    auto q = local.Query(u"select * from NUMEROS order by ID");
    q->Open();
    EXPECT_EQ(q->RecordCount(), 25);
    q->Last();
    EXPECT_EQ(q->RecordCount(), 60);
    EXPECT_EQ(q->FieldByName(u"V").AsInteger(), 600);
    int seen = 0;
    for (q->First(); !q->Eof(); q->Next()) ++seen;
    EXPECT_EQ(seen, 60);
}

// Opening a modification refuses it before the server runs it.
TEST(IBQuery, OpeningAStatementWithoutRowsRunsNothing) {
    VANTRELO_REQUIRE_FIREBIRD(server);
    TIBTestDatabase db(server, "qnorows", TIBTestDatabase::CatalogueScript());
    TLocal local(db);
    auto update = local.Query(u"update NUMEROS set V = 0");
    try {
        update->Open();
        FAIL() << "an update opened as a query";
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message(), u"sqlTeste: SQL statement doesn't return rows");
    }
    EXPECT_FALSE(update->Active());
    auto zeros = local.Query(u"select count(*) from NUMEROS where V = 0");
    zeros->Open();
    EXPECT_EQ(zeros->Fields()[0]->AsInteger(), 0);
}

TEST(IBQuery, AccentedParametersAndFields) {
    VANTRELO_REQUIRE_FIREBIRD(server);
    TIBTestDatabase db(server, "qtext", TIBTestDatabase::CatalogueScript());
    TLocal local(db);
    const AnsiString name("A\xe7\xfa" "car Cristal \xe9 5kg");
    auto insert = local.Query(u"insert into TEXTOS (ID, W, N) values (:ID, :W, :N)");
    insert->ParamByName(u"id").SetAsInteger(7);
    insert->ParamByName(u"W").SetAsAnsiString(name);
    insert->ParamByName(u"N").SetAsAnsiString(name);
    insert->ExecSQL();
    EXPECT_EQ(insert->RowsAffected(), 1);
    EXPECT_EQ(db.StoredHex("TEXTOS", "W", "ID = 7"), HexOf(name.View()));
    EXPECT_EQ(db.StoredHex("TEXTOS", "N", "ID = 7"), HexOf(name.View()));

    auto select = local.Query(u"select W, N from TEXTOS where W = :W");
    select->ParamByName(u"W").SetAsAnsiString(name);
    select->Open();
    ASSERT_EQ(select->RecordCount(), 1);
    EXPECT_EQ(select->FieldByName(u"W").AsAnsiString(), name);
    EXPECT_EQ(select->FieldByName(u"N").AsAnsiString(), name);
    EXPECT_EQ(select->FieldByName(u"W").AsString(), AnsiToUnicode(name));
}

TEST(IBQuery, PhotoParameterFromAByteArray) {
    VANTRELO_REQUIRE_FIREBIRD(server);
    TIBTestDatabase db(server, "qphoto", TIBTestDatabase::CatalogueScript());
    TLocal local(db);
    TBytes photo(100000);
    for (std::size_t i = 0; i < photo.size(); ++i) photo[i] = std::uint8_t(i % 253);
    auto insert = local.Query(u"insert into FOTOS (ID, FOTO) values (1, :FOTO)");
    insert->ParamByName(u"FOTO").SetValue(TVariant(photo));
    insert->ExecSQL();
    auto select = local.Query(u"select FOTO from FOTOS");
    select->Open();
    EXPECT_EQ(select->FieldByName(u"FOTO").AsBytes(), photo);
}

TEST(IBQuery, FailuresCarryTheServerText) {
    VANTRELO_REQUIRE_FIREBIRD(server);
    TIBTestDatabase db(server, "qfail", TIBTestDatabase::CatalogueScript());
    RegisterInterBaseProvider();
    TDbConnection connection(u"BaseLocal");
    db.Configure(connection, u"utf-8");
    connection.SetPassword(u"errada");
    try {
        connection.Connect();
        FAIL() << "connected with a wrong password";
    } catch (const EDbError& e) {
        EXPECT_NE(e.Message().find(u"Your user name and password are not defined"), std::u16string::npos) << e.what();
        EXPECT_NE(dynamic_cast<const EIBError*>(&e.InnerError()), nullptr);
    }
    EXPECT_FALSE(connection.Connected());
    connection.SetPassword(Utf8ToUnicode(server.Password));
    connection.Connect();
    EXPECT_TRUE(connection.Connected());

    TDbQuery q(u"sqlTeste");
    q.SetConnection(&connection);
    q.SQL().SetText(u"select * from TABELA_NAO_EXISTE");
    try {
        q.Open();
        FAIL();
    } catch (const EIBError& e) {
        EXPECT_NE(e.Message().find(u"Table unknown"), std::u16string::npos) << e.what();
        EXPECT_EQ(e.ErrorCode(), -204);
    }
    EXPECT_FALSE(q.Active());
    // The connection goes on serving.
    q.SQL().SetText(u"select count(*) from NUMEROS");
    q.Open();
    EXPECT_EQ(q.Fields()[0]->AsInteger(), 60);
}
