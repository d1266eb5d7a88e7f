// The provider's own objects against the real Firebird server: attach, character sets,
// transactions, statements, parameters in their wire forms, fetching and blobs.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "dataaccess/DbParam.h"
#include "dataaccess/Field.h"
#include "dataaccess/RowStore.h"
#include "platform/CodePage.h"
#include "providers/interbase/IBConnection.h"
#include "providers/interbase/IBError.h"
#include "providers/interbase/IBRecordSet.h"
#include "providers/interbase/IBTransaction.h"
#include "providers/interbase/InterBaseDbProvider.h"
#include "tests/providers/interbase/IBTestDatabase.h"
#include "tests/support/TestServers.h"

using namespace vantrelo;
using vantrelo::test::HexOf;
using vantrelo::test::TIBTestDatabase;

namespace {

// One attachment with a running read-committed transaction, and statements on it.
struct TSession {
    TIBConnection Connection;
    std::unique_ptr<TIBTransaction> Transaction;

    TSession(const TIBTestDatabase& db, const std::u16string& charset = u"utf-8") {
        db.Configure(Connection, charset);
        Connection.Connect();
        Transaction = std::make_unique<TIBTransaction>(Connection);
        Transaction->StartTransaction();
    }

    std::unique_ptr<TIBRecordSet> Statement(const std::u16string& sql) {
        static const TInterBaseDbProvider provider;
        auto rs = std::make_unique<TIBRecordSet>(Connection);
        rs->SetTransaction(Transaction.get());
        rs->SetSQL(ParseSql(sql, provider.GetSqlDialect()));
        return rs;
    }

    std::int64_t Exec(const std::u16string& sql, std::vector<TDbParam> params = {}) {
        auto rs = Statement(sql);
        EXPECT_FALSE(rs->Execute(params, false));
        return rs->RowsAffected();
    }

    // All rows of a query, in a store laid out by its fields.
    std::unique_ptr<TRowStore> Select(const std::u16string& sql, std::vector<TDbParam> params = {},
                                      std::vector<TIBFieldDesc>* fields = nullptr) {
        auto rs = Statement(sql);
        EXPECT_TRUE(rs->Execute(params, true));
        auto store = std::make_unique<TRowStore>();
        store->SetLayout(rs->DescribeFields());
        rs->Fetch(*store, 0);
        if (fields) *fields = rs->Fields();
        rs->CloseCursor();
        return store;
    }
};

TDbParam Param(const char16_t* name, TVariant value) {
    TDbParam p(name);
    p.SetValue(std::move(value));
    return p;
}

std::string AnsiOf(TRecordView row, std::size_t field) { return std::string(row.Bytes(field)); }


} // namespace

TEST(IBServerConnection, AttachesAndResolvesTheCharacterSet) {
    VANTRELO_REQUIRE_FIREBIRD(server);
    TIBTestDatabase db(server, "ibattach", "");
    struct Case {
        const char16_t* charset;
        int id, length, ansiId;
    } cases[] = {
        {u"utf-8", 4, 4, 53},  // an alias of UTF8: the attachment speaks UTF-8
        {u"UTF8", 4, 4, 53},
        {u"WIN1252", 53, 1, -1},
        {u"", 0, 1, -1},
    };
    for (const auto& c : cases) {
        TIBConnection connection;
        db.Configure(connection, c.charset);
        connection.Connect();
        EXPECT_TRUE(connection.GetConnected());
        EXPECT_EQ(connection.CharsetId(), c.id) << UnicodeToUtf8(c.charset);
        EXPECT_EQ(connection.CharLength(), c.length) << UnicodeToUtf8(c.charset);
        EXPECT_EQ(connection.AnsiCharsetId(), c.ansiId) << UnicodeToUtf8(c.charset);
        EXPECT_EQ(connection.DatabaseCharsetId(), 53);
        EXPECT_EQ(connection.SQLDialect(), 3);
        EXPECT_TRUE(connection.IsFirebirdServer());
        EXPECT_GE(connection.ServerMajorVersion(), 3);
        connection.Disconnect();
        EXPECT_FALSE(connection.GetConnected());
    }
}

