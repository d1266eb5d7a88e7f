// The provider's pure rules: attach strings, parameter buffers, wire dates, statement
// kinds, version detection, library order, column mapping, and the binding's stubs.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "dataaccess/DatabaseError.h"
#include "dataaccess/DbProviders.h"
#include "dataaccess/ProviderOptions.h"
#include "dataaccess/SqlParser.h"
#include "platform/CodePage.h"
#include "providers/interbase/IBCommand.h"
#include "providers/interbase/IBConnection.h"
#include "providers/interbase/IBDateTime.h"
#include "providers/interbase/IBError.h"
#include "providers/interbase/IBLibrary.h"
#include "providers/interbase/IBRecordSet.h"
#include "providers/interbase/IBTransaction.h"
#include "providers/interbase/InterBaseDbProvider.h"
#include "tests/support/TestServers.h"

using namespace vantrelo;

namespace {

std::string Bytes(std::initializer_list<int> bytes) {
    std::string s;
    for (int b : bytes) s += char(b);
    return s;
}

template <class F> std::u16string MessageOf(F&& f) {
    try {
        f();
    } catch (const Exception& e) {
        return e.Message();
    }
    return u"<no error>";
}

} // namespace

TEST(IBAttachString, FollowsServerAndPortRules) {
    struct Case {
        TIBProtocol protocol;
        const char16_t *server, *port, *expected;
    } cases[] = {
        {_TCP, u"localhost", u"3050", u"localhost:C:\\db.fdb"},
        {_TCP, u"localhost", u"0", u"localhost:C:\\db.fdb"},
        {_TCP, u"localhost", u"", u"localhost:C:\\db.fdb"},
        {_TCP, u"localhost", u"gds_db", u"localhost:C:\\db.fdb"},
        {_TCP, u"localhost", u"GDS_DB", u"localhost:C:\\db.fdb"},
        {_TCP, u"localhost", u"3051", u"localhost/3051:C:\\db.fdb"},
        {_TCP, u"host/", u"3051", u"host/3051:C:\\db.fdb"},
        {_TCP, u"host/3052", u"3051", u"host/3052:C:\\db.fdb"},
        {_TCP, u"user@host", u"3051", u"user@host:C:\\db.fdb"},
        {_TCP, u"", u"3051", u"C:\\db.fdb"},
        {_NetBEUI, u"srv", u"3050", u"\\\\srv\\C:\\db.fdb"},
        {_NetBEUI, u"srv", u"3051", u"\\\\srv@3051\\C:\\db.fdb"},
        {_SPX, u"srv", u"3051", u"srv@C:\\db.fdb"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BuildAttachString(c.protocol, c.server, c.port, u"C:\\db.fdb"), c.expected)
            << std::string(UnicodeToUtf8(c.server)) << " / " << UnicodeToUtf8(c.port);
}

TEST(IBDpb, DocumentedItemsInOrder) {
    TIBDpbSettings s;
    s.Username = u"SYSDBA";
    s.Password = u"masterkey";
    s.Charset = u"utf-8";
    EXPECT_EQ(BuildDpb(s, 30000), Bytes({1, 28, 6}) + "SYSDBA" + Bytes({29, 9}) + "masterkey" + Bytes({48, 5}) + "utf-8");

    s.Role = u"GERENTE";
    s.TrustedAuthentication = true;
    s.NoDBTriggers = true;
    EXPECT_EQ(BuildDpb(s, 30000), Bytes({1, 28, 6}) + "SYSDBA" + Bytes({29, 9}) + "masterkey" + Bytes({48, 5}) +
                                      "utf-8" + Bytes({60, 7}) + "GERENTE" + Bytes({73, 1, 0, 72, 1, 1}));
}

TEST(IBDpb, CredentialEncodingFollowsClientVersion) {
    TIBDpbSettings s;
    s.Username = u"Jos\u00e9";
    s.Role = u"Ger\u00eancia";
    // 2.5: user name in ANSI, role in UTF-8; 3.0: both in UTF-8; InterBase 6: all ANSI.
    EXPECT_EQ(BuildDpb(s, 25000), Bytes({1, 28, 4}) + "Jos\xe9" + Bytes({60, 9}) + "Ger\xc3\xaancia");
    EXPECT_EQ(BuildDpb(s, 30000), Bytes({1, 28, 5}) + "Jos\xc3\xa9" + Bytes({60, 9}) + "Ger\xc3\xaancia");
    EXPECT_EQ(BuildDpb(s, 60000), Bytes({1, 28, 4}) + "Jos\xe9" + Bytes({60, 8}) + "Ger\xeancia");
}

TEST(IBDpb, UnicodeOptionSendsUnicodeFssUnlessUtf8) {
    TIBDpbSettings s;
    s.UseUnicode = true;
    s.Charset = u"WIN1252";
    EXPECT_EQ(BuildDpb(s, 30000), Bytes({1, 48, 11}) + "UNICODE_FSS");
    s.Charset = u"utf8";
    EXPECT_EQ(BuildDpb(s, 30000), Bytes({1, 48, 4}) + "utf8");
}

TEST(IBDpb, ExtraEntries) {
    struct Case {
        const char16_t* line;
        std::string bytes;
    } cases[] = {
        {u"utf8_filename", Bytes({77, 0})},
        {u"num_buffers=100", Bytes({5, 1, 100})},
        {u" ISC_DPB_NUM_BUFFERS = 100 ", Bytes({5, 1, 100})},
        {u"connect_timeout=300", Bytes({57, 4, 0x2C, 0x01, 0, 0})},
        {u"sweep_interval=20000", Bytes({22, 4, 0x20, 0x4E, 0, 0})},
        {u"lc_messages=pt", Bytes({47, 2}) + "pt"},
        {u"num_buffers", ""},  // a name without value is skipped
    };
    for (const auto& c : cases) {
        TIBDpbSettings s;
        s.ExtraParams = {c.line};
        EXPECT_EQ(BuildDpb(s, 30000), Bytes({1}) + c.bytes) << UnicodeToUtf8(c.line);
    }
    TIBDpbSettings bad;
    bad.ExtraParams = {u"no_such_item=1"};
    EXPECT_EQ(MessageOf([&] { BuildDpb(bad, 30000); }), u"Unknown DPB constant (no_such_item)");
    bad.ExtraParams = {u"isc_dpb_address_path=x", u"auth_block=1"};
    EXPECT_EQ(MessageOf([&] { BuildDpb(bad, 30000); }), u"Unsupported DPB constant (isc_dpb_auth_block)");
}

TEST(IBTpb, IsolationLevels) {
    struct Case {
        TIsolationLevel level;
        bool readOnly;
        std::string bytes;
    } cases[] = {
        {ilReadCommitted, false, Bytes({3, 15, 17, 7, 9})}, {ilReadCommitted, true, Bytes({3, 15, 17, 7, 8})},
        {ilRepeatableRead, false, Bytes({3, 2, 7, 9})},     {ilSnapshot, true, Bytes({3, 2, 7, 8})},
        {ilIsolated, false, Bytes({3, 1, 9})},
    };
    for (const auto& c : cases) EXPECT_EQ(BuildTpb(c.level, c.readOnly, {}), c.bytes) << int(c.level);
    EXPECT_EQ(MessageOf([] { BuildTpb(ilReadUnCommitted, false, {}); }), u"Unsupported transaction isolation level");
}

TEST(IBTpb, CustomParameters) {
    std::vector<std::u16string> lines = {u"isc_tpb_concurrency", u"write",         u"lock_write=ESTOQUE",
                                         u"lock_read=FILIAL",    u"concurrency",   u"lock_timeout=5",
                                         u"wait"};
    EXPECT_EQ(BuildTpb(ilCustom, true, lines),
              Bytes({3, 2, 9, 11, 7}) + "ESTOQUE" + Bytes({10, 6}) + "FILIAL" + Bytes({21, 4, 5, 0, 0, 0, 6}));
    EXPECT_EQ(BuildTpb(ilCustom, false, {u"lock_timeout"}), Bytes({3, 21, 4, 10, 0, 0, 0}));
    EXPECT_EQ(MessageOf([] { BuildTpb(ilCustom, false, {u"verb_time"}); }), u"Unsupported TPB constant (isc_tpb_verb_time)");
    EXPECT_EQ(MessageOf([] { BuildTpb(ilCustom, false, {u"isc_tpb_fast"}); }), u"Unknown TPB constant (fast)");
}

TEST(IBDateTimeWire, EncodesAndDecodes) {
    struct Case {
        double value;
        ibapi::TIscDate date;
        ibapi::TIscTime time;
    } cases[] = {
        {0.0, 15018, 0},
        {0.5, 15018, 432000000},
        {1.25, 15019, 216000000},
        {-1.25, 15017, 216000000},  // 29 December 1899 06:00
        {-700.5, 14318, 432000000},
        {45000.75, 60018, 648000000},
    };
    for (const auto& c : cases) {
        ibapi::TIscTimestamp ts = EncodeIBTimestamp(TDateTime(c.value));
        EXPECT_EQ(ts.Date, c.date) << c.value;
        EXPECT_EQ(ts.Time, c.time) << c.value;
        EXPECT_DOUBLE_EQ(DecodeIBTimestamp(ts).Value, c.value);
    }
    EXPECT_EQ(EncodeIBDate(TDateTime(0.0)), 15018);
    EXPECT_EQ(EncodeIBTime(TDateTime(0.5)), 432000000u);
    EXPECT_DOUBLE_EQ(DecodeIBDate(15018).Value, 0.0);
    EXPECT_DOUBLE_EQ(DecodeIBTime(432000000).Value, 0.5);
    // A fraction a hair below a whole day stays on its own day.
    EXPECT_LT(EncodeIBTime(TDateTime(0.9999999999999)), 864000000u);
}

TEST(IBStatementParsing, ParametersAndQueryTypes) {
    TInterBaseDbProvider provider;
    const TSqlDialect& dialect = provider.GetSqlDialect();

    TParsedSql p = ParseSql(u"select *  from estoque  where  DATA_ALTERACAO  between :DI and :DF and est_codigo >0  order by est_codigo", dialect);
    ASSERT_EQ(p.Params.size(), 2u);
    EXPECT_EQ(p.Params[0].Name, u"DI");
    EXPECT_EQ(p.Params[1].Name, u"DF");
    EXPECT_EQ(p.Text, u"select *  from estoque  where  DATA_ALTERACAO  between ? and ? and est_codigo >0  order by est_codigo");

    // Colons in the bodies of DDL and PSQL are the body's own variables.
    for (const char16_t* ddl : {u"create procedure P (A integer) as begin select 1 from rdb$database into :A; end",
                                u"execute block returns (X integer) as begin X = 1; suspend; end",
                                u"alter trigger T as declare variable v integer; begin v = :v; end"}) {
        EXPECT_TRUE(ParseSql(ddl, dialect).Params.empty()) << UnicodeToUtf8(ddl);
    }
    EXPECT_EQ(ParseSql(u"update t set a = :\"Nome Quoted\" where b = ':x'", dialect).Params.size(), 1u);

    struct Case {
        const char16_t* sql;
        bool firebird;
        TIBQueryType type;
    } cases[] = {
        {u"select * from config_geral", true, qtSelect},
        {u"  /* note */ WITH x AS (select 1 a from rdb$database) select * from x", true, qtSelect},
        {u"insert into t (a) values (?) returning id", true, qtInsertReturning},
        {u"insert into t (a) values (?) returning id", false, qtInsert},
        {u"update t set a = 'returning' where b = ?", true, qtUpdate},
        {u"delete from t", true, qtDelete},
        {u"execute block as begin end", true, qtExecuteBlock},
        {u"create table x (a integer)", true, qtCreate},
        {u"drop table x", true, qtDrop},
        {u"commit", true, qtUnknown},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseIBQueryType(c.sql, c.firebird), c.type) << UnicodeToUtf8(c.sql);
}

// Text parameters' bytes and the character set they are tagged with, by attachment.
TEST(IBTextParams, EncodingAndCharsetTag) {
    constexpr int None = 0, UnicodeFss = 3, Utf8 = 4, Win1252 = 53, Unknown = -1;
    struct Case {
        bool useUnicode;
        int attachment, ansi;
        TIBTextEncoding expected;
    } cases[] = {
        {false, Utf8, Win1252, {false, Win1252}},  // "utf-8": ANSI bytes, converted per column
        {false, Utf8, Unknown, {true, Utf8}},       // no set for the code page: UTF-8, said so
        {false, UnicodeFss, Unknown, {true, UnicodeFss}},
        {false, Win1252, Win1252, {false, None}},   // an 8-bit attachment takes ANSI as it is
        {false, None, Unknown, {false, None}},
        {true, UnicodeFss, Win1252, {true, UnicodeFss}},
        {true, Utf8, Unknown, {true, Utf8}},
    };
    for (const auto& c : cases) {
        TIBTextEncoding e = IBTextParamEncoding(c.useUnicode, c.attachment, c.ansi);
        EXPECT_EQ(e, c.expected) << c.useUnicode << " " << c.attachment << " " << c.ansi << ": " << e.Utf8 << " "
                                 << e.Charset;
    }
}

TEST(IBRowCounts, ReadsTheRecordsReply) {
    // Item 23 with update, delete, select and insert counts: the values sit at offsets 6, 13, 20 and 27.
    std::string reply = Bytes({23, 29, 0, 15, 4, 0, 7, 0, 0, 0, 16, 4, 0, 2, 0, 0, 0, 13, 4, 0, 9, 0, 0, 0, 14, 4, 0,
                               1, 0, 0, 0, 1});
    TIBRowCounts c = ParseRowCounts(reply);
    EXPECT_EQ(c.Updated, 7);
    EXPECT_EQ(c.Deleted, 2);
    EXPECT_EQ(c.Inserted, 1);
    EXPECT_EQ(c.Affected(), 10);
    EXPECT_EQ(MessageOf([] { ParseRowCounts(Bytes({2, 0, 0})); }), u"SQL information exception");
}

TEST(IBInfo, IntegerValues) {
    EXPECT_EQ(ReadInfoInteger(Bytes({62, 1, 0, 3, 1}), 62, 1), 3);
    EXPECT_EQ(ReadInfoInteger(Bytes({62, 2, 0, 0x34, 0x12}), 62, 1), 0x1234);
    EXPECT_EQ(ReadInfoInteger(Bytes({62, 4, 0, 0xFF, 0xFF, 0xFF, 0xFF}), 62, 1), -1);
    EXPECT_EQ(ReadInfoInteger(Bytes({62, 8, 0, 1, 0, 0, 0, 0, 0, 0, 0}), 62, 1), 1);
    EXPECT_EQ(ReadInfoInteger(Bytes({62, 0, 0}), 62, 1), 0);
    EXPECT_EQ(ReadInfoInteger(Bytes({3, 0, 0}), 62, 1), 1);  // not answered: dialect 1
    EXPECT_EQ(MessageOf([] { ReadInfoInteger(Bytes({62, 3, 0, 1, 2, 3}), 62, 1); }), u"Unsupported length");
}

TEST(IBLibraryRules, VersionDetection) {
    struct Case {
        const char* text;
        int major, minor;
        std::int64_t version;
        const char16_t* versionText;
    } cases[] = {
        {"LI-V6.3.11.33637 Firebird 3.0", 6, 3, 30000, u"3.0"},
        {"WI-V6.3.9.27139 Firebird 2.5", 6, 3, 25000, u"2.5"},
        {"firebird 4.0 extra", 6, 3, 40000, u"4.0"},
        {"WI-V7.5.1.80", 7, 5, 75000, u"7.5"},
        {nullptr, 6, 0, 60000, u"6.0"},
    };
    for (const auto& c : cases) {
        TIBClientVersion v = DetectClientVersion(c.text, c.major, c.minor);
        EXPECT_EQ(v.Version, c.version) << (c.text ? c.text : "null");
        EXPECT_EQ(v.Text, c.versionText);
    }
    EXPECT_FALSE(IsThreadSafeClient(20000));
    EXPECT_TRUE(IsThreadSafeClient(25000));
    EXPECT_TRUE(IsThreadSafeClient(30000));
    EXPECT_FALSE(IsThreadSafeClient(60000));
    EXPECT_FALSE(IsThreadSafeClient(75000));
    EXPECT_TRUE(IsThreadSafeClient(90000));
}

TEST(IBLibraryRules, FileOrderByDatabaseExtension) {
    std::vector<std::u16string> fb = ClientLibraryOrder(u"C:\\Quarvel\\BD_Dados\\BD_QUARVEL.FDB");
    ASSERT_EQ(fb.size(), 2u);
    EXPECT_EQ(ClientLibraryOrder(u"/data/x.fb"), fb);
    std::vector<std::u16string> other = {fb[1], fb[0]};
    EXPECT_EQ(ClientLibraryOrder(u"C:\\dados\\base.gdb"), other);
    EXPECT_EQ(ClientLibraryOrder(u"C:\\x.fdb\\base"), other);
    EXPECT_EQ(ClientLibraryOrder(u"aliasname"), other);
}

TEST(IBLibraryRules, LoadFailures) {
    TIBLibrary named(u"no-such-client-library", {});
    EXPECT_EQ(MessageOf([&] { named.Load(); }), u"Cannot load client library: no-such-client-library");
    TIBLibrary defaults(u"", {u"no-such-a", u"no-such-b"});
    EXPECT_EQ(MessageOf([&] { defaults.Load(); }), u"Cannot load client library");
}

namespace {
void VANTRELO_ISC_CALL FakeClientVersion(char* buffer) { std::strcpy(buffer, "WI-V6.3.9 Firebird 2.5"); }
ibapi::TStatus VANTRELO_ISC_CALL FakeRollbackRetaining(ibapi::TStatus*, ibapi::THandle*) { return 0; }

std::string GAttachString, GDpb;
ibapi::TStatus VANTRELO_ISC_CALL FakeAttach(ibapi::TStatus* status, short length, const char* name, ibapi::THandle*,
                                            short dpbLength, const char* dpb) {
    GAttachString.assign(name, std::size_t(length));
    GDpb.assign(dpb, std::size_t(dpbLength));
    status[0] = 1;
    status[1] = 335544721;
    status[2] = 0;
    return 335544721;
}
std::int32_t VANTRELO_ISC_CALL FakeSqlcode(const ibapi::TStatus*) { return -902; }
void VANTRELO_ISC_CALL FakeSqlInterprete(short, char* buffer, short) { std::strcpy(buffer, "Unsuccessful execution"); }
std::int32_t VANTRELO_ISC_CALL FakeInterprete(char* buffer, ibapi::TStatus** cursor) {
    if ((*cursor)[1] == 0) return 0;
    std::strcpy(buffer, (*cursor)[1] == 335544721 ? "Unable to complete network request" : "Failed");
    (*cursor)[1] = (*cursor)[1] == 335544721 ? 1 : 0;  // a second line, then the end
    return std::int32_t(std::strlen(buffer));
}

void* FakeLookup(const char* name) {
    std::string n = name;
    if (n == "isc_get_client_version") return reinterpret_cast<void*>(&FakeClientVersion);
    if (n == "isc_rollback_retaining") return reinterpret_cast<void*>(&FakeRollbackRetaining);
    if (n == "isc_attach_database") return reinterpret_cast<void*>(&FakeAttach);
    if (n == "isc_sqlcode") return reinterpret_cast<void*>(&FakeSqlcode);
    if (n == "isc_sql_interprete") return reinterpret_cast<void*>(&FakeSqlInterprete);
    if (n == "isc_interprete") return reinterpret_cast<void*>(&FakeInterprete);
    return nullptr;
}
} // namespace

TEST(IBLibraryRules, MissingEntryPointsRaiseWhenCalled) {
    TIBLibrary library(u"", {});
    library.BindForTests([](const char*) { return nullptr; });
    EXPECT_EQ(library.ClientVersion(), 50000);  // no isc_rollback_retaining: an InterBase 5 client
    EXPECT_EQ(library.VersionText(), u"5");
    ibapi::TStatusVector status{};
    ibapi::THandle handle{};
    EXPECT_EQ(MessageOf([&] { library.Api().isc_detach_database(status.data(), &handle); }),
              u"GDS function is not linked");
}

TEST(IBLibraryRules, ClientTwoFiveAttachesWithUtf8FileName) {
    TIBLibrary library(u"", {});
    library.BindForTests(FakeLookup);
    ASSERT_EQ(library.ClientVersion(), 25000);
    TIBConnection connection;
    connection.UseLibrary(library);
    connection.SetServer(u"localhost");
    connection.SetDatabase(u"C:\\Jo\u00e3o\\BD.FDB");
    connection.SetUsername(u"Jos\u00e9");
    connection.SetCharset(u"utf-8");
    try {
        connection.Connect();
        FAIL() << "the fake attach fails";
    } catch (const EIBError& e) {
        EXPECT_EQ(e.ErrorCode(), -902);
        EXPECT_EQ(e.ErrorNumber(), 335544721);
        EXPECT_TRUE(e.IsFatalError());
        EXPECT_EQ(e.SQLErrorMsg(), u"Unsuccessful execution");
        EXPECT_EQ(e.Message(), u"Unable to complete network request\rFailed");
    }
    EXPECT_FALSE(connection.GetConnected());
    EXPECT_EQ(GAttachString, "localhost:C:\\Jo\xc3\xa3o\\BD.FDB");
    EXPECT_EQ(GDpb, Bytes({1, 28, 4}) + "Jos\xe9" + Bytes({48, 5}) + "utf-8" + Bytes({77, 0}));
}

TEST(IBColumns, FieldKindsOfServerTypes) {
    struct Case {
        short sqltype, scale, subtype, len;
        TFieldType expected;
        int length;
    } cases[] = {
        {452 + 1, 0, 53, 1, ftFixedChar, 1},   // CHAR(1) WIN1252
        {452, 0, 4, 4, ftFixedChar, 1},        // CHAR(1) arriving as UTF-8
        {448 + 1, 0, 4, 400, ftString, 100},   // VARCHAR(100) arriving as UTF-8
        {448, 0, 0, 40, ftString, 40},         // VARCHAR(40) CHARACTER SET NONE
        {448, 0, 1, 16, ftVarBytes, 16},       // OCTETS
        {496, 0, 0, 4, ftInteger, 0},
        {500, 0, 0, 2, ftSmallint, 0},
        {580, 0, 0, 8, ftLargeint, 0},
        {580 + 1, -2, 1, 8, ftFloat, 0},       // NUMERIC(15,2)
        {496, 0, 1, 4, ftFloat, 0},            // NUMERIC(9,0) under the simple numeric map
        {480, 0, 0, 8, ftFloat, 0},
        {482, 0, 0, 4, ftFloat, 0},
        {510, 0, 0, 8, ftDateTime, 0},
        {570, 0, 0, 4, ftDate, 0},
        {560, 0, 0, 4, ftTime, 0},
        {520 + 1, 53, 1, 8, ftMemo, 0},
        {520, 0, 0, 8, ftBlob, 0},
        {32764 + 1, 0, 0, 1, ftBoolean, 0},
    };
    TIBColumnSettings settings;
    settings.ConnectionCharsetId = ibapi::CharsetUtf8;
    settings.ConnectionCharLength = 4;
    for (const auto& c : cases) {
        TIBSqlDA da;
        TIBSqlVar var = da.Var(0);
        var.SqlType() = c.sqltype;
        var.SqlScale() = c.scale;
        var.SqlSubtype() = c.subtype;
        var.SqlLen() = c.len;
        TIBFieldDesc f = DescribeIBColumn(var, settings);
        EXPECT_EQ(f.DataType, c.expected) << c.sqltype << "/" << c.subtype;
        EXPECT_EQ(f.Length, c.length) << c.sqltype << "/" << c.subtype;
        if (c.expected == ftFloat && (c.sqltype & ~1) != 480 && (c.sqltype & ~1) != 482) {
            // Re-typed so that the server converts the scaled integer to a double.
            EXPECT_EQ(var.SqlType(), short(480 | (c.sqltype & 1)));
            EXPECT_EQ(var.SqlLen(), 8);
            EXPECT_EQ(var.SqlScale(), 0);
        }
    }
    TIBSqlDA da;
    da.Var(0).SqlType() = 540;
    EXPECT_EQ(MessageOf([&] { DescribeIBColumn(da.Var(0), settings); }), u"Data type is not supported");

    TIBColumnSettings bcd = settings;
    bcd.EnableBCD = true;
    // BCD holds up to 4 decimal places and, under the simple map, 14 digits: NUMERIC(9,2)
    // qualifies, NUMERIC(18,2) does not.
    TIBSqlVar var = da.Var(0);
    var.SqlType() = 496;
    var.SqlScale() = -2;
    EXPECT_EQ(DescribeIBColumn(var, bcd).DataType, ftBCD);
    var.SqlType() = 580;
    var.SqlScale() = -2;
    EXPECT_EQ(DescribeIBColumn(var, bcd).DataType, ftFloat);
}

TEST(IBColumns, RowIdentityAndRequired) {
    TIBSqlDA da;
    TIBSqlVar var = da.Var(0);
    auto setName = [](short& length, char* text, const char* name) {
        length = short(std::strlen(name));
        std::memcpy(text, name, std::strlen(name));
    };
    auto* raw = reinterpret_cast<ibapi::TXSQLVAR_V1*>(reinterpret_cast<std::byte*>(da.Data()) + ibapi::SqldaVarOffset);
    setName(raw->sqlname_length, raw->sqlname, "DB_KEY");
    setName(raw->relname_length, raw->relname, "CONFIG_GERAL");
    setName(raw->aliasname_length, raw->aliasname, "DB_KEY");
    var.SqlType() = 452;
    var.SqlSubtype() = 1;
    var.SqlLen() = 8;
    TIBFieldDesc key = DescribeIBColumn(var, {});
    EXPECT_EQ(key.Name, u"RDB$DB_KEY");
    EXPECT_TRUE(key.IsRowId);
    EXPECT_TRUE(key.ReadOnly);
    EXPECT_FALSE(key.Required);

    setName(raw->sqlname_length, raw->sqlname, "CODIGO");
    setName(raw->aliasname_length, raw->aliasname, "CODIGO");
    var.SqlType() = 496;
    var.SqlLen() = 4;
    TIBFieldDesc code = DescribeIBColumn(var, {});
    EXPECT_TRUE(code.Required);
    EXPECT_FALSE(code.ReadOnly);
    EXPECT_EQ(code.TableName, u"CONFIG_GERAL");

    raw->relname_length = 0;  // an expression
    var.SqlType() = 497;
    TIBFieldDesc expression = DescribeIBColumn(var, {});
    EXPECT_TRUE(expression.ReadOnly);
    EXPECT_FALSE(expression.Required);
}

TEST(IBProvider, NamesOptionsAndQuoting) {
    TInterBaseDbProvider provider;
    EXPECT_EQ(provider.GetProviderName(), u"InterBase");
    EXPECT_TRUE(provider.NeedTransaction());
    struct Expected {
        const char16_t* name;
        TVariant value;
        unsigned target;
    } expected[] = {
        {u"Charset", TVariant(std::u16string()), otConnection},  {u"UseUnicode", TVariant(false), otConnection},
        {u"SQLDialect", TVariant(std::int32_t(3)), otConnection}, {u"CharLength", TVariant(std::int32_t(0)), otConnection},
        {u"SimpleNumericMap", TVariant(true), otConnection},      {u"FetchAll", TVariant(false), otDataSet},
        {u"CacheBlobs", TVariant(true), otDataSet},               {u"BooleanDomainFields", TVariant(true), otDataSet},
        {u"QueryRowsAffected", TVariant(true), otDataSet},        {u"AutoCommit", TVariant(true), otDataSet},
    };
    for (const auto& e : expected) {
        auto it = std::find_if(provider.GetOptions().begin(), provider.GetOptions().end(),
                               [&](const TOption& o) { return o.Name == e.name; });
        ASSERT_NE(it, provider.GetOptions().end()) << UnicodeToUtf8(e.name);
        EXPECT_EQ(it->Default, e.value) << UnicodeToUtf8(e.name);
        EXPECT_EQ(it->Targets, e.target) << UnicodeToUtf8(e.name);
    }

    struct Quote {
        const char16_t *name, *quoted;
        bool always;
    } quotes[] = {
        {u"CONFIG_GERAL", u"CONFIG_GERAL", false}, {u"RDB$DB_KEY", u"RDB$DB_KEY", false},
        {u"Config", u"\"Config\"", false},         {u"DATA ULTIMA", u"\"DATA ULTIMA\"", false},
        {u"1COL", u"\"1COL\"", false},             {u"A\"B", u"\"A\"\"B\"", false},
        {u"CODIGO", u"\"CODIGO\"", true},
    };
    for (const auto& q : quotes) EXPECT_EQ(provider.QuoteName(q.name, q.always), q.quoted) << UnicodeToUtf8(q.name);
}

TEST(IBProvider, RegistersOnceUnderItsName) {
    RegisterInterBaseProvider();
    RegisterInterBaseProvider();
    TDbProvider* p = TDbProviders::FindProvider(u" interbase ");
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->GetProviderName(), u"InterBase");

    TProviderOptions options([p] { return p; });
    options.Add(u"InterBase.Charset=utf-8");
    EXPECT_EQ(options.Lines().back(), u"InterBase.Charset=utf-8");
    EXPECT_EQ(MessageOf([&] { options.Add(u"InterBase.Compress=True"); }),
              u"\"Compress\" is not a valid option name for InterBase provider");
}

