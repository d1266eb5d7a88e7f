// The session over an in-memory peer: greeting, login packet, password answers, query
// replies, column definitions, rows, multiple results and the local-file request.
#include <gtest/gtest.h>

#include <string>

#include "platform/Exception.h"
#include "providers/mysql/MySqlException.h"
#include "providers/mysql/MySqlPassword.h"
#include "providers/mysql/MySqlProtocolApi.h"
#include "providers/mysql/MySqlSession.h"
#include "tests/providers/mysql/ScriptedVio.h"

using namespace std::string_literals;

namespace vantrelo::test {
namespace {

constexpr std::uint32_t ConnectionFlags = CLIENT_FOUND_ROWS | CLIENT_MULTI_STATEMENTS | CLIENT_COMPRESS;
const std::uint8_t Scramble[] = {'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j',
                                 'k', 'l', 'm', 'n', 'o', 'p', 'q', 'r', 's', 't'};

std::string Str(const auto& bytes) { return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size()); }

struct TSessionFixture : ::testing::Test {
    TMySqlSession session;
    TScriptedVio* vio = nullptr;

    void Peer(std::string input) {
        auto v = std::make_unique<TScriptedVio>(std::move(input));
        vio = v.get();
        session.net.SetVio(std::move(v));
    }
    void Login(std::string serverInput, const char* password = "vpass") {
        session.user = AnsiString("vuser");
        session.password = AnsiString(password);
        session.database = AnsiString("vtest");
        Peer(std::move(serverInput));
        session.Login(ConnectionFlags);
    }
    // The packets the client sent, split.
    std::vector<std::pair<int, std::string>> Sent() const { return Packets(vio->Output); }
    static std::vector<std::pair<int, std::string>> Packets(const std::string& out) {
        std::vector<std::pair<int, std::string>> packets;
        for (std::size_t at = 0; at + 4 <= out.size();) {
            std::size_t n = std::uint8_t(out[at]) | std::uint8_t(out[at + 1]) << 8 | std::uint8_t(out[at + 2]) << 16;
            packets.emplace_back(std::uint8_t(out[at + 3]), out.substr(at + 4, n));
            at += 4 + n;
        }
        return packets;
    }
    // A logged-in session on a server without compression, then what the server answers.
    void Ready(std::string replies) {
        Login(Packet(0, Greeting(ModernServer & ~0x20)) + Packet(2, OkPayload()) + replies);
        vio->Output.clear();
    }
    void Query(std::string_view sql) {
        session.SimpleCommand(scQuery, reinterpret_cast<const std::uint8_t*>(sql.data()), sql.size(), true);
        session.ReadQueryResult();
    }
};

TEST_F(TSessionFixture, LoginPacketAndFlagsFollowWhatTheServerOffers) {
    struct TCase {
        std::uint16_t server;
        std::uint32_t flags;
        bool compressed;
    } cases[] = {{ModernServer, 0x3A2AF, true}, {std::uint16_t(ModernServer & ~0x20), 0x3A28F, false}};
    for (const auto& c : cases) {
        session.FclientFlag = 0;
        Login(Packet(0, Greeting(c.server)) + Packet(2, OkPayload()));
        auto sent = Sent();
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(sent[0].first, 1);
        auto token = NativePasswordToken("vpass", Scramble);
        std::string expected = Le(c.flags, 4) + Le(1073741824, 4) + char(8) + std::string(23, '\0') + "vuser"s + '\0' +
                               char(20) + Str(token) + "vtest"s + '\0';
        EXPECT_EQ(sent[0].second, expected);
        EXPECT_EQ(session.net.Compress(), c.compressed);
        session.net.Close();
    }
}

TEST_F(TSessionFixture, NativeTokenPassesTheServersCheck) {
    // The server keeps SHA1(SHA1(password)); "password" gives the published 2470C0C0... value.
    auto stage2 = TSha1::Digest(TSha1::Digest("password").data(), 20);
    EXPECT_EQ(stage2[0], 0x24);
    EXPECT_EQ(stage2[19], 0x19);
    auto token = NativePasswordToken("password", Scramble);
    TSha1 sha;
    sha.Update(Scramble, sizeof Scramble);
    sha.Update(stage2.data(), stage2.size());
    auto mix = sha.Final();
    std::uint8_t stage1[20];
    for (int i = 0; i < 20; ++i) stage1[i] = token[std::size_t(i)] ^ mix[std::size_t(i)];
    EXPECT_EQ(TSha1::Digest(stage1, 20), stage2);
}

TEST_F(TSessionFixture, EmptyPasswordSendsOneZeroByte) {
    Login(Packet(0, Greeting(ModernServer)) + Packet(2, OkPayload()), "");
    std::string login = Sent()[0].second;
    EXPECT_EQ(login.substr(32), "vuser"s + '\0' + '\0' + "vtest"s + '\0');
}

TEST_F(TSessionFixture, AuthenticationSwitchIsAnsweredWithANewToken) {
    std::string newScramble = "ABCDEFGHIJKLMNOPQRST";
    std::string switchReply = "\xFE" "mysql_native_password"s + '\0' + newScramble + '\0';
    ASSERT_EQ(switchReply.size(), 44u);
    Login(Packet(0, Greeting(ModernServer)) + Packet(2, switchReply) + Packet(4, OkPayload()));
    auto sent = Sent();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[1].first, 3);
    EXPECT_EQ(sent[1].second, Str(NativePasswordToken("vpass", std::span(
                                  reinterpret_cast<const std::uint8_t*>(newScramble.data()), 20))));
}