TEST(IBServerConnection, DialectOneDatabaseLowersTheDialect) {
    VANTRELO_REQUIRE_FIREBIRD(server);
    TIBTestDatabase db(server, "ibdialect1", "", 1);
    TIBConnection connection;
    db.Configure(connection, u"utf-8");
    connection.Connect();
    EXPECT_EQ(connection.DatabaseSQLDialect(), 1);
    EXPECT_EQ(connection.SQLDialect(), 1);
}

TEST(IBServerConnection, WrongPasswordAndNoServerAreReportedAndLeaveItDisconnected) {
    VANTRELO_REQUIRE_FIREBIRD(server);
    TIBTestDatabase db(server, "ibwrongpw", "");
    TIBConnection connection;
    db.Configure(connection, u"utf-8");
    connection.SetPassword(u"not-the-password");
    try {
        connection.Connect();
        FAIL() << "attached with a wrong password";
    } catch (const EIBError& e) {
        EXPECT_EQ(e.ErrorNumber(), 335544472);
        EXPECT_NE(e.Message().find(u"Your user name and password are not defined"), std::u16string::npos)
            << e.what();
        EXPECT_FALSE(e.IsFatalError());
    }
    EXPECT_FALSE(connection.GetConnected());
    // The same object attaches once the password is right.
    connection.SetPassword(Utf8ToUnicode(server.Password));
    connection.Connect();
    EXPECT_TRUE(connection.GetConnected());

    TIBConnection nowhere;
    db.Configure(nowhere, u"utf-8");
    nowhere.SetPort(1);  // nothing listens there
    try {
        nowhere.Connect();
        FAIL() << "attached to a port without server";
    } catch (const EIBError& e) {
        EXPECT_TRUE(e.IsFatalError()) << e.what();
        EXPECT_NE(e.Message().find(u"Unable to complete network request"), std::u16string::npos) << e.what();
    }
    EXPECT_FALSE(nowhere.GetConnected());
}

TEST(IBServerTransaction, HandleRules) {
    VANTRELO_REQUIRE_FIREBIRD(server);
    TIBTestDatabase db(server, "ibtrans", TIBTestDatabase::CatalogueScript());
    TIBConnection connection;
    db.Configure(connection, u"utf-8");
    TIBTransaction transaction(connection);
    try {
        transaction.StartTransaction();
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), u"Can't start transaction with closed connection");
    }
    connection.Connect();
    EXPECT_EQ(transaction.Tpb(), std::string());  // not built before a start
    transaction.StartTransaction();
    EXPECT_EQ(transaction.Tpb(), std::string("\x03\x0f\x11\x07\x09", 5));
    EXPECT_TRUE(transaction.InTransaction());
    transaction.CommitRetaining();
    EXPECT_TRUE(transaction.InTransaction());
    transaction.RollbackRetaining();
    EXPECT_TRUE(transaction.InTransaction());
    transaction.Commit();
    EXPECT_FALSE(transaction.InTransaction());
    transaction.StartTransaction();
    transaction.Rollback();
    EXPECT_FALSE(transaction.InTransaction());
    try {
        transaction.Commit();
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), u"Can't perform operation on inactive transaction");
    }
}

