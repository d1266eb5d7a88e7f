// Connecting through TDbConnection to loopback peers: a scripted server that checks the
// login and the session set-up, a closed port, an unknown host and a connect that times out.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "dataaccess/DatabaseError.h"
#include "providers/mysql/MyError.h"
#include "providers/mysql/MySqlException.h"
#include "providers/mysql/MySqlSession.h"
#include "tests/providers/mysql/LoopbackPeers.h"
#include "tests/providers/mysql/MySqlTestConnection.h"
#include "tests/providers/mysql/ScriptedVio.h"

using namespace std::string_literals;

namespace vantrelo::test {
namespace {

// The next packet the client sends, from inside a compressed frame when asked.
std::string NextPacket(TPeerSocket& peer, bool compressed, int* sequence = nullptr) {
    if (!compressed) return peer.ReceivePacket(sequence);
    std::string h = peer.Receive(7);
    if (h.size() < 7) return {};
    std::size_t packed = std::uint8_t(h[0]) | std::uint8_t(h[1]) << 8 | std::uint8_t(h[2]) << 16;
    std::size_t unpacked = std::uint8_t(h[4]) | std::uint8_t(h[5]) << 8 | std::uint8_t(h[6]) << 16;
    std::string data = peer.Receive(packed);
    if (unpacked) data = Inflate(data, unpacked);
    if (sequence) *sequence = std::uint8_t(h[3]);
    return data.size() >= 4 ? data.substr(4) : std::string();
}

std::string Reply(bool compressed, std::uint8_t seq, std::string_view payload) {
    return compressed ? Frame(seq, Packet(seq, payload), false) : Packet(seq, payload);
}

std::unique_ptr<TDbConnection> LoopbackConnection(int port, const char* password = "vpass") {
    return MakeConnection("127.0.0.1", port, "vuser", password, "vtest", false);
}

TEST(TMySqlConnect, LoginAndSessionSetUpFollowTheServer) {
    struct TCase {
        const char* what;
        std::uint16_t server;
        bool compressOption;
        bool charsetOption;
        std::uint32_t flags;
        bool compressed;
    } cases[] = {
        {"compressing server", ModernServer, true, true, 0x3A2AF, true},
        {"server without compression", std::uint16_t(ModernServer & ~0x20), true, true, 0x3A28F, false},
        {"no options, ANSI code page 1252", ModernServer, false, false, 0x3A28F, false},
    };
    for (const auto& c : cases) {
        std::string login, setNames, quit;
        int loginSeq = -1, setNamesSeq = -1;
        TFakeServer fake([&](TPeerSocket& peer) {
            peer.Send(Packet(0, Greeting(c.server)));
            login = peer.ReceivePacket(&loginSeq);
            peer.Send(Packet(2, OkPayload()));
            setNames = NextPacket(peer, c.compressed, &setNamesSeq);
            peer.Send(Reply(c.compressed, 1, OkPayload()));
            quit = NextPacket(peer, c.compressed);
        });
        auto conn = MakeConnection("127.0.0.1", fake.Port(), "vuser", "vpass", "vtest", c.compressOption);
        if (!c.charsetOption) conn->ProviderOptions().Remove(u"MySQL.Charset");
        conn->Connect();
        ASSERT_TRUE(conn->Connected()) << c.what;
        auto* vio = dynamic_cast<TVioTcp*>(MySQL(*conn).Session()->net.vio());
        ASSERT_NE(vio, nullptr);
        TSocketOptionState options = QuerySocketOptions(vio->Handle());
        EXPECT_EQ(options.KeepAlive, 1);
        EXPECT_EQ(options.NoDelay, 1);
#ifndef _WIN32
        EXPECT_EQ(options.KeepAliveIdleMs, 15000);
        EXPECT_EQ(options.KeepAliveIntervalMs, 1000);
#endif
        conn->Disconnect();
        fake.Join();
        EXPECT_EQ(loginSeq, 1) << c.what;
        ASSERT_GE(login.size(), 32u) << c.what;
        EXPECT_EQ(login.substr(0, 9), Le(c.flags, 4) + Le(1073741824, 4) + char(8)) << c.what;
        EXPECT_EQ(login.substr(32, 6), "vuser"s + '\0') << c.what;
        EXPECT_EQ(setNamesSeq, 0) << c.what;
        EXPECT_EQ(setNames, "\x03SET NAMES 'latin1'") << c.what;
        EXPECT_EQ(quit, "\x01") << c.what;
    }
}

// With the check on, a server whose SQL mode has no backslash escapes gets doubled quotes.
TEST(TMySqlConnect, SqlModeDecidesTheEscaping) {
    std::string modeQuery;
    TFakeServer fake([&](TPeerSocket& peer) {
        peer.Send(Packet(0, Greeting(ModernServer & ~0x20)));
        peer.ReceivePacket();
        peer.Send(Packet(2, OkPayload()));
        peer.ReceivePacket();  // SET NAMES
        peer.Send(Packet(1, OkPayload()));
        modeQuery = peer.ReceivePacket();
        peer.Send(Packet(1, "\x01") + Packet(2, ColumnDef("@@session.sql_mode", 253, 1000, 0, 0, 8, "")) +
                  Packet(3, EofPayload()) + Packet(4, LenStr("STRICT_TRANS_TABLES,no_backslash_escapes")) +
                  Packet(5, EofPayload()));
        peer.ReceiveAll();
    });
    TMySQLConnection connection;
    connection.SetServer(u"127.0.0.1");
    connection.SetPort(fake.Port());
    connection.SetUsername(u"vuser");
    connection.SetPassword(u"vpass");
    connection.SetProp(prCharset, TVariant(u"LATIN1"));
    EXPECT_TRUE(connection.NeedBackslashes());
    connection.SetCheckBackslashes(true);
    connection.Connect();
    EXPECT_EQ(modeQuery, "\x03SELECT @@session.sql_mode");
    EXPECT_FALSE(connection.NeedBackslashes());
    EXPECT_EQ(connection.UsedCharset(), u"latin1");
    connection.Disconnect();
}

TEST(TMySqlConnect, ProviderOptionsAndTheirDefaults) {
    TMySQLDbProvider provider;
    struct TCase {
        const char16_t* name;
        TVariant value;
        unsigned targets;
    } cases[] = {
        {u"ConnectionTimeout", TVariant(std::int32_t(15)), otConnection}, {u"Charset", TVariant(u""), otConnection},
        {u"UseUnicode", TVariant(false), otConnection},     {u"Compress", TVariant(false), otConnection},
        {u"Protocol", TVariant(std::int32_t(0)), otConnection}, {u"IPVersion", TVariant(std::int32_t(0)), otConnection},
        {u"Interactive", TVariant(false), otConnection},    {u"OptimizedBigint", TVariant(false), otConnection},
        {u"Embedded", TVariant(false), otConnection},       {u"FetchAll", TVariant(true), otDataSet},
        {u"CommandTimeout", TVariant(std::int32_t(0)), otDataSet}, {u"EnableBoolean", TVariant(true), otDataSet},
        {u"BinaryAsString", TVariant(true), otDataSet},     {u"FieldsAsString", TVariant(false), otDataSet},
        {u"NullForZeroDate", TVariant(true), otDataSet},
    };
    for (const auto& c : cases) {
        const TOption* found = nullptr;
        for (const auto& o : provider.GetOptions())
            if (o.Name == c.name) found = &o;
        ASSERT_NE(found, nullptr) << AnsiToUtf8(UnicodeToAnsi(c.name));
        EXPECT_EQ(found->Default, c.value) << AnsiToUtf8(UnicodeToAnsi(c.name));
        EXPECT_EQ(found->Targets, c.targets) << AnsiToUtf8(UnicodeToAnsi(c.name));
    }
    RegisterMySQLProvider();
    TDbConnection c;
    c.SetProviderName(u"mysql");
    c.ProviderOptions().Add(u"Compress=true");
    EXPECT_EQ(c.ProviderOptions().Lines().back(), u"MySQL.Compress=true");
    try {
        c.ProviderOptions().Add(u"MySQL.Compres=True");
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), u"\"Compres\" is not a valid option name for MySQL provider");
    }
    EXPECT_THROW(c.ProviderOptions().Add(u"MySQL.Protocol=mpCarrierPigeon"), Exception);
    c.ProviderOptions().Add(u"MySQL.Protocol=mpSSL");  // accepted, but no such transport is built
    c.SetServer(u"127.0.0.1");
    try {
        c.Connect();
        FAIL() << "no error";
    } catch (const EDbError& e) {
        EXPECT_EQ(e.ErrorCode(), 2046);
        EXPECT_EQ(e.Message(), u"Wrong or unknown protocol");
    }
}