TEST_F(TSessionFixture, ReplyOfAnotherLengthEndsTheLogin) {
    std::string odd = "\xFE" "mysql_native_password"s + '\0' + "ABCDEFGHIJKLMNOPQRS";  // 43 bytes
    Login(Packet(0, Greeting(ModernServer)) + Packet(2, odd));
    EXPECT_EQ(Sent().size(), 1u);
}

TEST_F(TSessionFixture, OldScrambleAnswersTheShortRequestAndOldServers) {
    auto old = OldPasswordScramble("vpass", Scramble);
    Login(Packet(0, Greeting(ModernServer)) + Packet(2, "\xFE") + Packet(4, OkPayload()));
    auto sent = Sent();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[1], (std::pair<int, std::string>(3, Str(old) + '\0')));

    // A server without secure connection takes the old scramble in the login packet, and
    // without protocol 4.1 a 2-byte flags field and a 3-byte packet size.
    session.net.Close();
    session.FclientFlag = 0;
    Login(Packet(0, Greeting(0x1 | 0x4 | 0x8)) + Packet(2, OkPayload()));
    std::string login = Sent()[0].second;
    EXPECT_EQ(login.substr(0, 5), Le(0xA08F, 2) + Le(0, 3));
    EXPECT_EQ(login.substr(5), "vuser"s + '\0' + Str(old) + '\0' + "vtest"s + '\0');
}

TEST_F(TSessionFixture, OldScrambleIgnoresBlanksOfThePassword) {
    EXPECT_EQ(OldPasswordScramble("v pass\t", Scramble), OldPasswordScramble("vpass", Scramble));
    EXPECT_NE(OldPasswordScramble("vpasS", Scramble), OldPasswordScramble("vpass", Scramble));
}

TEST_F(TSessionFixture, GreetingOfAnotherProtocolFailsWith2007) {
    try {
        Login(Packet(0, Greeting(ModernServer, "4.0", 9)));
        FAIL() << "no error";
    } catch (const EMySqlException& e) {
        EXPECT_EQ(e.ErrorCode(), 2007);
        EXPECT_EQ(e.Message(), u"Protocol mismatch. Server Version = 9 Client Version = 10");
    }
}

TEST_F(TSessionFixture, RefusedLoginRaisesTheServersText) {
    try {
        Login(Packet(0, Greeting(ModernServer)) + Packet(2, ErrPayload(1045, "#28000Access denied")));
        FAIL() << "no error";
    } catch (const EMySqlException& e) {
        EXPECT_EQ(e.ErrorCode(), 1045);
        EXPECT_EQ(e.Message(), u"#28000Access denied");
    }
}