TEST(IBServerStatement, TypesRowCountsAndErrors) {
    VANTRELO_REQUIRE_FIREBIRD(server);
    TIBTestDatabase db(server, "ibstmt", TIBTestDatabase::CatalogueScript());
    TSession s(db);

    auto select = s.Statement(u"select * from config_geral");
    EXPECT_TRUE(select->Execute({}, true));
    EXPECT_EQ(select->Command().StatementType(), 1);
    EXPECT_EQ(select->RowsAffected(), 0);
    select->CloseCursor();

    auto insert = s.Statement(u"insert into SEM_CHAVE (A, B) values (:A, :B)");
    EXPECT_FALSE(insert->Execute(std::vector<TDbParam>{Param(u"A", std::int32_t(1)), Param(u"B", AnsiString("x"))}, false));
    EXPECT_EQ(insert->RowsAffected(), 1);
    s.Exec(u"insert into SEM_CHAVE (A, B) values (2, 'y')");
    s.Exec(u"insert into SEM_CHAVE (A, B) values (3, 'z')");
    auto update = s.Statement(u"update SEM_CHAVE set B = 'w' where A >= 2");
    update->Prepare();  // prepared beforehand, the statement outlives its execution
    EXPECT_FALSE(update->Execute({}, false));
    EXPECT_EQ(update->Command().StatementType(), 3);
    EXPECT_EQ(update->RowsAffected(), 2);
    EXPECT_FALSE(update->Execute({}, false));  // counted anew at each execution
    EXPECT_EQ(update->RowsAffected(), 2);
    EXPECT_EQ(s.Exec(u"update SEM_CHAVE set B = 'v' where A < 0"), 0);
    EXPECT_EQ(s.Exec(u"delete from SEM_CHAVE"), 3);

    auto openInsert = s.Statement(u"insert into SEM_CHAVE (A) values (9)");
    try {
        openInsert->Execute({}, true);
        FAIL() << "an insert opened as a query";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), u"SQL statement doesn't return rows");
    }

    // A RETURNING clause hands back its row.
    auto returning = s.Statement(u"insert into SEM_CHAVE (A, B) values (:A, 'r') returning A, B");
    ASSERT_TRUE(returning->Execute(std::vector<TDbParam>{Param(u"A", std::int32_t(41))}, true));
    EXPECT_EQ(returning->RowsAffected(), 1);
    TRowStore returned;
    returned.SetLayout(returning->DescribeFields());
    EXPECT_FALSE(returning->Fetch(returned, 25));
    returning->CloseCursor();
    ASSERT_EQ(returned.RowCount(), 1u);
    EXPECT_EQ(returned.Row(0).Int32(0), 41);
    EXPECT_EQ(AnsiOf(returned.Row(0), 1), "r");

    struct Bad {
        const char16_t* sql;
        int sqlCode;
        const char16_t* text;
    } bad[] = {
        {u"selec * from config_geral", -104, u"Token unknown"},
        {u"select * from NAO_EXISTE", -204, u"Table unknown\rNAO_EXISTE"},
        {u"select * from \"TABELA_\u00c7\"", -204, u"TABELA_\u00c7"},  // names in the server's text decode too
    };
    for (const auto& b : bad) {
        try {
            s.Select(b.sql);
            FAIL() << UnicodeToUtf8(b.sql);
        } catch (const EIBError& e) {
            EXPECT_EQ(e.ErrorCode(), b.sqlCode) << e.what();
            EXPECT_NE(e.Message().find(b.text), std::u16string::npos) << e.what();
            EXPECT_FALSE(e.SQLErrorMsg().empty());
        }
    }
    try {
        s.Select(u"   ");
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), u"SQL statement cannot be empty");
    }
}

TEST(IBServerStatement, ParametersTravelInTheirWireForms) {
    VANTRELO_REQUIRE_FIREBIRD(server);
    TIBTestDatabase db(server, "ibparams", TIBTestDatabase::CatalogueScript());
    TSession s(db);

    TDbParam date(u"D");
    date.SetAsDate(TDateTime(0.0));
    TDbParam stamp(u"T");
    stamp.SetAsDateTime(TDateTime(0.5));
    TDbParam noon(u"H");
    noon.SetValue(TVariant(TDateTime(0.5)));
    noon.SetDataType(ftTime);
    TDbParam unknownNull(u"N");
    TDbParam photo(u"P");
    photo.SetValue(TVariant(TBytes{0, 1, 2, 0xFF}));
    std::vector<TDbParam> params = {date, stamp, noon, unknownNull, photo};

    auto rs = s.Statement(u"select cast(:D as varchar(30)), "
                          u"case when :T = timestamp '1899-12-30 12:00:00' then 'sim' else 'nao' end, "
                          u"cast(:H as varchar(30)), "
                          u"coalesce(cast(:N as varchar(5)), 'nulo'), octet_length(cast(:P as blob sub_type 0)) "
                          u"from rdb$database");
    ASSERT_TRUE(rs->Execute(params, true));
    const TIBSqlDA& input = rs->Command().Input();
    EXPECT_EQ(input.Var(0).SqlType(), 571);
    EXPECT_EQ(input.Var(1).SqlType(), 511);
    EXPECT_EQ(input.Var(2).SqlType(), 561);
    EXPECT_EQ(input.Var(3).SqlType(), 453);
    EXPECT_EQ(*input.Var(3).SqlInd(), -1);
    EXPECT_EQ(input.Var(4).SqlType(), 449);  // a byte array: variable bytes
    EXPECT_EQ(input.Var(4).SqlLen(), 4);
    TRowStore store;
    store.SetLayout(rs->DescribeFields());
    rs->Fetch(store, 0);
    rs->CloseCursor();
    ASSERT_EQ(store.RowCount(), 1u);
    TRecordView row = store.Row(0);
    EXPECT_EQ(AnsiOf(row, 0), "1899-12-30");
    EXPECT_EQ(AnsiOf(row, 1), "sim");
    EXPECT_EQ(AnsiOf(row, 2), "12:00:00.0000");
    EXPECT_EQ(AnsiOf(row, 3), "nulo");
    EXPECT_EQ(row.Int64(4), 4);

    // Dates and times come back as day numbers, before 1899 too.
    auto back = s.Select(u"select cast('1899-12-29 06:00:00' as timestamp), cast('1899-12-31' as date), "
                              u"cast('18:00:00' as time) from rdb$database");
    EXPECT_DOUBLE_EQ(back->Row(0).DateTime(0).Value, -1.25);
    EXPECT_DOUBLE_EQ(back->Row(0).DateTime(1).Value, 1.0);
    EXPECT_DOUBLE_EQ(back->Row(0).DateTime(2).Value, 0.75);
}

