// The provider against the real MariaDB server, through TDbConnection and TDbQuery, with
// the compressed protocol on and off.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "dataaccess/DatabaseError.h"
#include "platform/DateTime.h"
#include "providers/mysql/MyError.h"
#include "providers/mysql/MySQLRecordSet.h"
#include "providers/mysql/Sha1.h"
#include "tests/providers/mysql/LoopbackPeers.h"
#include "tests/providers/mysql/MySqlTestConnection.h"

using namespace std::string_literals;

namespace vantrelo::test {
namespace {

std::string HexOf(const TSha1::TDigest& d) {
    static const char* digits = "0123456789abcdef";
    std::string s;
    for (auto b : d) (s += digits[b >> 4]) += digits[b & 15];
    return s;
}

class TMySqlServerTest : public ::testing::TestWithParam<bool> {
protected:
    bool Compressed() const { return GetParam(); }
    std::unique_ptr<TDbConnection> Connect(const TMySqlServer& s) {
        auto c = MakeConnection(s, Compressed());
        c->Connect();
        return c;
    }
    // A query on the connection, opened.
    std::unique_ptr<TDbQuery> Open(TDbConnection& c, const std::u16string& sql) {
        auto q = std::make_unique<TDbQuery>(u"sqlCloud");
        q->SetConnection(&c);
        q->SQL().SetText(sql);
        q->Open();
        return q;
    }
};

INSTANTIATE_TEST_SUITE_P(Compression, TMySqlServerTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Compressed" : "Plain"; });

TEST_P(TMySqlServerTest, LoginSetsTheSessionUp) {
    VANTRELO_REQUIRE_MYSQL(server);
    auto c = Connect(server);
    ASSERT_TRUE(c->Connected());
    EXPECT_EQ(MySQL(*c).Session()->net.Compress(), Compressed());
    auto q = Open(*c, u"SELECT @@character_set_client AS cs, DATABASE() AS db, CONNECTION_ID() AS id");
    EXPECT_EQ(q->FieldByName(u"cs").AsString(), u"latin1");
    EXPECT_EQ(q->FieldByName(u"db").AsString(), U(server.Database));
    EXPECT_EQ(std::uint32_t(q->FieldByName(u"id").AsLargeInt()), MySQL(*c).Session()->threadId);
    EXPECT_GE(MySQL(*c).ServerPrimaryVer(), 5);
    EXPECT_NO_THROW(MySQL(*c).Ping());
    c->Disconnect();
    EXPECT_FALSE(c->Connected());
}

TEST_P(TMySqlServerTest, WrongPasswordGivesTheServersTextAndALaterLoginWorks) {
    VANTRELO_REQUIRE_MYSQL(server);
    auto c = MakeConnection(server.Host, server.Port, server.User, "not-the-password", server.Database, Compressed());
    try {
        c->Connect();
        FAIL() << "no error";
    } catch (const EDbError& e) {
        EXPECT_EQ(e.ErrorCode(), 1045);
        EXPECT_EQ(e.Message().rfind(u"#28000Access denied for user '" + U(server.User) + u"'", 0), 0u)
            << e.what();
    }
    EXPECT_FALSE(c->Connected());
    c->SetPassword(U(server.Password));
    c->Connect();
    EXPECT_TRUE(c->Connected());
}

TEST_P(TMySqlServerTest, RemovedCompressLineReturnsToTheDefault) {
    VANTRELO_REQUIRE_MYSQL(server);
    auto c = MakeConnection(server, true);
    c->Connect();
    EXPECT_TRUE(MySQL(*c).Session()->net.Compress());
    c->Disconnect();
    c->ProviderOptions().Remove(u"MySQL.Compress");
    c->Connect();
    EXPECT_FALSE(MySQL(*c).Session()->net.Compress());
}

// The per-product statement of the upload: every parameter twice, insert then update.
TEST_P(TMySqlServerTest, InsertOrUpdateOfAProductRow) {
    VANTRELO_REQUIRE_MYSQL(server);
    auto c = Connect(server);
    Exec(*c, u"DROP TABLE IF EXISTS produtos_t");
    Exec(*c, u"CREATE TABLE produtos_t (prod_codigo INT PRIMARY KEY, prod_nome VARCHAR(60), prod_preco DECIMAL(15,2), "
             u"prod_custo DOUBLE, prod_estoque FLOAT, prod_ativo TINYINT(1), prod_qtd SMALLINT, prod_cad DATE, "
             u"data_alteracao DATETIME, prod_hora TIME, prod_foto LONGBLOB, prod_ean BIGINT, prod_obs TEXT, "
             u"prod_un CHAR(2), prod_vazio INT) CHARACTER SET latin1");
    const char16_t* columns[] = {u"prod_codigo", u"prod_nome", u"prod_preco", u"prod_custo", u"prod_estoque",
                                 u"prod_ativo", u"prod_qtd", u"prod_cad", u"data_alteracao", u"prod_hora",
                                 u"prod_foto", u"prod_ean", u"prod_obs", u"prod_un", u"prod_vazio"};
    std::u16string names, values, updates;
    for (const char16_t* col : columns) {
        std::u16string p = std::u16string(col).substr(5);
        if (!names.empty()) names += u", ", values += u", ", updates += u", ";
        names += col;
        values += u":" + p;
        updates += std::u16string(col) + u" = :" + p;
    }
    TDbQuery q(u"sqlCloud");
    q.SetConnection(c.get());
    TBytes photo(2048);
    for (std::size_t i = 0; i < photo.size(); ++i) photo[i] = std::uint8_t(i * 7);
    TDateTime changed = EncodeDateTime(2024, 5, 1, 13, 45, 10, 0);
    TDateTime time = EncodeTime(10, 20, 30, 0);
    for (int round = 1; round <= 2; ++round) {
        q.SQL().Clear();
        q.SQL().Add(u"INSERT INTO produtos_t (" + names + u")");
        q.SQL().Add(u"VALUES (" + values + u") ON DUPLICATE KEY UPDATE " + updates);
        q.ParamByName(u"codigo").SetAsInteger(101);
        q.ParamByName(u"NOME").SetAsAnsiString(AnsiString(round == 1 ? "P\xE3o franc\xEAs" : "P\xE3o doce"));
        q.ParamByName(u"preco").SetAsFloat(12.5);
        q.ParamByName(u"custo").SetAsFloat(7.125);
        q.ParamByName(u"estoque").SetAsFloat(3.25);
        q.ParamByName(u"ativo").SetAsBoolean(true);
        q.ParamByName(u"qtd").SetAsInteger(-3);
        q.ParamByName(u"cad").SetAsDate(EncodeDate(2024, 2, 29));
        q.ParamByName(u"alteracao").SetAsDateTime(changed);
        q.ParamByName(u"hora").SetDataType(ftTime);
        q.ParamByName(u"hora").SetValue(TVariant(time));
        q.ParamByName(u"foto").SetAsBytes(photo);
        q.ParamByName(u"ean").SetAsLargeInt(7891234567890LL);
        q.ParamByName(u"obs").SetAsString(u"Observação");
        q.ParamByName(u"un").SetAsAnsiString(AnsiString("UN"));
        q.ExecSQL();
        EXPECT_EQ(q.RowsAffected(), round) << "round " << round;
    }
    auto r = Open(*c, u"SELECT * FROM produtos_t");
    ASSERT_EQ(r->RecordCount(), 1);
    EXPECT_EQ(r->FieldByName(u"prod_codigo").AsInteger(), 101);
    EXPECT_EQ(r->FieldByName(u"prod_nome").AsAnsiString(), AnsiString("P\xE3o doce"));
    EXPECT_EQ(r->FieldByName(u"prod_preco").AsFloat(), 12.5);
    EXPECT_EQ(r->FieldByName(u"prod_custo").AsFloat(), 7.125);
    EXPECT_EQ(r->FieldByName(u"prod_estoque").AsFloat(), 3.25);
    EXPECT_TRUE(r->FieldByName(u"prod_ativo").AsBoolean());
    EXPECT_EQ(r->FieldByName(u"prod_qtd").AsInteger(), -3);
    EXPECT_EQ(r->FieldByName(u"prod_cad").AsDateTime(), EncodeDate(2024, 2, 29));
    EXPECT_EQ(r->FieldByName(u"data_alteracao").AsDateTime(), changed);
    EXPECT_NEAR(r->FieldByName(u"prod_hora").AsDateTime().Value, time.Value, 1e-9);
    EXPECT_EQ(r->FieldByName(u"prod_foto").AsBytes(), photo);
    EXPECT_EQ(r->FieldByName(u"prod_ean").AsLargeInt(), 7891234567890LL);
    EXPECT_EQ(r->FieldByName(u"prod_obs").AsString(), u"Observação");
    EXPECT_EQ(r->FieldByName(u"prod_un").AsAnsiString(), AnsiString("UN"));
    EXPECT_TRUE(r->FieldByName(u"prod_vazio").IsNull());
    EXPECT_EQ(MySQL(*c).GetKeyList(u"produtos_t", nullptr), u"prod_codigo");
}

TEST_P(TMySqlServerTest, EveryMappedColumnTypeRoundTrips) {
    VANTRELO_REQUIRE_MYSQL(server);
    auto c = Connect(server);
    Exec(*c, u"SET SESSION sql_mode = ''");
    Exec(*c, u"DROP TABLE IF EXISTS tipos_t");
    Exec(*c, u"CREATE TABLE tipos_t (i INT, iu INT UNSIGNED, b TINYINT(1), t TINYINT, s SMALLINT, m MEDIUMINT, "
             u"g BIGINT, f FLOAT, d DOUBLE, n DECIMAL(15,2), n0 DECIMAL(10,0), dt DATE, tm TIME, dtm DATETIME, "
             u"dt6 DATETIME(6), ts TIMESTAMP NULL, y YEAR, v VARCHAR(60), ch CHAR(3), e ENUM('a','b'), "
             u"st SET('x','y'), bt BIT(3), bl BLOB, tx TEXT, vb VARBINARY(10)) CHARACTER SET latin1");
    Exec(*c, u"INSERT INTO tipos_t VALUES (-7, 4294967295, 1, -128, -32768, 8388607, -9223372036854775808, 0.5, "
             u"1.5E-7, 1234567.89, 1234567890, '2024-02-29', '-26:03:04', '2024-05-01 13:45:10', "
             u"'2024-05-01 13:45:10.123456', '2024-05-01 13:45:10', 2024, 'abc', 'xy', 'b', 'x,y', b'101', "
             u"x'00FF', 'texto', x'0102')");
    Exec(*c, u"INSERT INTO tipos_t (dt, dtm) VALUES ('0000-00-00', '0000-00-00 00:00:00')");
    auto q = Open(*c, u"SELECT * FROM tipos_t");
    struct TCase {
        const char16_t* field;
        TFieldType type;
    } types[] = {{u"i", ftInteger}, {u"iu", ftLongWord}, {u"b", ftBoolean}, {u"t", ftShortint},
                 {u"s", ftSmallint}, {u"m", ftInteger}, {u"g", ftLargeint}, {u"f", ftFloat}, {u"d", ftFloat},
                 {u"n", ftFloat}, {u"n0", ftFloat}, {u"dt", ftDate}, {u"tm", ftTime}, {u"dtm", ftDateTime},
                 {u"dt6", ftDateTime}, {u"ts", ftDateTime}, {u"y", ftWord}, {u"v", ftString}, {u"ch", ftString},
                 {u"e", ftString}, {u"st", ftString}, {u"bt", ftLargeint}, {u"bl", ftBlob}, {u"tx", ftMemo},
                 {u"vb", ftString}};
    for (const auto& t : types) EXPECT_EQ(q->FieldByName(t.field).DataType(), t.type) << AnsiToUtf8(UnicodeToAnsi(t.field));
    EXPECT_EQ(q->FieldByName(u"i").AsInteger(), -7);
    EXPECT_EQ(q->FieldByName(u"iu").AsLargeInt(), 4294967295LL);
    EXPECT_TRUE(q->FieldByName(u"b").AsBoolean());
    EXPECT_EQ(q->FieldByName(u"t").AsInteger(), -128);
    EXPECT_EQ(q->FieldByName(u"s").AsInteger(), -32768);
    EXPECT_EQ(q->FieldByName(u"m").AsInteger(), 8388607);
    EXPECT_EQ(q->FieldByName(u"g").AsLargeInt(), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(q->FieldByName(u"f").AsFloat(), 0.5);
    EXPECT_DOUBLE_EQ(q->FieldByName(u"d").AsFloat(), 1.5e-7);
    EXPECT_DOUBLE_EQ(q->FieldByName(u"n").AsFloat(), 1234567.89);
    EXPECT_EQ(q->FieldByName(u"n0").AsFloat(), 1234567890.0);
    EXPECT_EQ(q->FieldByName(u"dt").AsDateTime(), EncodeDate(2024, 2, 29));
    EXPECT_NEAR(q->FieldByName(u"tm").AsDateTime().Value * 86400, -(26 * 3600 + 3 * 60 + 4), 1e-6);
    EXPECT_EQ(q->FieldByName(u"dtm").AsDateTime(), EncodeDateTime(2024, 5, 1, 13, 45, 10, 0));
    // MariaDB reports itself as 5.5.5-..., so the fraction is kept to milliseconds.
    EXPECT_NEAR(q->FieldByName(u"dt6").AsDateTime().Value, EncodeDateTime(2024, 5, 1, 13, 45, 10, 123).Value, 1e-9);
    EXPECT_EQ(q->FieldByName(u"ts").AsDateTime(), EncodeDateTime(2024, 5, 1, 13, 45, 10, 0));
    EXPECT_EQ(q->FieldByName(u"y").AsInteger(), 2024);
    EXPECT_EQ(q->FieldByName(u"v").AsString(), u"abc");
    EXPECT_EQ(q->FieldByName(u"ch").AsString(), u"xy");
    EXPECT_EQ(q->FieldByName(u"e").AsString(), u"b");
    EXPECT_EQ(q->FieldByName(u"st").AsString(), u"x,y");
    EXPECT_EQ(q->FieldByName(u"bt").AsLargeInt(), 5);
    EXPECT_EQ(q->FieldByName(u"bl").AsBytes(), (TBytes{0x00, 0xFF}));
    EXPECT_EQ(q->FieldByName(u"tx").AsString(), u"texto");
    EXPECT_EQ(q->FieldByName(u"vb").AsBytes(), (TBytes{0x01, 0x02}));
    q->Next();
    ASSERT_FALSE(q->Eof());
    EXPECT_TRUE(q->FieldByName(u"dt").IsNull());
    EXPECT_TRUE(q->FieldByName(u"dtm").IsNull());
    EXPECT_EQ(q->FieldByName(u"dtm").AsDateTime(), TDateTime(0));
    EXPECT_TRUE(q->FieldByName(u"i").IsNull());
    EXPECT_EQ(q->FieldByName(u"i").AsInteger(), 0);
    EXPECT_EQ(q->FieldByName(u"v").AsString(), u"");
}

TEST_P(TMySqlServerTest, BlobsAndLatin1TextArriveUnchanged) {
    VANTRELO_REQUIRE_MYSQL(server);
    auto c = Connect(server);
    Exec(*c, u"DROP TABLE IF EXISTS fotos_t");
    Exec(*c, u"CREATE TABLE fotos_t (id INT, foto LONGBLOB, nome VARCHAR(60)) CHARACTER SET latin1");
    TBytes all(256);
    for (int i = 0; i < 256; ++i) all[std::size_t(i)] = std::uint8_t(i);
    TDbQuery q;
    q.SetConnection(c.get());
    q.SQL().SetText(u"INSERT INTO fotos_t VALUES (:id, :foto, :nome)");
    struct TRow {
        int id;
        TVariant foto;
        TVariant nome;
    } rows[] = {{1, TVariant(all), TVariant(AnsiString("Ma\xE7\xE3 \xC7\xC3\xD5 \x80 'quoted' \\"))},
                {2, TVariant(TBytes{}), TVariant(u"Ação")},
                {3, TVariant(), TVariant()}};
    for (const auto& row : rows) {
        q.ParamByName(u"id").SetAsInteger(row.id);
        q.ParamByName(u"foto").SetValue(row.foto);
        q.ParamByName(u"nome").SetValue(row.nome);
        q.ExecSQL();
    }
    auto r = Open(*c, u"SELECT id, foto, nome, HEX(nome) AS h FROM fotos_t ORDER BY id");
    ASSERT_EQ(r->RecordCount(), 3);
    EXPECT_EQ(r->FieldByName(u"foto").AsBytes(), all);
    EXPECT_EQ(r->FieldByName(u"nome").AsAnsiString(), AnsiString("Ma\xE7\xE3 \xC7\xC3\xD5 \x80 'quoted' \\"));
    EXPECT_EQ(r->FieldByName(u"h").AsString(), u"4D61E7E320C7C3D52080202771756F74656427205C");
    r->Next();
    EXPECT_FALSE(r->FieldByName(u"foto").IsNull());
    EXPECT_TRUE(r->FieldByName(u"foto").AsBytes().empty());
    EXPECT_EQ(r->FieldByName(u"h").AsString(), u"41E7E36F");
    r->Next();
    EXPECT_TRUE(r->FieldByName(u"foto").IsNull());
    EXPECT_TRUE(r->FieldByName(u"nome").IsNull());
}

TEST_P(TMySqlServerTest, StatementAbove16MiBGoesOutAndComesBack) {
    VANTRELO_REQUIRE_MYSQL(server);
    auto c = Connect(server);
    Exec(*c, u"DROP TABLE IF EXISTS grande_t");
    Exec(*c, u"CREATE TABLE grande_t (id INT, b LONGBLOB)");
    TBytes big(17 * 1024 * 1024 + 3);
    std::uint32_t x = 12345;
    for (auto& b : big) b = std::uint8_t((x = x * 1103515245 + 12345) >> 24);  // hardly compressible
    TDbQuery q;
    q.SetConnection(c.get());
    q.SQL().SetText(u"INSERT INTO grande_t VALUES (1, :b)");
    q.ParamByName(u"b").SetAsBytes(big);
    q.ExecSQL();
    EXPECT_EQ(q.RowsAffected(), 1);
    auto r = Open(*c, u"SELECT LENGTH(b) AS n, SHA1(b) AS h, b FROM grande_t");
    EXPECT_EQ(r->FieldByName(u"n").AsLargeInt(), std::int64_t(big.size()));
    EXPECT_EQ(r->FieldByName(u"h").AsString(), U(HexOf(TSha1::Digest(big.data(), big.size()))));
    EXPECT_EQ(r->FieldByName(u"b").AsBytes(), big);
}

TEST_P(TMySqlServerTest, SelectWithoutRows) {
    VANTRELO_REQUIRE_MYSQL(server);
    auto c = Connect(server);
    auto q = Open(*c, u"SELECT 1 AS um, 'x' AS dois FROM DUAL WHERE 1 = 0");
    EXPECT_TRUE(q->Eof());
    EXPECT_EQ(q->RecordCount(), 0);
    EXPECT_EQ(q->Fields().size(), 2u);
}

TEST_P(TMySqlServerTest, ServerErrorsCarryTheirCodes) {
    VANTRELO_REQUIRE_MYSQL(server);
    auto c = Connect(server);
    Exec(*c, u"DROP TABLE IF EXISTS chave_t");
    Exec(*c, u"CREATE TABLE chave_t (id INT PRIMARY KEY)");
    Exec(*c, u"INSERT INTO chave_t VALUES (1)");
    try {
        Exec(*c, u"INSERT INTO chave_t VALUES (1)");
        FAIL() << "no error";
    } catch (const EMyError& e) {
        EXPECT_EQ(e.ErrorCode(), 1062);
        EXPECT_TRUE(e.IsKeyViolation());
        EXPECT_FALSE(e.IsFatalError());
    }
    try {
        Exec(*c, u"SELECT 1\nFROM\nWHERE");
        FAIL() << "no error";
    } catch (const EMyError& e) {
        EXPECT_EQ(e.ErrorCode(), 1064);
        EXPECT_EQ(e.LineNumber(), 3);
        EXPECT_EQ(e.Message().rfind(u"#42000You have an error in your SQL syntax", 0), 0u);
    }
    EXPECT_TRUE(c->Connected());  // the session goes on after server errors
    EXPECT_EQ(Open(*c, u"SELECT COUNT(*) AS n FROM chave_t")->FieldByName(u"n").AsInteger(), 1);
}

TEST_P(TMySqlServerTest, StatementWhileRowsArePendingIsOutOfSync) {
    VANTRELO_REQUIRE_MYSQL(server);
    auto c = Connect(server);
    auto first = MySQL(*c).CreateRecordSet();
    auto second = MySQL(*c).CreateRecordSet();
    first->SetSQL(ParseSql(u"SELECT 1 UNION SELECT 2", TMySQLDbProvider().GetSqlDialect()));
    second->SetSQL(ParseSql(u"SELECT 3", TMySQLDbProvider().GetSqlDialect()));
    ASSERT_TRUE(first->Execute({}, true));
    try {
        second->Execute({}, true);
        FAIL() << "no error";
    } catch (const EMyError& e) {
        EXPECT_EQ(e.ErrorCode(), 2014);
        EXPECT_EQ(e.Message(), u"Commands out of sync;  You can't run this command now");
    }
    first->CloseCursor();
    EXPECT_TRUE(second->Execute({}, true));
    second->CloseCursor();
}

TEST_P(TMySqlServerTest, TransactionsAreStatements) {
    VANTRELO_REQUIRE_MYSQL(server);
    auto c = Connect(server);
    Exec(*c, u"DROP TABLE IF EXISTS trans_t");
    Exec(*c, u"CREATE TABLE trans_t (id INT) ENGINE=InnoDB");
    auto t = MySQL(*c).CreateTransaction();
    t->StartTransaction();
    EXPECT_TRUE(t->InTransaction());
    Exec(*c, u"INSERT INTO trans_t VALUES (1)");
    t->Rollback();
    EXPECT_EQ(Open(*c, u"SELECT COUNT(*) AS n FROM trans_t")->FieldByName(u"n").AsInteger(), 0);
    t->StartTransaction();
    Exec(*c, u"INSERT INTO trans_t VALUES (2)");
    t->Commit();
    EXPECT_EQ(Open(*c, u"SELECT COUNT(*) AS n FROM trans_t")->FieldByName(u"n").AsInteger(), 1);
}

// The server may ask for any file of the shop's machine; none is ever sent.
TEST_P(TMySqlServerTest, LocalFileRequestIsRefused) {
    VANTRELO_REQUIRE_MYSQL(server);
    auto c = Connect(server);
    Exec(*c, u"DROP TABLE IF EXISTS carga_t");
    Exec(*c, u"CREATE TABLE carga_t (linha TEXT)");
    try {
        Exec(*c, u"LOAD DATA LOCAL INFILE '/etc/hostname' INTO TABLE carga_t");
        FAIL() << "no error";
    } catch (const EMyError& e) {
        EXPECT_EQ(e.ErrorCode(), 2068);
        EXPECT_NE(e.Message().find(u"'/etc/hostname'"), std::u16string::npos) << e.what();
    }
    EXPECT_EQ(Open(*c, u"SELECT COUNT(*) AS n FROM carga_t")->FieldByName(u"n").AsInteger(), 0);
}

TEST_P(TMySqlServerTest, OldPasswordAccountLogsInWithThePre41Scramble) {
    VANTRELO_REQUIRE_MYSQL(server);
    auto admin = Connect(server);
    Exec(*admin, u"DROP USER IF EXISTS 'vantrelo_old'@'%'");
    std::u16string hash = Open(*admin, u"SELECT OLD_PASSWORD('old pw') AS h")->FieldByName(u"h").AsString();
    Exec(*admin, u"CREATE USER 'vantrelo_old'@'%' IDENTIFIED VIA mysql_old_password USING '" + hash + u"'");
    Exec(*admin, u"SET GLOBAL secure_auth = 0");
    auto c = MakeConnection(server.Host, server.Port, "vantrelo_old", "old pw", "", Compressed());
    EXPECT_NO_THROW(c->Connect());
    EXPECT_TRUE(c->Connected());
    Exec(*admin, u"SET GLOBAL secure_auth = 1");
    Exec(*admin, u"DROP USER 'vantrelo_old'@'%'");
}

TEST_P(TMySqlServerTest, EmptyPasswordAccount) {
    VANTRELO_REQUIRE_MYSQL(server);
    auto admin = Connect(server);
    Exec(*admin, u"DROP USER IF EXISTS 'vantrelo_empty'@'%'");
    Exec(*admin, u"CREATE USER 'vantrelo_empty'@'%' IDENTIFIED BY ''");
    auto c = MakeConnection(server.Host, server.Port, "vantrelo_empty", "", "", Compressed());
    EXPECT_NO_THROW(c->Connect());
    Exec(*admin, u"DROP USER 'vantrelo_empty'@'%'");
}

TEST_P(TMySqlServerTest, DisconnectAfterTheServerDroppedTheSessionDoesNotRaise) {
    VANTRELO_REQUIRE_MYSQL(server);
    auto admin = Connect(server);
    auto c = Connect(server);
    Exec(*admin, u"KILL " + U(std::to_string(MySQL(*c).Session()->threadId)));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_NO_THROW(c->Disconnect());
    EXPECT_FALSE(c->Connected());
}

TEST_P(TMySqlServerTest, DisconnectOfABrokenSocketDoesNotRaise) {
    VANTRELO_REQUIRE_MYSQL(server);
    TFaultProxy proxy(server.Host, server.Port);
    auto c = MakeConnection("127.0.0.1", proxy.Port(), server.User, server.Password, server.Database, Compressed());
    c->Connect();
    proxy.Arm(TFaultProxy::fCut);
    try {
        Exec(*c, u"SELECT 1");
        FAIL() << "no error";
    } catch (const EMyError& e) {
        EXPECT_EQ(e.ErrorCode(), 2013);
        EXPECT_TRUE(e.IsFatalError());
    }
    EXPECT_NO_THROW(c->Disconnect());
    EXPECT_FALSE(c->Connected());
}

} // namespace
} // namespace vantrelo::test