TEST_F(TSessionFixture, OkPacketFillsTheCounters) {
    Ready(Packet(1, "\x00\x02\x07\x02\x00\x01\x00(Rows matched: 1)"s));
    Query("UPDATE t SET a = 1");
    EXPECT_EQ(session.fieldCount, 0u);
    EXPECT_EQ(session.affectedRows, 2);
    EXPECT_EQ(session.insertId, 7u);
    EXPECT_EQ(session.warningCount, 1);
    EXPECT_EQ(session.info, AnsiString("(Rows matched: 1)"));
    EXPECT_EQ(Sent(), (std::vector<std::pair<int, std::string>>{{0, "\x03UPDATE t SET a = 1"}}));
}

TEST_F(TSessionFixture, ResultSetColumnsAndRowsDecodeInPlace) {
    Ready(Packet(1, "\x02") + Packet(2, ColumnDef("id", 3, 11, NOT_NULL_FLAG | PRI_KEY_FLAG)) +
          Packet(3, ColumnDef("nome", 253, 60)) + Packet(4, EofPayload()) + Packet(5, "\x01" "7" "\xFB") +
          Packet(6, "\x02" "12" "\x03" "abc") + Packet(7, EofPayload(0x22)));
    Query("SELECT id, nome FROM t");
    ASSERT_EQ(session.fieldCount, 2u);
    EXPECT_EQ(session.status, msGetResult);
    EXPECT_EQ(session.fields[0].Name, AnsiString("id"));
    EXPECT_EQ(session.fields[0].MyType, 3);
    EXPECT_EQ(session.fields[0].Length, 11u);
    EXPECT_EQ(session.fields[0].Flags, NOT_NULL_FLAG | PRI_KEY_FLAG | NUM_FLAG);
    EXPECT_EQ(session.fields[1].Table, AnsiString("t"));

    session.status = msUseResult;
    TMySqlResultSet result(session);
    ASSERT_TRUE(result.Fetch());
    EXPECT_FALSE(result.Binds()[0].IsNull);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(result.Buffer()) + result.Binds()[0].Offset, 1), "7");
    EXPECT_TRUE(result.Binds()[1].IsNull);
    ASSERT_TRUE(result.Fetch());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(result.Buffer()) + result.Binds()[1].Offset,
                          result.Binds()[1].Length),
              "abc");
    EXPECT_FALSE(result.Fetch());
    EXPECT_EQ(session.status, msReady);
    EXPECT_EQ(session.serverStatus, 0x22);
}

TEST_F(TSessionFixture, ColumnDefinitionsOfOldServers) {
    // Without protocol 4.1: table, name, then length, type and flags as length-encoded blocks.
    Login(Packet(0, Greeting(0x1 | 0x4 | 0x8 | 0x8000)) + Packet(2, OkPayload()));
    vio->Input += Packet(1, "\x01") + Packet(2, LenStr("t") + LenStr("preco") + "\x03" + Le(12, 3) + "\x01\x05" +
                                                    "\x03" + Le(0x20, 2) + "\x02") +
                  Packet(3, "\xFE");
    Query("SELECT preco FROM t");
    ASSERT_EQ(session.fieldCount, 1u);
    EXPECT_EQ(session.fields[0].Name, AnsiString("preco"));
    EXPECT_EQ(session.fields[0].MyType, 5);
    EXPECT_EQ(session.fields[0].Length, 12u);
    EXPECT_EQ(session.fields[0].Flags, 0x20u | NUM_FLAG);
    EXPECT_EQ(session.fields[0].Scale, 2);
}

TEST_F(TSessionFixture, WrongNumberOfColumnDefinitionsFailsWith2000) {
    Ready(Packet(1, "\x02") + Packet(2, ColumnDef("id", 3, 11)) + Packet(3, EofPayload()));
    try {
        Query("SELECT 1, 2");
        FAIL() << "no error";
    } catch (const EMySqlException& e) {
        EXPECT_EQ(e.ErrorCode(), 2000);
        EXPECT_EQ(e.Message(), u"Unknown MySQL error");
    }
}

TEST_F(TSessionFixture, EmptyResultEndsRightAfterTheDefinitions) {
    Ready(Packet(1, "\x01") + Packet(2, ColumnDef("id", 3, 11)) + Packet(3, EofPayload()) + Packet(4, EofPayload()));
    Query("SELECT id FROM t WHERE 0");
    session.status = msUseResult;
    TMySqlResultSet result(session);
    EXPECT_FALSE(result.Fetch());
    EXPECT_EQ(session.status, msReady);
}