TEST(IBServerStatement, BooleansGoToBooleanAndToBooleanDomainColumns) {
    VANTRELO_REQUIRE_FIREBIRD(server);
    TIBTestDatabase db(server, "ibbool", TIBTestDatabase::CatalogueScript());
    TSession s(db);
    EXPECT_EQ(s.Exec(u"update CONFIG_GERAL set SINC_AUTOMATICO = :S, ATIVO = :A where CODIGO = 1",
                     {Param(u"S", false), Param(u"A", false)}),
              1);
    std::vector<TIBFieldDesc> fields;
    auto store = s.Select(u"select SINC_AUTOMATICO, ATIVO, TEMPO_SINC from CONFIG_GERAL", {}, &fields);
    EXPECT_EQ(fields[0].DataType, ftBoolean);  // SMALLINT of the D_BOOLEAN domain
    EXPECT_EQ(fields[1].DataType, ftBoolean);
    EXPECT_EQ(fields[2].DataType, ftSmallint);
    EXPECT_FALSE(store->Row(0).Boolean(0));
    EXPECT_FALSE(store->Row(0).Boolean(1));
}

// What the catalogue says about a table's boolean domains is kept for the attachment: asked
// once per table, asked anew for a table made later and, after DDL through the attachment,
// for every table once the DDL's transaction has ended.
TEST(IBServerStatement, BooleanDomainsAreAskedOncePerTableAndAttachment) {
    VANTRELO_REQUIRE_FIREBIRD(server);
    TIBTestDatabase db(server, "ibboolcache", TIBTestDatabase::CatalogueScript());
    TSession s(db);
    // Rows of the column catalogue this attachment has read so far, as the server counts them.
    auto catalogueReads = [&] {
        return InOwnTransaction(s.Connection, true, [&](TIBTransaction& t) {
            return SelectRows(s.Connection, t,
                              u"SELECT COALESCE(SUM(R.MON$RECORD_IDX_READS + R.MON$RECORD_SEQ_READS), 0) "
                              u"FROM MON$ATTACHMENTS A JOIN MON$TABLE_STATS T ON T.MON$STAT_ID = A.MON$STAT_ID "
                              u"JOIN MON$RECORD_STATS R ON R.MON$STAT_ID = T.MON$RECORD_STAT_ID "
                              u"WHERE A.MON$ATTACHMENT_ID = CURRENT_CONNECTION "
                              u"AND T.MON$TABLE_NAME = 'RDB$RELATION_FIELDS'")[0][0]
                .AsLargeInt();
        });
    };
    auto kinds = [&](const std::u16string& sql) {
        auto rs = s.Statement(sql);
        EXPECT_TRUE(rs->Execute({}, true));
        rs->CloseCursor();
        std::vector<TFieldType> types;
        for (const auto& f : rs->Fields()) types.push_back(f.DataType);
        return types;
    };
    using Kinds = std::vector<TFieldType>;
    const std::u16string config = u"select SINC_AUTOMATICO, TEMPO_SINC from CONFIG_GERAL";

    EXPECT_EQ(kinds(config), (Kinds{ftBoolean, ftSmallint}));
    std::int64_t before = catalogueReads();
    SelectRows(s.Connection, *s.Transaction,
               u"SELECT RDB$FIELD_NAME FROM RDB$RELATION_FIELDS WHERE RDB$RELATION_NAME IN ('CONFIG_GERAL')");
    std::int64_t asked = catalogueReads();
    ASSERT_GT(asked, before);  // the measure sees a catalogue query
    for (int i = 0; i < 3; ++i) EXPECT_EQ(kinds(config), (Kinds{ftBoolean, ftSmallint}));
    EXPECT_EQ(catalogueReads(), asked);

    s.Exec(u"CREATE TABLE NOVA (ID INTEGER, LIGADO D_BOOLEAN)");
    s.Transaction->CommitRetaining();
    EXPECT_EQ(kinds(u"select ID, LIGADO from NOVA"), (Kinds{ftInteger, ftBoolean}));

    // DDL on a known table: a column added is known once committed; a domain changed and
    // rolled back is as before again.
    EXPECT_EQ(kinds(u"select * from NUMEROS"), (Kinds{ftInteger, ftInteger}));
    s.Exec(u"ALTER TABLE NUMEROS ADD PAR D_BOOLEAN");
    s.Transaction->CommitRetaining();
    EXPECT_EQ(kinds(u"select * from NUMEROS"), (Kinds{ftInteger, ftInteger, ftBoolean}));
    s.Exec(u"ALTER TABLE CONFIG_GERAL ALTER COLUMN TEMPO_SINC TYPE D_BOOLEAN");
    EXPECT_EQ(kinds(config), (Kinds{ftBoolean, ftBoolean}));  // as the catalogue says in the transaction
    s.Transaction->Rollback();
    s.Transaction->StartTransaction();
    EXPECT_EQ(kinds(config), (Kinds{ftBoolean, ftSmallint}));

    // A new attachment asks again.
    s.Connection.Disconnect();
    s.Connection.Connect();
    s.Transaction->StartTransaction();
    before = catalogueReads();
    EXPECT_EQ(kinds(config), (Kinds{ftBoolean, ftSmallint}));
    EXPECT_GT(catalogueReads(), before);
}

