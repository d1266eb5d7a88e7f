#include "providers/mysql/MySqlSession.h"

#include <algorithm>

#include "platform/CodePage.h"
#include "platform/Exception.h"
#include "platform/Format.h"
#include "providers/mysql/MySqlException.h"

namespace vantrelo {
namespace {

constexpr std::uint8_t ProtocolVersion = 10;
constexpr std::uint32_t MaxPacketAnnounced = 1073741824;
constexpr std::uint8_t CharsetUtf8 = 33;    // utf8_general_ci
constexpr std::uint8_t CharsetLatin1 = 8;   // latin1_swedish_ci
constexpr std::size_t LoginFiller = 23;
constexpr std::uint8_t OldAuthRequest = 0xFE;
constexpr std::size_t LegacyChallengeLength = 24;
constexpr std::size_t AuthSwitchLength = 44;
constexpr std::size_t AuthSwitchScrambleAt = 23;
constexpr std::size_t ShortPacketLength = 8;

bool IsEndOfData(const TMySqlNet& net) {
    return net.Length() >= 1 && net.Length() <= ShortPacketLength && net.Row()[0] == 0xFE;
}

AnsiString ReadLengthText(TMySqlNet& net) {
    std::int64_t n = net.ReadFieldLength();
    if (n <= 0) return {};
    return net.ReadString(std::size_t(n));
}

// A length-encoded block: its declared length must lie inside the packet.
std::size_t ReadBlockLength(TMySqlNet& net) {
    std::int64_t n = net.ReadFieldLength();
    if (n < 0) return 0;
    if (std::uint64_t(n) > net.Length() - net.Position()) throw EMySqlException(CR_MALFORMED_PACKET);
    return std::size_t(n);
}

std::u16string AnsiText(const AnsiString& text) { return AnsiToUnicode(text); }

} // namespace

TMySqlSession::TMySqlSession() = default;

TMySqlSession::~TMySqlSession() {
    if (FResultSet) FResultSet->Detach();
}

// ---- connect ----

void TMySqlSession::Connect(const std::u16string& hostName, const AnsiString& userName, std::uint32_t clientFlags,
                            const std::u16string& /*socketName*/, int portNumber, const AnsiString& databaseName,
                            const AnsiString& passwordText) {
    if (!hostName.empty()) host = hostName;
    if (host.empty()) host = u"localhost";
    if (!userName.IsEmpty()) user = userName;
    if (!passwordText.IsEmpty()) password = passwordText;
    if (!databaseName.IsEmpty()) database = databaseName;
    if (portNumber != 0) port = portNumber;
    if (port == 0) port = DefaultMySqlPort;
    serverStatus = SERVER_STATUS_AUTOCOMMIT;

    if (protocolType != MYSQL_PROTOCOL_DEFAULT && protocolType != MYSQL_PROTOCOL_TCP)
        throw EMySqlException(CR_WRONG_PROTOCOL);
    std::unique_ptr<TVio> vio = CreateTransport();
    hostInfo = host + u" via TCP/IP";
    vio->SetTimeout(connectTimeout);
    try {
        vio->Connect();
    } catch (const SocketException& e) {
        throw EMySqlException(CR_CONN_HOST_ERROR, e.Message(), {host, 10061});
    }
    net.SetVio(std::move(vio));
    Login(clientFlags);
}

std::unique_ptr<TVio> TMySqlSession::CreateTransport() { return std::make_unique<TVioTcp>(host, ipVersion, port); }

void TMySqlSession::Login(std::uint32_t clientFlags) {
    FIsClosed = false;
    status = msReady;
    bool longScramble = false;
    ReadGreeting(longScramble);

    FclientFlag |= clientFlags | CLIENT_BASIC_FLAGS | CLIENT_CONNECT_WITH_DB;
    for (std::uint32_t offered : {CLIENT_COMPRESS, CLIENT_PROTOCOL_41})
        if (!(serverCapabilities & offered)) FclientFlag &= ~offered;
    bool ssl = (serverCapabilities & CLIENT_SSL) && (protocolType == MYSQL_PROTOCOL_SSL || (clientFlags & CLIENT_SSL));
    if (ssl) FclientFlag |= CLIENT_SSL;
    else FclientFlag &= ~std::uint32_t(CLIENT_SSL);

    WriteLogin(longScramble);
    net.Send();
    net.ReceiveRow();
    Authenticate();
    if (FclientFlag & CLIENT_COMPRESS) net.SetCompress(true);
}

void TMySqlSession::ReadGreeting(bool& longScramble) {
    net.ReceiveRow();
    std::uint8_t version = net.ReadByte();
    if (version != ProtocolVersion) throw EMySqlException(CR_VERSION_ERROR, u"", {int(version), int(ProtocolVersion)});
    serverVersion = net.ReadString();
    threadId = net.ReadInt32();
    std::memcpy(FscrambleBuff, net.ReadBytes(OldScrambleLength), OldScrambleLength);
    std::size_t p = net.Position();
    std::size_t length = net.Length();
    serverCapabilities = 0;
    if (length > p + 2) {
        net.SetPosition(p + 1);
        serverCapabilities = net.ReadUInt16();
    }
    if (length >= p + 18) {
        FserverLanguage = net.ReadByte();
        serverStatus = net.ReadUInt16();
        net.SetPosition(p + 19);
    }
    // Twelve more scramble bytes; a greeting too short to hold them has the short scramble.
    longScramble = length >= p + 19 + (ScrambleLength - OldScrambleLength);
    if (longScramble)
        std::memcpy(FscrambleBuff + OldScrambleLength, net.ReadBytes(ScrambleLength - OldScrambleLength),
                    ScrambleLength - OldScrambleLength);
}

void TMySqlSession::WriteLogin(bool longScramble) {
    net.Clear();  // the sequence runs on from the greeting
    if (FclientFlag & CLIENT_PROTOCOL_41) {
        net.WriteInt32(FclientFlag);
        net.WriteInt32(MaxPacketAnnounced);
        net.WriteByte(charset == AnsiString("utf8") ? CharsetUtf8 : CharsetLatin1);
        net.Fill(0, LoginFiller);
    } else {
        net.WriteInt16(std::uint16_t(FclientFlag));
        net.WriteInt24(0);
    }
    net.WriteString(user);
    WritePasswordToken(longScramble);
    if (serverCapabilities & CLIENT_CONNECT_WITH_DB) net.WriteString(database);
}

void TMySqlSession::WritePasswordToken(bool longScramble) {
    if (password.IsEmpty()) {
        net.WriteByte(0);
    } else if (!(serverCapabilities & CLIENT_SECURE_CONNECTION)) {
        auto old = OldPasswordScramble(password.View(), {FscrambleBuff, OldScrambleLength});
        net.WriteBytes(old.data(), old.size());
        net.WriteByte(0);
    } else if (longScramble) {
        auto token = NativePasswordToken(password.View(), {FscrambleBuff, ScrambleLength});
        net.WriteByte(std::uint8_t(token.size()));
        net.WriteBytes(token.data(), token.size());
    } else {
        net.Fill('x', OldScrambleLength);
        net.WriteByte(0);
    }
}

// The reply to the login packet may ask for another answer before the final one.
void TMySqlSession::Authenticate() {
    if (!(serverCapabilities & CLIENT_SECURE_CONNECTION)) return;
    std::size_t length = net.Length();
    const std::uint8_t* reply = net.Row();
    if (length == 1 && reply[0] == OldAuthRequest) {
        net.Clear();
        if (!password.IsEmpty()) {
            auto old = OldPasswordScramble(password.View(), {FscrambleBuff, OldScrambleLength});
            net.WriteBytes(old.data(), old.size());
        }
        net.WriteByte(0);
    } else if (length == LegacyChallengeLength && reply[0] != 0) {
        std::uint8_t salt[4];
        std::memcpy(salt, reply, sizeof salt);
        std::memcpy(FscrambleBuff, reply + 4, ScrambleLength);
        net.Clear();
        if (salt[0] == '*') {
            auto old = OldPasswordScramble(password.View(), {FscrambleBuff, OldScrambleLength});
            net.WriteBytes(old.data(), old.size());
            net.WriteByte(0);
        } else {
            TSha1::TDigest s1 = PasswordHashWithoutBlanks(password.View());
            TSha1 sha;
            sha.Update(salt, sizeof salt);
            sha.Update(s1.data(), s1.size());
            TSha1::TDigest mask = sha.Final();
            std::uint8_t answer[ScrambleLength];
            for (std::size_t i = 0; i < ScrambleLength; ++i) {
                FscrambleBuff[i] ^= mask[i];
                answer[i] = FscrambleBuff[i] ^ s1[i];
            }
            net.WriteBytes(answer, sizeof answer);
        }
    } else if (length == AuthSwitchLength && reply[0] == 0xFE) {
        std::memcpy(FscrambleBuff, reply + AuthSwitchScrambleAt, ScrambleLength);
        net.Clear();
        // An empty password answers with an empty packet, as the method expects.
        if (password.IsEmpty()) {
            net.SendEmpty();
        } else {
            auto token = NativePasswordToken(password.View(), {FscrambleBuff, ScrambleLength});
            net.WriteBytes(token.data(), token.size());
            net.Send();
        }
        net.ReceiveRow();
        return;
    } else {
        return;
    }
    net.Send();
    net.ReceiveRow();
}

// ---- commands ----

void TMySqlSession::Close() {
    if (FIsClosed) return;
    FIsClosed = true;
    status = msReady;
    try {
        if (net.vio()) {
            net.NewCommand();
            net.WriteByte(scQuit);
            net.Send();
        }
    } catch (...) {
        net.Close();
        throw;
    }
    net.Close();
}

void TMySqlSession::WriteCommand(TServerCommand command) {
    if (status != msReady) throw EMySqlException(CR_COMMANDS_OUT_OF_SYNC);
    info = AnsiString();
    affectedRows = 0;
    net.NewCommand();
    net.WriteByte(command);
}

void TMySqlSession::SimpleCommand(TServerCommand command, const std::uint8_t* data, std::size_t length,
                                  bool skipReply) {
    // The transport goes with the error that broke the stream: nothing can be sent any more.
    if (!net.vio()) throw EMySqlException(CR_SERVER_LOST);
    net.vio()->SetReceiveTimeout(commandTimeout);
    WriteCommand(command);
    if (length) net.WriteOrSendBytes(data, 0, length);
    net.Send();
    if (!skipReply) net.ReceiveRow();
}

void TMySqlSession::SelectDb(const AnsiString& name) {
    SimpleCommand(scInitDb, reinterpret_cast<const std::uint8_t*>(name.Data()), name.Length(), false);
    database = name;
}

void TMySqlSession::Ping() { SimpleCommand(scPing, nullptr, 0, false); }

// ---- query replies ----

void TMySqlSession::ReadQueryResult() {
    serverStatus = SERVER_STATUS_AUTOCOMMIT;
    net.ReceiveRow();
    std::int64_t count = net.ReadFieldLength();
    if (count == 0) {
        fieldCount = 0;
        ReadOk();
        return;
    }
    if (count == -1) {
        // Once refused, a statement has no business asking again: answering each request
        // anew would let a server drive the refusal as deep as it likes.
        if (FRefusingLocalFile) throw EMySqlException(CR_MALFORMED_PACKET);
        RefuseLocalFile();
    }
    if (count < 0 || count > MaxResultColumns) throw EMySqlException(CR_MALFORMED_PACKET);
    fieldCount = std::size_t(count);
    if (!(serverStatus & SERVER_STATUS_AUTOCOMMIT)) serverStatus |= SERVER_STATUS_IN_TRANS;
    if (net.Position() < net.Length()) extraInfo = net.ReadFieldLength();
    ReadFieldsInfo();
    status = msGetResult;
    warningCount = 0;
}

void TMySqlSession::ReadOk() {
    affectedRows = net.ReadFieldLength();
    insertId = std::uint64_t(net.ReadFieldLength());
    std::size_t left = net.Length() - net.Position();
    if (((FclientFlag & CLIENT_PROTOCOL_41) || (serverCapabilities & CLIENT_TRANSACTIONS)) && left >= 2) {
        serverStatus = net.ReadUInt16();
        left -= 2;
    }
    if ((FclientFlag & CLIENT_PROTOCOL_41) && left >= 2) warningCount = net.ReadUInt16();
    info = net.ReadString();
}

void TMySqlSession::ReadEof() {
    net.SetPosition(1);
    if (net.Length() >= 5) {
        warningCount = net.ReadUInt16();
        serverStatus = net.ReadUInt16();
    }
}

// The client announces local files, so any server (or anything between) may ask for one.
// The program never sends a file it did not choose itself: the request is answered with the
// empty packet (an empty file) and reported as an error.
void TMySqlSession::RefuseLocalFile() {
    AnsiString fileName = net.ReadString(net.Length() - net.Position());
    net.Clear();
    net.SendEmpty();
    FRefusingLocalFile = true;
    struct TRefusing {
        bool& Flag;
        ~TRefusing() { Flag = false; }
    } refusing{FRefusingLocalFile};
    try {
        ReadQueryResult();
        if (status != msReady) FreeQuery();
        SkipMoreResults();
    } catch (const EMySqlException& e) {
        // The server's view of the aborted load matters less than the refusal itself.
        if (!e.IsServerError()) throw;
    }
    throw EMySqlException(CR_LOCAL_INFILE_REJECTED,
                          u"Refused to send the local file '" + AnsiText(fileName) +
                              u"' the server asked for: the program never sends local files");
}

void TMySqlSession::ReadFieldsInfo() {
    net.SetRowCount(int(fieldCount + 1));
    for (;;) {
        net.ReceiveRow();
        if (IsEndOfData(net)) {
            ReadEof();
            net.SetEof();
            break;
        }
    }
    if (net.ReceivedRowCount() != fieldCount) {
        net.SetRowCount(1);
        throw EMySqlException(CR_UNKNOWN_ERROR);
    }
    fields.assign(fieldCount, TMySqlFieldInfo());
    try {
        for (std::size_t i = 0; i < fieldCount; ++i) {
            net.SelectRow(i);
            DecodeFieldInfo(fields[i]);
        }
    } catch (...) {
        net.SetRowCount(1);
        throw;
    }
    net.SetRowCount(1);
}

void TMySqlSession::DecodeFieldInfo(TMySqlFieldInfo& f) {
    if (FclientFlag & CLIENT_PROTOCOL_41) {
        ReadLengthText(net);  // catalog
        f.Database = ReadLengthText(net);
        f.Table = ReadLengthText(net);
        f.OrgTable = ReadLengthText(net);
        f.Name = ReadLengthText(net);
        f.OrgName = ReadLengthText(net);
        std::size_t block = ReadBlockLength(net);
        std::size_t end = net.Position() + block;
        if (block < 10) throw EMySqlException(CR_MALFORMED_PACKET);
        f.CharsetNr = net.ReadUInt16();
        f.Length = net.ReadInt32();
        f.MyType = net.ReadByte();
        f.Flags = net.ReadUInt16();
        f.Scale = net.ReadByte();
        net.SetPosition(end);
    } else {
        f.Table = f.OrgTable = ReadLengthText(net);
        f.Name = f.OrgName = ReadLengthText(net);
        if (ReadBlockLength(net) < 3) throw EMySqlException(CR_MALFORMED_PACKET);
        f.Length = net.ReadInt24();
        if (ReadBlockLength(net) < 1) throw EMySqlException(CR_MALFORMED_PACKET);
        f.MyType = net.ReadByte();
        bool longFlag = serverCapabilities & CLIENT_LONG_FLAG;
        if (ReadBlockLength(net) < (longFlag ? 3u : 2u)) throw EMySqlException(CR_MALFORMED_PACKET);
        f.Flags = longFlag ? net.ReadUInt16() : net.ReadByte();
        f.Scale = net.ReadByte();
    }
    constexpr int TypeTimestamp = 7, TypeYear = 13, LastNumericType = 9;
    if ((f.MyType <= LastNumericType && (f.MyType != TypeTimestamp || f.Length == 14 || f.Length == 8)) ||
        f.MyType == TypeYear)
        f.Flags |= NUM_FLAG;
}

void TMySqlSession::FreeQuery() {
    if (status != msReady) {
        struct TReady {
            TMySqlStatus& Status;
            ~TReady() { Status = msReady; }
        } ready{status};  // whatever ends the draining (an error packet too) ends the result
        for (;;) {
            if (!net.Compress()) {
                std::uint8_t first = 0;
                std::size_t length = net.SkipRow(first);
                if (first == 0xFE && length <= ShortPacketLength) break;
            } else {
                net.ReceiveRow();
                if (IsEndOfData(net)) break;
            }
        }
        ReadEof();
        status = msReady;
        if (FSkipPacket) {
            FSkipPacket = false;
            net.ReceiveRow();
        }
    }
}

void TMySqlSession::SkipMoreResults() {
    while (serverStatus & SERVER_MORE_RESULTS_EXISTS) {
        ReadQueryResult();
        FreeQuery();
    }
}

// ---- rows ----

TMySqlResultSet::TMySqlResultSet(TMySqlSession& session)
    : ffieldCount(session.fieldCount), fsession(&session), FFields(session.fields), FBinds(session.fieldCount) {}

bool TMySqlResultSet::Fetch() {
    if (feof || !fsession) return false;
    TMySqlNet& net = fsession->net;
    try {
        net.ReceiveRow();
    } catch (const EMySqlException& e) {
        // An error packet (a statement killed or interrupted) ends the result.
        if (e.IsServerError()) {
            fsession->status = msReady;
            feof = true;
        }
        throw;
    }
    if (IsEndOfData(net)) {
        net.SetPosition(1);
        if (net.Length() >= 5) {
            fsession->warningCount = net.ReadUInt16();
            fsession->serverStatus = net.ReadUInt16();
        }
        net.SetEof();
        fsession->status = msReady;
        feof = true;
        frowBuffer = nullptr;
        return false;
    }
    ReadRow();
    return true;
}

// Lengths of every value of the row, decoded in place: nothing is copied.
void TMySqlResultSet::ReadRow() {
    TMySqlNet& net = fsession->net;
    const std::uint8_t* row = net.Row();
    std::size_t length = net.Length();
    std::size_t at = 0;
    for (TMySqlBind& bind : FBinds) {
        if (at >= length) throw EMySqlException(CR_MALFORMED_PACKET);
        std::uint8_t b = row[at++];
        std::size_t n;
        if (b < 251) {
            n = b;
        } else if (b == 251) {
            bind.IsNull = true;
            bind.Offset = at;
            bind.Length = 0;
            continue;
        } else if (b == 255) {
            throw EArgumentError(u"Invalid length-encoded value");
        } else {
            std::size_t bytes = b == 252 ? 2 : b == 253 ? 3 : 8;
            if (length - at < bytes) throw EMySqlException(CR_MALFORMED_PACKET);
            n = 0;
            // Of an 8-byte length only the low four bytes count.
            for (std::size_t i = std::min<std::size_t>(bytes, 4); i-- > 0;) n = n << 8 | row[at + i];
            at += bytes;
        }
        if (n > length - at) throw EMySqlException(CR_MALFORMED_PACKET);
        bind.IsNull = false;
        bind.Offset = at;
        bind.Length = n;
        at += n;
    }
    frowBuffer = row;
}

} // namespace vantrelo