TEST_F(TSessionFixture, NewCommandWhileRowsArePendingFailsWith2014) {
    Ready(Packet(1, "\x01") + Packet(2, ColumnDef("id", 3, 11)) + Packet(3, EofPayload()) + Packet(4, "\x01" "1") +
          Packet(5, EofPayload()));
    Query("SELECT id FROM t");
    try {
        Query("SELECT 2");
        FAIL() << "no error";
    } catch (const EMySqlException& e) {
        EXPECT_EQ(e.ErrorCode(), 2014);
        EXPECT_EQ(e.Message(), u"Commands out of sync;  You can't run this command now");
    }
    session.FreeQuery();  // the rows are read away; the session is ready again
    EXPECT_EQ(session.status, msReady);
    EXPECT_EQ(vio->InputPos, vio->Input.size());
}

TEST_F(TSessionFixture, FurtherResultsAreReadAway) {
    Ready(Packet(1, OkPayload(0, 0, 0x0A)) + Packet(2, "\x01") + Packet(3, ColumnDef("a", 3, 11)) +
          Packet(4, EofPayload()) + Packet(5, "\x01" "1") + Packet(6, EofPayload(0x0A)) + Packet(7, OkPayload(3)));
    Query("SET @a = 1; SELECT 1; UPDATE t SET a = 1");
    session.SkipMoreResults();
    EXPECT_EQ(session.affectedRows, 3);
    EXPECT_FALSE(session.serverStatus & SERVER_MORE_RESULTS_EXISTS);
    EXPECT_EQ(vio->InputPos, vio->Input.size());
}

// The server may name any file; the program sends none of them.
TEST_F(TSessionFixture, LocalFileRequestIsAnsweredEmptyAndRefused) {
    Ready(Packet(1, "\xFB/etc/passwd") + Packet(3, OkPayload()));
    try {
        Query("LOAD DATA LOCAL INFILE 'x' INTO TABLE t");
        FAIL() << "no error";
    } catch (const EMySqlException& e) {
        EXPECT_EQ(e.ErrorCode(), 2068);
        EXPECT_NE(e.Message().find(u"'/etc/passwd'"), std::u16string::npos);
    }
    auto sent = Sent();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[1], (std::pair<int, std::string>(2, "")));
    EXPECT_EQ(session.status, msReady);
    EXPECT_EQ(vio->InputPos, vio->Input.size());
}

// A hostile server asking again and again, right away or in a further result, is not
// followed down: one empty packet, then the reply counts as malformed and the link closes.
TEST_F(TSessionFixture, RepeatedLocalFileRequestsAreAMalformedReply) {
    // Each request numbered as the reply to the empty packet that answered the one before.
    auto requests = [](int first) {
        std::string out;
        for (int i = 0; i < 10000; ++i) out += Packet(std::uint8_t(first + 2 * i), "\xFB/etc/shadow");
        return out;
    };
    struct TCase {
        const char* what;
        std::string replies;
    } cases[] = {
        {"in a row", Packet(1, "\xFB/etc/passwd") + requests(3)},
        {"in further results",
         Packet(1, "\xFB/etc/passwd") + Packet(3, OkPayload(0, 0, 0x0A)) + Packet(4, "\xFB/etc/shadow") +
             Packet(6, OkPayload(0, 0, 0x0A)) + requests(7)},
    };
    for (const auto& c : cases) {
        Ready(c.replies);
        std::string sent;
        vio->Copy = &sent;
        std::string sql = "SELECT 1";
        int rc = TMySqlProtocolApi::Direct().mysql_real_query(session, sql.data(), sql.size());
        EXPECT_EQ(rc, 2027) << c.what;
        EXPECT_EQ(session.Ferror, u"Malformed packet") << c.what;
        EXPECT_EQ(session.net.vio(), nullptr) << c.what;
        EXPECT_EQ(Packets(sent), (std::vector<std::pair<int, std::string>>{{0, "\x03SELECT 1"}, {2, ""}})) << c.what;
    }
}