// The relation alias of each column is asked of the server when wanted.
TEST(IBServerFetch, TableAliasesOfTheColumns) {
    VANTRELO_REQUIRE_FIREBIRD(server);
    TIBTestDatabase db(server, "ibalias", TIBTestDatabase::CatalogueScript());
    TSession s(db);
    auto rs = s.Statement(u"select c.CODIGO, n.V, 1 as UM from CONFIG_GERAL c join NUMEROS n on n.ID = c.CODIGO");
    ASSERT_TRUE(rs->Execute({}, true));
    EXPECT_EQ(rs->TableAlias(0), u"C");
    EXPECT_EQ(rs->TableAlias(1), u"N");
    EXPECT_EQ(rs->TableAlias(2), u"");
    rs->CloseCursor();
}

TEST(IBServerFetch, BlocksOfTwentyFive) {
    VANTRELO_REQUIRE_FIREBIRD(server);
    TIBTestDatabase db(server, "ibfetch", TIBTestDatabase::CatalogueScript());
    TSession s(db);
    auto rs = s.Statement(u"select ID, V from NUMEROS order by ID");
    ASSERT_TRUE(rs->Execute({}, true));
    TRowStore store;
    store.SetLayout(rs->DescribeFields());
    std::vector<std::size_t> blocks;
    bool more = true;
    while (more) {
        std::size_t before = store.RowCount();
        more = rs->Fetch(store, rs->RowsPerFetch());
        blocks.push_back(store.RowCount() - before);
    }
    EXPECT_EQ(blocks, (std::vector<std::size_t>{25, 25, 10}));
    EXPECT_EQ(store.Row(59).Int32(1), 600);
    EXPECT_FALSE(rs->Fetch(store, 25));  // fetched out
    rs->CloseCursor();
}