TEST(TMySqlConnect, GreetingOfProtocol9IsAMismatch) {
    TFakeServer fake([](TPeerSocket& peer) {
        peer.Send(Packet(0, Greeting(ModernServer, "4.0", 9)));
        peer.ReceiveAll();
    });
    auto c = LoopbackConnection(fake.Port());
    try {
        c->Connect();
        FAIL() << "no error";
    } catch (const EDbError& e) {
        EXPECT_EQ(e.ErrorCode(), 2007);
        EXPECT_EQ(e.Message(), u"Protocol mismatch. Server Version = 9 Client Version = 10");
    }
    EXPECT_FALSE(c->Connected());
}

TEST(TMySqlConnect, ServerClosingDuringTheHandshakeIsALostConnection) {
    TFakeServer fake([](TPeerSocket& peer) {
        peer.Send(Packet(0, Greeting(ModernServer)));
        peer.ReceivePacket();
        peer.Close();
    });
    auto c = LoopbackConnection(fake.Port());
    try {
        c->Connect();
        FAIL() << "no error";
    } catch (const EDbError& e) {
        EXPECT_EQ(e.ErrorCode(), 2013);
        EXPECT_EQ(e.Message(), u"Lost connection to MySQL server during query");
        EXPECT_TRUE(e.IsFatalError());
    }
}

