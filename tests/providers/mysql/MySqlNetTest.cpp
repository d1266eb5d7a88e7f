// The packet layer over an in-memory peer: framing, sequence numbers, large packets,
// compression, the row slots and the field encodings.
#include <gtest/gtest.h>

#include <string>
using namespace std::string_literals;

#include "platform/Exception.h"
#include "providers/mysql/MySqlException.h"
#include "providers/mysql/MySqlNet.h"
#include "tests/providers/mysql/ScriptedVio.h"

namespace vantrelo::test {
namespace {

constexpr std::size_t Max = TMySqlNet::MaxPacketSize;

struct TNetFixture : ::testing::Test {
    TMySqlNet net;
    TScriptedVio* vio = nullptr;

    // A fresh peer on a fresh packet layer.
    void Peer(std::string input) {
        net.Close();
        auto v = std::make_unique<TScriptedVio>(std::move(input));
        vio = v.get();
        net.SetVio(std::move(v));
    }
    void SendCommand(std::string_view payload) {
        net.NewCommand();
        net.WriteOrSendBytes(reinterpret_cast<const std::uint8_t*>(payload.data()), 0, payload.size());
        net.Send();
    }
    std::string Received() const { return std::string(reinterpret_cast<const char*>(net.Row()), net.Length()); }
};

TEST_F(TNetFixture, CommandGoesOutAsOnePacketNumberedFromZero) {
    Peer("");
    SendCommand("\x03SELECT 1");
    EXPECT_EQ(vio->Output, Packet(0, "\x03SELECT 1"));
}

TEST_F(TNetFixture, SequenceNumberWrapsFrom255ToZeroBothWays) {
    std::string input;
    for (int i = 0; i < 257; ++i) input += Packet(std::uint8_t(i), "x");
    Peer(input);
    for (int i = 0; i < 257; ++i) ASSERT_NO_THROW(net.ReceiveRow()) << i;
    EXPECT_EQ(net.PacketNumber(), 1);

    net.NewCommand();
    for (int i = 0; i < 257; ++i) {
        net.WriteByte('y');
        net.Send();
    }
    ASSERT_EQ(vio->Output.size(), 257u * 5);
    EXPECT_EQ(std::uint8_t(vio->Output[255 * 5 + 3]), 255);
    EXPECT_EQ(std::uint8_t(vio->Output[256 * 5 + 3]), 0);
}

TEST_F(TNetFixture, PayloadOfExactlyMaxIsFollowedByAnEmptyPacket) {
    Peer("");
    std::string payload(Max, 'a');
    SendCommand(payload);
    ASSERT_EQ(vio->Output.size(), 4 + Max + 4);
    EXPECT_EQ(vio->Output.substr(0, 4), Le(Max, 3) + '\0');
    EXPECT_EQ(vio->Output.substr(4 + Max), Le(0, 3) + '\1');
}

TEST_F(TNetFixture, PayloadOneAboveMaxGoesOutAsTwoPackets) {
    Peer("");
    std::string payload(Max + 1, 'b');
    payload.back() = 'z';
    SendCommand(payload);
    ASSERT_EQ(vio->Output.size(), 4 + Max + 4 + 1);
    EXPECT_EQ(vio->Output.substr(0, 4), Le(Max, 3) + '\0');
    EXPECT_EQ(vio->Output.substr(4 + Max), Le(1, 3) + '\1' + 'z');
}

TEST_F(TNetFixture, CommandLargerThanTheSlotIsStreamedIntact) {
    Peer("");
    std::string payload;
    for (int i = 0; i < 20000; ++i) payload.push_back(char('A' + i % 26));
    net.NewCommand();
    net.WriteByte(3);
    net.WriteOrSendBytes(reinterpret_cast<const std::uint8_t*>(payload.data()), 0, payload.size());
    net.Send();
    EXPECT_EQ(vio->Output, Packet(0, "\x03" + payload));
}

TEST_F(TNetFixture, ReplyOfMaxBytesArrivesAsTwoPacketsJoinedInOneSlot) {
    std::string payload(Max, 'r');
    Peer(Packet(0, payload) + Packet(1, ""));
    net.ReceiveRow();
    EXPECT_EQ(net.Length(), Max);
    EXPECT_EQ(net.Row()[Max - 1], 'r');
}

TEST_F(TNetFixture, CompressionStartsAboveFiftyBytes) {
    for (std::size_t block : {50u, 51u}) {
        Peer("");
        net.SetCompress(true);
        std::string payload(block - 4, 'c');
        SendCommand(payload);
        const std::string& out = vio->Output;
        ASSERT_GE(out.size(), 7u);
        std::size_t packed = std::uint8_t(out[0]) | std::uint8_t(out[1]) << 8 | std::uint8_t(out[2]) << 16;
        std::size_t unpacked = std::uint8_t(out[4]) | std::uint8_t(out[5]) << 8 | std::uint8_t(out[6]) << 16;
        EXPECT_EQ(out[3], '\0');
        EXPECT_EQ(out.size(), 7 + packed);
        if (block == 50) {
            EXPECT_EQ(unpacked, 0u);
            EXPECT_EQ(out.substr(7), Packet(0, payload));
        } else {
            EXPECT_EQ(unpacked, block);
            EXPECT_EQ(Inflate(out.substr(7), unpacked), Packet(0, payload));
        }
        net.Close();
    }
}

TEST_F(TNetFixture, CompressedFrameCarriesTwoAndAHalfPackets) {
    std::string p1 = Packet(0, "first"), p2 = Packet(1, "second packet"), p3 = Packet(2, std::string(300, 't'));
    std::string stream = p1 + p2 + p3;
    std::size_t cut = p1.size() + p2.size() + p3.size() / 2;
    Peer(Frame(0, stream.substr(0, cut)) + Frame(1, stream.substr(cut)));
    net.SetCompress(true);
    net.ReceiveRow();
    EXPECT_EQ(Received(), "first");
    net.ReceiveRow();
    EXPECT_EQ(Received(), "second packet");
    net.ReceiveRow();
    EXPECT_EQ(Received(), std::string(300, 't'));
}

TEST_F(TNetFixture, CompressedReplyIsExpectedWithTheNumberAfterTheCommand) {
    Peer(Frame(1, Packet(1, OkPayload())));
    net.SetCompress(true);
    SendCommand("\x0E");
    EXPECT_EQ(net.PacketNumber(), 1);
    EXPECT_NO_THROW(net.ReceiveRow());
}

TEST_F(TNetFixture, OutOfOrderPacketsFailWith1156) {
    struct TCase {
        bool compress;
        std::string input;
        const char16_t* message;
    } cases[] = {
        {false, Packet(2, "x"), u"ReceiveHeader: Net packets out of order: received[2], expected[1]"},
        {true, Frame(2, Packet(2, "x")), u"ReceiveCompHeader: Net packets out of order: received[2], expected[1]"},
    };
    for (const auto& c : cases) {
        Peer(c.input);
        net.SetCompress(c.compress);
        SendCommand("\x03");
        try {
            net.ReceiveRow();
            FAIL() << "no error";
        } catch (const EMySqlException& e) {
            EXPECT_EQ(e.ErrorCode(), 1156);
            EXPECT_EQ(e.Message(), c.message);
        }
        net.Close();
    }
}

TEST_F(TNetFixture, FrameThatDoesNotInflateFailsWith1157) {
    std::string frame = Frame(0, Packet(0, std::string(200, 'z')));
    frame[10] ^= 0x55;  // inside the deflated data
    Peer(frame);
    net.SetCompress(true);
    try {
        net.ReceiveRow();
        FAIL() << "no error";
    } catch (const EMySqlException& e) {
        EXPECT_EQ(e.ErrorCode(), 1157);
    }
}

TEST_F(TNetFixture, ReplyCutMidPacketIsALostConnection) {
    std::string packet = Packet(0, std::string(100, 'q'));
    for (bool withError : {false, true}) {
        Peer(packet.substr(0, 50));
        if (withError) vio->ErrorAtEnd = u"Error on data reading from the connection:\r\nConnection reset by peer.";
        try {
            net.ReceiveRow();
            FAIL() << "no error";
        } catch (const EMySqlException& e) {
            EXPECT_EQ(e.ErrorCode(), 2013);
            if (withError)
                EXPECT_EQ(e.Message(), u"Lost connection to MySQL server during query\r\n"
                                       u"Error on data reading from the connection:\r\nConnection reset by peer.");
            else
                EXPECT_EQ(e.Message(), u"Lost connection to MySQL server during query");
        }
    }
}

TEST_F(TNetFixture, ServerErrorPacketKeepsItsTextUnchanged) {
    Peer(Packet(0, ErrPayload(1045, "#28000Access denied for user 'x'@'localhost' (using password: YES)")));
    try {
        net.ReceiveRow();
        FAIL() << "no error";
    } catch (const EMySqlException& e) {
        EXPECT_EQ(e.ErrorCode(), 1045);
        EXPECT_TRUE(e.IsServerError());
        EXPECT_EQ(e.Message(), u"#28000Access denied for user 'x'@'localhost' (using password: YES)");
    }
}

TEST_F(TNetFixture, LengthEncodedValuesRead) {
    struct TCase {
        std::string bytes;
        std::int64_t value;
    } cases[] = {
        {"\xFA", 250}, {"\xFB", -1}, {std::string("\xFC\x00\x01", 3), 256},
        {"\xFD\x01\x02\x03", 0x030201}, {"\xFE\x01\x00\x00\x00\x01\x00\x00\x00"s, 0x100000001LL},
    };
    for (const auto& c : cases) {
        Peer(Packet(0, c.bytes));
        net.ReceiveRow();
        EXPECT_EQ(net.ReadFieldLength(), c.value);
        net.Close();
    }
    Peer(Packet(0, "\xFF\x01"));
    EXPECT_THROW(net.ReceiveRow(), EMySqlException);  // an error packet, not a length
    Peer(Packet(0, "\x01\xFF"));
    net.ReceiveRow();
    net.ReadByte();
    EXPECT_THROW(net.ReadFieldLength(), EArgumentError);
}

TEST_F(TNetFixture, LengthEncodedValuesWrittenInTheShortestForm) {
    struct TCase {
        std::uint64_t value;
        std::string bytes;
    } cases[] = {
        {250, "\xFA"}, {251, "\xFC\xFB\x00"s}, {65535, "\xFC\xFF\xFF"}, {65536, "\xFD\x00\x00\x01"s},
        {16777215, "\xFD\xFF\xFF\xFF"}, {16777216, "\xFE\x00\x00\x00\x01\x00\x00\x00\x00"s},
    };
    Peer("");
    for (const auto& c : cases) {
        net.NewCommand();
        net.WriteFieldLength(c.value);
        net.Send();
        EXPECT_EQ(vio->Output.substr(4), c.bytes) << c.value;
        vio->Output.clear();
    }
}

// Compressed, the later packets come in another frame: the earlier rows must still be there.
TEST_F(TNetFixture, RowSlotsHoldSeveralPacketsUntilTheRingWraps) {
    auto text = [](std::span<const std::uint8_t> row) { return std::string(row.begin(), row.end()); };
    for (bool compress : {false, true}) {
        std::string first = Packet(0, "a") + Packet(1, "bb"), second = Packet(2, "ccc") + Packet(3, "dddd");
        Peer(compress ? Frame(0, first) + Frame(1, second) : first + second);
        net.SetCompress(compress);
        net.SetRowCount(3);
        for (int i = 0; i < 3; ++i) net.ReceiveRow();
        ASSERT_EQ(net.ReceivedRowCount(), 3u);
        EXPECT_EQ(text(net.Rows(0)), "a") << compress;
        EXPECT_EQ(text(net.Rows(1)), "bb") << compress;
        EXPECT_EQ(text(net.Rows(2)), "ccc") << compress;
        EXPECT_THROW(net.Rows(3), EArgumentError);
        net.ReceiveRow();  // wraps to slot 0
        EXPECT_EQ(net.ReceivedRowCount(), 1u);
        EXPECT_EQ(text(net.Rows(0)), "dddd") << compress;
        EXPECT_THROW(net.SetRowCount(0), EArgumentError);
    }
}

TEST_F(TNetFixture, SkipRowDropsAPacketAndKeepsTheEndMarker) {
    Peer(Packet(0, std::string(70000, 'r')) + Packet(1, EofPayload(0x0A)));
    std::uint8_t first = 0;
    EXPECT_EQ(net.SkipRow(first), 70000u);
    EXPECT_EQ(first, 'r');
    EXPECT_EQ(net.SkipRow(first), 5u);
    EXPECT_EQ(first, 0xFE);
    EXPECT_EQ(Received(), EofPayload(0x0A));
}

TEST_F(TNetFixture, TypedFieldsRoundTrip) {
    Peer("");
    net.NewCommand();
    net.WriteInt16(0xBEEF);
    net.WriteInt24(0x123456);
    net.WriteInt32(0xCAFEBABE);
    net.WriteInt64(0x0102030405060708ULL);
    net.WriteString(u"abc");
    net.Fill('x', 3);
    net.Send();
    auto v = std::make_unique<TScriptedVio>(vio->Output);
    net.SetVio(std::move(v));
    net.NewCommand();
    net.ReceiveRow();
    EXPECT_EQ(net.ReadUInt16(), 0xBEEF);
    EXPECT_EQ(net.ReadInt24(), 0x123456u);
    EXPECT_EQ(net.ReadInt32(), 0xCAFEBABEu);
    EXPECT_EQ(net.ReadInt64(), 0x0102030405060708ULL);
    EXPECT_EQ(net.ReadString(), AnsiString("abc"));
    EXPECT_EQ(net.ReadString(3), AnsiString("xxx"));
    EXPECT_THROW(net.ReadByte(), EMySqlException);  // past the end: a malformed packet
    EXPECT_THROW(net.ReadInt64(), EArgumentError);
}

// ---- the buffered stream under the packet layer ----

TEST(TVioBuffering, SmallReadsComeFromOneReceiveLargeOnesGoDirect) {
    TScriptedVio vio(std::string(10000, 'x'));
    std::uint8_t buffer[10000];
    EXPECT_EQ(vio.Read(buffer, 0, 4), 4u);
    EXPECT_EQ(vio.Read(buffer, 4, 100), 100u);
    EXPECT_EQ(vio.Receives, 1);  // the read-ahead took everything there was

    TScriptedVio direct(std::string(10000, 'y'));
    direct.MaxChunk = 3000;
    EXPECT_EQ(direct.Read(buffer, 0, 9000), 9000u);
    EXPECT_EQ(direct.Receives, 3);
    EXPECT_EQ(direct.Read(buffer, 0, 5000), 1000u);  // the stream ends early
}

TEST(TVioBuffering, WriteGivesUpAfterThreeAttemptsWithoutProgress) {
    TScriptedVio vio;
    vio.WriteLimit = 10;
    std::uint8_t data[100] = {};
    EXPECT_EQ(vio.Write(data, 0, sizeof data), 10u);
    EXPECT_EQ(vio.WriteCalls, 4);  // one with progress, three without
}

} // namespace
} // namespace vantrelo::test