// Fetching needs an open cursor: a statement that ran without rows is named as such, a
// select not (or no longer) open asks for its cursor.
TEST(IBServerFetch, FetchingWithoutACursorIsRefused) {
    VANTRELO_REQUIRE_FIREBIRD(server);
    TIBTestDatabase db(server, "ibnocursor", TIBTestDatabase::CatalogueScript());
    TSession s(db);
    const std::u16string noDataset = u"Can't execute statement that doesn't return dataset";
    const std::u16string noCursor = u"Cursor must be opened";
    struct Case {
        const char16_t* sql;
        bool prepare, execute;
        const std::u16string& error;
    } cases[] = {
        {u"update NUMEROS set V = V where ID = 1", false, true, noDataset},  // one-shot: dropped after running
        {u"delete from NUMEROS where ID = 0", true, true, noDataset},        // stays prepared
        {u"select ID from NUMEROS", true, false, noCursor},
        {u"select ID from NUMEROS", false, true, noCursor},  // opened, then closed
    };
    for (const auto& c : cases) {
        auto rs = s.Statement(c.sql);
        if (c.prepare) rs->Prepare();
        if (c.execute && rs->Execute({}, false)) rs->CloseCursor();
        TRowStore store;
        try {
            rs->Fetch(store, 25);
            ADD_FAILURE() << "fetched from " << UnicodeToUtf8(c.sql);
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), c.error) << UnicodeToUtf8(c.sql);
        }
    }
}

TEST(IBServerFetch, ColumnKinds) {
    VANTRELO_REQUIRE_FIREBIRD(server);
    TIBTestDatabase db(server, "ibkinds", TIBTestDatabase::CatalogueScript());
    TSession s(db);
    std::vector<TIBFieldDesc> f;
    auto store = s.Select(u"select CODIGO, TAXA, TIPO, DATA_CAD, HORA_CAD, DATAULTIMA_SIC, SERVIDOR_CLOUD, "
                               u"CODIGO + 1 AS PROXIMO, RDB$DB_KEY from CONFIG_GERAL",
                               {}, &f);
    ASSERT_EQ(f.size(), 9u);
    TRecordView row = store->Row(0);
    EXPECT_EQ(f[0].DataType, ftInteger);
    EXPECT_TRUE(f[0].Required);
    EXPECT_EQ(f[0].TableName, u"CONFIG_GERAL");
    EXPECT_EQ(f[1].DataType, ftFloat);  // NUMERIC(15,2)
    EXPECT_DOUBLE_EQ(row.Double(1), 1234.56);
    EXPECT_EQ(f[2].DataType, ftFixedChar);
    EXPECT_EQ(f[2].Length, 1);
    EXPECT_EQ(AnsiOf(row, 2), "S");
    EXPECT_EQ(f[3].DataType, ftDate);
    EXPECT_DOUBLE_EQ(row.DateTime(3).Value, 45306.0);  // 15 January 2024
    EXPECT_EQ(f[4].DataType, ftTime);
    EXPECT_DOUBLE_EQ(row.DateTime(4).Value, 0.5);
    EXPECT_EQ(f[5].DataType, ftDateTime);
    EXPECT_DOUBLE_EQ(row.DateTime(5).Value, 45413.0 + 10.5 / 24);
    EXPECT_EQ(f[6].DataType, ftString);
    EXPECT_EQ(f[6].Length, 100);
    EXPECT_TRUE(f[7].ReadOnly);
    EXPECT_EQ(f[7].Name, u"PROXIMO");
    EXPECT_TRUE(f[8].IsRowId);
    EXPECT_EQ(f[8].Name, u"RDB$DB_KEY");
    EXPECT_EQ(row.Bytes(8).size(), 8u);
}