TEST(IBErrorText, ReadFromTheClientLibrary) {
#if !VANTRELO_CLIENT_LIBRARY_INSTALLED
    GTEST_SKIP() << "a build whose tests have no client library to load (Windows under Wine)";
#endif
    TIBLibrary* library = nullptr;
    try {
        library = &TIBLibraryList::GetLibrary(u"", ClientLibraryOrder(u"x.fdb"));
    } catch (const Exception& e) {
        // CI installs the client library: there its absence is a failure, not a skip.
        if (test::RunningInCI()) FAIL() << "no client library: " << e.what();
        GTEST_SKIP() << "no client library: " << e.what();
    }
    // "Table unknown" with its argument, as a server would report it.
    static const char table[] = "NO_SUCH_TABLE";
    ibapi::TStatusVector status{};
    status[0] = 1;
    status[1] = 335544569;  // dynamic SQL error
    status[2] = 1;          // argument: another code
    status[3] = 335544436;  // SQL error code = %ld
    status[4] = 4;          // argument: number
    status[5] = -204;
    status[6] = 1;
    status[7] = 335544580;  // Table unknown
    status[8] = 1;
    status[9] = 335544382;  // %s
    status[10] = 2;         // argument: string
    status[11] = reinterpret_cast<ibapi::TStatus>(table);
    status[12] = 0;
    EIBError e = ReadIBError(*library, status, false, nullptr);
    EXPECT_EQ(e.ErrorCode(), -204);
    EXPECT_EQ(e.ErrorNumber(), 335544569);
    EXPECT_FALSE(e.IsFatalError());
    EXPECT_EQ(e.Message(), u"Dynamic SQL Error\rSQL error code = -204\rTable unknown\rNO_SUCH_TABLE");
    EXPECT_FALSE(e.SQLErrorMsg().empty());
}

TEST(IBErrorText, FatalAndKeyViolationNumbers) {
    for (std::int64_t n : {335544528, 335544648, 335544721, 335544726, 335544727, 335544741, 335544856})
        EXPECT_TRUE(EIBError(-902, n, {}, u"x").IsFatalError()) << n;
    EXPECT_FALSE(EIBError(-902, 335544345, {}, u"x").IsFatalError());
    EXPECT_TRUE(EIBError(-803, KeyViolationErrorNumber, {}, u"x").IsKeyViolation());
    auto copy = EIBError(-803, 335544665, u"sql", u"msg").Clone();
    EXPECT_TRUE(copy->IsKeyViolation());
    EXPECT_EQ(dynamic_cast<const EIBError&>(*copy).SQLErrorMsg(), u"sql");
}