TEST(TMySqlConnect, VersionTextThatIsNoNumberFailsAndCloses) {
    TFakeServer fake([](TPeerSocket& peer) {
        peer.Send(Packet(0, Greeting(ModernServer, "MariaDB-10")));
        peer.ReceivePacket();
        peer.Send(Packet(2, OkPayload()));
        peer.ReceiveAll();
    });
    auto c = LoopbackConnection(fake.Port());
    EXPECT_THROW(c->Connect(), EConvertError);
    EXPECT_FALSE(c->Connected());
}

TEST(TMySqlConnect, RefusedPort) {
    auto c = LoopbackConnection(ClosedLoopbackPort());
    try {
        c->Connect();
        FAIL() << "no error";
    } catch (const EDbError& e) {
        EXPECT_EQ(e.ErrorCode(), 2003);
        EXPECT_TRUE(e.IsFatalError());
        EXPECT_EQ(e.Message().rfind(u"Cannot connect to server on host '127.0.0.1':\r\n", 0), 0u) << e.what();
        EXPECT_NE(e.Message().find(u".\r\nSocket Error Code: "), std::u16string::npos) << e.what();
    }
}

TEST(TMySqlConnect, UnknownHost) {
    // A label longer than 63 characters cannot be asked of any name server.
    std::string host = std::string(70, 'x') + ".invalid";
    auto c = MakeConnection(host, 3306, "vuser", "vpass", "vtest", false);
    try {
        c->Connect();
        FAIL() << "no error";
    } catch (const EDbError& e) {
        EXPECT_EQ(e.ErrorCode(), 2003);
        EXPECT_EQ(e.Message().rfind(u"Unknown host '" + U(host) + u"'.\r\nSocket Error Code: ", 0), 0u) << e.what();
    }
}