// Draining without compression decides the end of the data on the whole packet: a row of
// 16 MiB and more whose first value has an 8-byte length and whose last piece is short is
// still a row. Compressed, the same row is read whole.
TEST_F(TSessionFixture, DrainingSkipsAHugeRowThatLooksLikeTheEndMarker) {
    constexpr std::size_t Full = 0xFFFFFF;
    std::size_t value = Full + 5 - 9;
    std::string row = "\xFE" + Le(value, 8) + std::string(value, 'x');
    ASSERT_EQ(row.size(), Full + 5);
    std::string result = Packet(1, "\x01") + Packet(2, ColumnDef("foto", 251, 0xFFFFFFFF, BINARY_FLAG, 0, 63)) +
                         Packet(3, EofPayload()) + Packet(4, row.substr(0, Full)) + Packet(5, row.substr(Full)) +
                         Packet(6, EofPayload(0x22));
    for (bool compressed : {false, true}) {
        Ready("");
        session.net.SetCompress(compressed);
        if (!compressed) {
            vio->Input += result + Packet(1, OkPayload(5));
        } else {
            std::uint8_t seq = 1;
            for (std::size_t at = 0; at < result.size(); at += Full) vio->Input += Frame(seq++, result.substr(at, Full), false);
            vio->Input += Frame(1, Packet(1, OkPayload(5)), false);
        }
        Query("SELECT foto FROM t");
        ASSERT_EQ(session.status, msGetResult);
        session.FreeQuery();
        EXPECT_EQ(session.status, msReady) << compressed;
        EXPECT_EQ(session.serverStatus, 0x22) << compressed;
        Query("UPDATE t SET a = 1");  // in step: the next reply is the next statement's
        EXPECT_EQ(session.affectedRows, 5) << compressed;
        EXPECT_EQ(vio->InputPos, vio->Input.size()) << compressed;
        session.net.Close();
    }
}

// An error that broke the stream takes the transport with it; a command after it reports
// the lost connection instead of passing for a success. A server's error leaves it in step.
TEST_F(TSessionFixture, CommandAfterABrokenStreamIsALostConnection) {
    struct TCase {
        const char* what;
        bool compressed;
        std::string reply;
        int code;
    } cases[] = {
        {"out of order", false, Packet(2, OkPayload()), 1156},
        {"bad deflate data", true, Le(5, 3) + char(1) + Le(10, 3) + "garbg", 1157},
        {"too many columns", false, Packet(1, "\xFD" + Le(65536, 3)), 2027},
        {"column count mismatch", false, Packet(1, "\x02") + Packet(2, ColumnDef("id", 3, 11)) + Packet(3, EofPayload()),
         2000},
        {"cut mid-packet", false, Le(10, 3) + char(1) + "abc", 2013},
    };
    TMySqlProtocolApi& api = TMySqlProtocolApi::Direct();
    std::string sql = "SELECT 1";
    for (const auto& c : cases) {
        Ready(c.reply);
        session.net.SetCompress(c.compressed);
        EXPECT_EQ(api.mysql_real_query(session, sql.data(), sql.size()), c.code) << c.what;
        EXPECT_EQ(session.net.vio(), nullptr) << c.what;
        EXPECT_EQ(api.mysql_ping(session), 2013) << c.what;
        EXPECT_EQ(session.Ferror, u"Lost connection to MySQL server during query") << c.what;
    }
    Ready(Packet(1, ErrPayload(1064, "#42000You have an error in your SQL syntax")) + Packet(1, OkPayload()));
    EXPECT_EQ(api.mysql_real_query(session, sql.data(), sql.size()), 1064);
    ASSERT_NE(session.net.vio(), nullptr);
    EXPECT_EQ(api.mysql_ping(session), 0);
}

TEST_F(TSessionFixture, QuitIsSentWithoutWaitingForAReply) {
    Ready("");
    std::string sent;
    vio->Copy = &sent;
    session.Close();
    EXPECT_EQ(sent, Packet(0, "\x01"));
    EXPECT_EQ(session.net.vio(), nullptr);
    EXPECT_NO_THROW(session.Close());
}

} // namespace
} // namespace vantrelo::test