TEST(IBServerBlob, EmptyLargeAndNullPhotos) {
    VANTRELO_REQUIRE_FIREBIRD(server);
    TIBTestDatabase db(server, "ibblob", TIBTestDatabase::CatalogueScript());
    TSession s(db);
    TBytes large(1 << 20);
    for (std::size_t i = 0; i < large.size(); ++i) large[i] = std::uint8_t(i * 7 + i / 251);
    TDbParam empty(u"F"), big(u"F"), none(u"F"), blob(u"F");
    empty.SetValue(TVariant(TBytes{}));
    big.SetValue(TVariant(large));  // far beyond a VARCHAR: sent as a blob of its own
    none.SetAsBytes(TBytes{});
    none.Clear();
    blob.SetValue(TVariant(TBytes{9, 8, 7}));
    blob.SetDataType(ftBlob);
    s.Exec(u"insert into FOTOS (ID, FOTO) values (1, :F)", {empty});
    s.Exec(u"insert into FOTOS (ID, FOTO) values (2, :F)", {big});
    s.Exec(u"insert into FOTOS (ID, FOTO) values (3, :F)", {none});
    s.Exec(u"insert into FOTOS (ID, FOTO) values (4, :F)", {blob});

    std::vector<TIBFieldDesc> f;
    auto store = s.Select(u"select ID, FOTO from FOTOS order by ID", {}, &f);
    ASSERT_EQ(store->RowCount(), 4u);
    EXPECT_EQ(f[1].DataType, ftBlob);
    EXPECT_FALSE(store->Row(0).IsNull(1));
    EXPECT_EQ(store->Row(0).Bytes(1).size(), 0u);
    std::string_view read = store->Row(1).Bytes(1);
    ASSERT_EQ(read.size(), large.size());
    EXPECT_TRUE(std::equal(read.begin(), read.end(), reinterpret_cast<const char*>(large.data())));
    EXPECT_TRUE(store->Row(2).IsNull(1));
    EXPECT_EQ(store->Row(3).Bytes(1), std::string_view("\x09\x08\x07", 3));
}

// Windows-1252 text keeps its bytes through WIN1252 and NONE columns, both ways, on the
// attachment the program uses ("utf-8"), and as isql reads the same rows.
TEST(IBServerCharset, AnsiTextRoundTripsThroughWin1252AndNoneColumns) {
    VANTRELO_REQUIRE_FIREBIRD(server);
    TIBTestDatabase db(server, "ibcharset", TIBTestDatabase::CatalogueScript());
    const std::string accented = "Caf\xe9 a\xe7\xfa" "car \xc0 vista \x80 5";  // "Café açúcar À vista € 5"
    const std::string hex = HexOf(accented);
    {
        TSession s(db);
        AnsiString text(accented);
        s.Exec(u"insert into TEXTOS (ID, W, N, C, M, MN) values (1, :W, :N, :C, :M, :MN)",
               {Param(u"W", text), Param(u"N", text), Param(u"C", AnsiString("\xe9\xe7")),
                [&] { TDbParam p(u"M"); p.SetValue(TVariant(text)); p.SetDataType(ftMemo); return p; }(),
                [&] { TDbParam p(u"MN"); p.SetValue(TVariant(text)); p.SetDataType(ftMemo); return p; }()});
        // A Unicode value is converted to ANSI first.
        s.Exec(u"update TEXTOS set W = W where W = :W", {Param(u"W", AnsiToUnicode(text))});
        s.Transaction->Commit();
    }
    EXPECT_EQ(db.StoredHex("TEXTOS", "W", "ID = 1"), hex);
    EXPECT_EQ(db.StoredHex("TEXTOS", "N", "ID = 1"), hex);
    EXPECT_EQ(db.StoredHex("TEXTOS", "C", "ID = 1"), "E9E72020");
    EXPECT_EQ(db.StoredHex("TEXTOS", "M", "ID = 1"), hex);
    EXPECT_EQ(db.StoredHex("TEXTOS", "MN", "ID = 1"), hex);

    // Rows written by isql in WIN1252 read back byte for byte.
    db.Isql("INSERT INTO TEXTOS (ID, W, N, C, M, MN) VALUES (2, '" + accented + "', '" + accented + "', '\xe7', '" +
            accented + "', '" + accented + "');\nCOMMIT;\n");
    TSession s(db);
    std::vector<TIBFieldDesc> f;
    auto store = s.Select(u"select ID, W, N, C, M, MN from TEXTOS order by ID", {}, &f);
    ASSERT_EQ(store->RowCount(), 2u);
    EXPECT_EQ(f[1].DataType, ftString);
    EXPECT_EQ(f[3].DataType, ftFixedChar);
    EXPECT_EQ(f[3].Length, 4);
    EXPECT_EQ(f[4].DataType, ftMemo);
    for (std::size_t r = 0; r < 2; ++r) {
        TRecordView row = store->Row(r);
        EXPECT_EQ(AnsiOf(row, 1), accented) << r;
        EXPECT_EQ(AnsiOf(row, 2), accented) << r;
        EXPECT_EQ(AnsiOf(row, 4), accented) << r;
        EXPECT_EQ(AnsiOf(row, 5), accented) << r;
    }
    EXPECT_EQ(AnsiOf(store->Row(0), 3), "\xe9\xe7  ");
    EXPECT_EQ(AnsiOf(store->Row(1), 3), "\xe7   ");

    // Accented parameters find their rows in both kinds of column.
    auto found = s.Select(u"select count(*) from TEXTOS where W = :T and N = :T",
                               {Param(u"T", AnsiString(accented)), Param(u"T", AnsiString(accented))});
    EXPECT_EQ(found->Row(0).Int32(0), 2);
    // Accented literals in the statement text too.
    auto literal = s.Select(u"select count(*) from TEXTOS where W = '" + AnsiToUnicode(AnsiString(accented)) + u"'");
    EXPECT_EQ(literal->Row(0).Int32(0), 2);
}