TEST(TMySqlConnect, ConnectToAFullBacklogTimesOut) {
    TFullBacklogListener listener;
    if (!listener.Full()) {
        if (RunningInCI()) FAIL() << "the loopback listener's backlog could not be filled";
        GTEST_SKIP() << "the loopback listener's backlog could not be filled";
    }
    auto c = LoopbackConnection(listener.Port());
    c->ProviderOptions().Add(u"MySQL.ConnectionTimeout=1");
    auto start = std::chrono::steady_clock::now();
    try {
        c->Connect();
        FAIL() << "no error";
    } catch (const EDbError& e) {
        EXPECT_EQ(e.ErrorCode(), 2003);
        EXPECT_EQ(e.Message(), u"Cannot connect to server on host '127.0.0.1': Connection timed out");
    }
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_GE(seconds, 0.9);  // the configured time was waited for ...
    EXPECT_LT(seconds, 10.0);  // ... and no more
}

// The transport Connect would dial is looked at and replaced by an in-memory server, so
// nothing on this machine's port 3306 is ever reached.
TEST(TMySqlConnect, PortZeroMeans3306) {
    struct TDialRecorder : TMySqlSession {
        std::u16string Host;
        int Port = -1;
        std::unique_ptr<TVio> CreateTransport() override {
            auto tcp = TMySqlSession::CreateTransport();
            auto& dialed = dynamic_cast<TVioTcp&>(*tcp);
            Host = dialed.HostName();
            Port = dialed.Port();
            return std::make_unique<TScriptedVio>(Packet(0, Greeting(ModernServer)) + Packet(2, OkPayload()));
        }
    } session;
    session.Connect(u"", AnsiString("u"), 0, u"", 0, AnsiString(), AnsiString());
    EXPECT_EQ(session.Port, 3306);
    EXPECT_EQ(session.Host, u"localhost");
    EXPECT_EQ(session.hostInfo, u"localhost via TCP/IP");
}

// After an error that broke the stream the connection says it is not connected, a ping
// reports the lost connection, and connecting again dials a new session.
TEST(TMySqlConnect, BrokenStreamLeavesTheConnectionDisconnected) {
    auto serve = [](std::string reply) {
        return [reply](TPeerSocket& peer) {
            peer.Send(Packet(0, Greeting(ModernServer & ~0x20)));
            peer.ReceivePacket();
            peer.Send(Packet(2, OkPayload()));
            peer.ReceivePacket();  // SET NAMES
            peer.Send(Packet(1, OkPayload()));
            peer.ReceivePacket();
            peer.Send(reply);
            peer.ReceiveAll();
        };
    };
    TFakeServer first(serve(Packet(2, OkPayload())));  // numbered 2 where 1 is due
    TMySQLConnection connection;
    connection.SetServer(u"127.0.0.1");
    connection.SetPort(first.Port());
    connection.SetUsername(u"vuser");
    connection.SetPassword(u"vpass");
    connection.SetProp(prCharset, TVariant(u"latin1"));
    connection.Connect();
    ASSERT_TRUE(connection.GetConnected());
    try {
        connection.ExecuteDirect(u"DELETE FROM t");
        FAIL() << "no error";
    } catch (const EMyError& e) {
        EXPECT_EQ(e.ErrorCode(), 1156);
    }
    EXPECT_FALSE(connection.GetConnected());
    try {
        connection.Ping();
        FAIL() << "no error";
    } catch (const EMyError& e) {
        EXPECT_EQ(e.ErrorCode(), 2013);
        EXPECT_EQ(e.Message(), u"Lost connection to MySQL server during query");
        EXPECT_TRUE(e.IsFatalError());
    }

    TFakeServer second(serve(Packet(1, OkPayload(1))));
    connection.SetPort(second.Port());
    connection.Connect();
    ASSERT_TRUE(connection.GetConnected());
    EXPECT_NO_THROW(connection.ExecuteDirect(u"DELETE FROM t"));
    connection.Disconnect();
    EXPECT_FALSE(connection.GetConnected());
}

} // namespace
} // namespace vantrelo::test