TEST(IBServerCharset, UnicodeOptionExchangesWideText) {
    VANTRELO_REQUIRE_FIREBIRD(server);
    TIBTestDatabase db(server, "ibunicode", TIBTestDatabase::CatalogueScript());
    TIBConnection connection;
    db.Configure(connection, u"utf-8");
    connection.SetUseUnicode(true);
    connection.Connect();
    EXPECT_EQ(connection.CharsetId(), 3);  // UNICODE_FSS is asked for in place of the alias
    TIBTransaction transaction(connection);
    transaction.StartTransaction();
    static const TInterBaseDbProvider provider;
    const std::u16string text = u"A\u00e7\u00facar \u20ac 5";
    TIBRecordSet insert(connection);
    insert.SetTransaction(&transaction);
    insert.SetSQL(ParseSql(u"insert into TEXTOS (ID, W) values (1, :W)", provider.GetSqlDialect()));
    insert.Execute(std::vector<TDbParam>{Param(u"W", text)}, false);
    TIBRecordSet select(connection);
    select.SetTransaction(&transaction);
    select.SetSQL(ParseSql(u"select W from TEXTOS", provider.GetSqlDialect()));
    ASSERT_TRUE(select.Execute({}, true));
    TRowStore store;
    store.SetLayout(select.DescribeFields());
    select.Fetch(store, 0);
    select.CloseCursor();
    EXPECT_EQ(select.Fields()[0].DataType, ftWideString);
    std::string_view bytes = store.Row(0).Bytes(0);
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(bytes.data()), bytes.size() / 2), text);
    transaction.Commit();
    EXPECT_EQ(db.StoredHex("TEXTOS", "W", "ID = 1"), HexOf("A\xe7\xfa" "car \x80 5"));
}

TEST(IBServerCharset, LongTextAndBytesBecomeBlobs) {
    VANTRELO_REQUIRE_FIREBIRD(server);
    TIBTestDatabase db(server, "iblong", TIBTestDatabase::CatalogueScript());
    TSession s(db);
    std::string text(40000, 'a');
    text[39999] = '\xe9';
    s.Exec(u"insert into TEXTOS (ID, M) values (1, :M)", {Param(u"M", AnsiString(text))});
    auto store = s.Select(u"select M from TEXTOS");
    EXPECT_EQ(AnsiOf(store->Row(0), 0), text);
}

TEST(IBServerLocking, RowLockedByAnotherTransactionFailsAtOnce) {
    VANTRELO_REQUIRE_FIREBIRD(server);
    TIBTestDatabase db(server, "iblock", TIBTestDatabase::CatalogueScript());
    TSession holder(db), waiter(db);
    holder.Exec(u"update CONFIG_GERAL set PORTA_CLOUD = 1 where CODIGO = 1");
    try {
        waiter.Exec(u"update CONFIG_GERAL set PORTA_CLOUD = 2 where CODIGO = 1");
        FAIL() << "updated a row another transaction holds";
    } catch (const EIBError& e) {
        EXPECT_NE(e.Message().find(u"conflict"), std::u16string::npos) << e.what();
    }
}
