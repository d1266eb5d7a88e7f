#pragma once
// One MySQL protocol session over one packet layer: greeting, capability negotiation,
// login and authentication, simple commands, query replies and result sets.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/AnsiString.h"
#include "providers/mysql/MySqlNet.h"
#include "providers/mysql/MySqlPassword.h"
#include "providers/mysql/VioTcp.h"

namespace vantrelo {

enum TServerCommand : std::uint8_t {
    scSleep, scQuit, scInitDb, scQuery, scFieldList, scCreateDb, scDropDb, scRefresh, scShutdown, scStatistics,
    scProcessInfo, scConnect, scProcessKill, scDebug, scPing, scTime, scDelayedInsert, scChangeUser, scBinlogDump,
    scTableDump, scConnectOut, scRegisterSlave, scPrepare, scExecute, scLongData, scCloseStmt
};

// Capability flags.
enum : std::uint32_t {
    CLIENT_LONG_PASSWORD = 0x1,
    CLIENT_FOUND_ROWS = 0x2,
    CLIENT_LONG_FLAG = 0x4,
    CLIENT_CONNECT_WITH_DB = 0x8,
    CLIENT_COMPRESS = 0x20,
    CLIENT_LOCAL_FILES = 0x80,
    CLIENT_PROTOCOL_41 = 0x200,
    CLIENT_INTERACTIVE = 0x400,
    CLIENT_SSL = 0x800,
    CLIENT_TRANSACTIONS = 0x2000,
    CLIENT_SECURE_CONNECTION = 0x8000,
    CLIENT_MULTI_STATEMENTS = 0x10000,
    CLIENT_MULTI_RESULTS = 0x20000,
    // What every login asks for on top of the caller's flags.
    CLIENT_BASIC_FLAGS = 0x3A285,
};

// Server status flags.
enum : std::uint16_t {
    SERVER_STATUS_IN_TRANS = 0x1,
    SERVER_STATUS_AUTOCOMMIT = 0x2,
    SERVER_MORE_RESULTS_EXISTS = 0x8,
};

enum MYSQL_PROTOCOL_TYPE {
    MYSQL_PROTOCOL_DEFAULT, MYSQL_PROTOCOL_TCP, MYSQL_PROTOCOL_SOCKET, MYSQL_PROTOCOL_PIPE, MYSQL_PROTOCOL_MEMORY,
    MYSQL_PROTOCOL_SSL
};

enum TMySqlStatus { msReady, msGetResult, msUseResult };

constexpr int DefaultMySqlPort = 3306;
constexpr int MaxResultColumns = 65535;  // far above what a server can return

struct TMySqlFieldInfo {
    AnsiString Name, OrgName, Table, OrgTable, Database, DefaultValue;
    std::uint32_t Length = 0;
    int Scale = 0;
    std::uint32_t MaxLength = 0;
    std::uint32_t Flags = 0;
    int CharsetNr = 0;
    int MyType = 0;
};

// Column flags.
enum : std::uint32_t {
    NOT_NULL_FLAG = 0x1,
    PRI_KEY_FLAG = 0x2,
    UNIQUE_KEY_FLAG = 0x4,
    MULTIPLE_KEY_FLAG = 0x8,
    UNSIGNED_FLAG = 0x20,
    BINARY_FLAG = 0x80,
    AUTO_INCREMENT_FLAG = 0x200,
    KEY_FLAGS = 0x400E,
    NUM_FLAG = 0x8000,
};

class TMySqlResultSet;

class TMySqlSession {
public:
    TMySqlSession();
    virtual ~TMySqlSession();
    TMySqlSession(const TMySqlSession&) = delete;
    TMySqlSession& operator=(const TMySqlSession&) = delete;

    // Raises EMySqlException. Empty texts and port 0 take the session's own values.
    void Connect(const std::u16string& host, const AnsiString& user, std::uint32_t clientFlags,
                 const std::u16string& socketName, int port, const AnsiString& database, const AnsiString& password);
    // Greeting, login and authentication over the transport already given to net (Connect
    // does this after connecting; tests and the fuzzer bring their own transport).
    void Login(std::uint32_t clientFlags);
    void SelectDb(const AnsiString& name);
    void Ping();
    // Sends the quit command without waiting for a reply and closes the packet layer.
    void Close();
    void SimpleCommand(TServerCommand command, const std::uint8_t* data, std::size_t length, bool skipReply);
    void WriteCommand(TServerCommand command);

    // Query replies.
    void ReadQueryResult();
    void FreeQuery();
    // Reads and frees every further result the server announced.
    void SkipMoreResults();

    TMySqlNet net;
    std::u16string host = u"localhost";
    AnsiString user, password, database;
    int port = DefaultMySqlPort;
    TIPVersion ipVersion = ivIPv4;
    int connectTimeout = 0;
    int commandTimeout = 0;
    AnsiString charset;
    MYSQL_PROTOCOL_TYPE protocolType = MYSQL_PROTOCOL_DEFAULT;
    std::uint8_t FscrambleBuff[ScrambleLength] = {};
    AnsiString serverVersion;
    std::uint32_t threadId = 0;
    std::uint16_t serverCapabilities = 0;
    int FserverLanguage = 0;
    std::uint16_t serverStatus = 0;
    std::uint32_t FclientFlag = 0;
    std::u16string hostInfo;
    TMySqlStatus status = msReady;
    int Ferrno = 0;
    std::u16string Ferror;
    std::string FServerErrorText;  // a server error's text as sent, for decoding in the session's set
    bool FIsServerError = false;
    bool FIsClosed = true;

    AnsiString info;
    std::int64_t affectedRows = 0;
    std::uint64_t insertId = 0;
    std::uint16_t warningCount = 0;
    std::int64_t extraInfo = 0;
    std::size_t fieldCount = 0;
    std::vector<TMySqlFieldInfo> fields;
    bool FSkipPacket = false;
    TMySqlResultSet* FResultSet = nullptr;  // the result attached to the session, if any

protected:
    // The transport Connect dials (TCP to host and port, not yet connected); tests look at
    // it and may put an in-memory peer in its place.
    virtual std::unique_ptr<TVio> CreateTransport();

private:
    void ReadGreeting(bool& longScramble);
    void WriteLogin(bool longScramble);
    void WritePasswordToken(bool longScramble);
    void Authenticate();
    void ReadFieldsInfo();
    void DecodeFieldInfo(TMySqlFieldInfo& field);
    void ReadOk();
    void ReadEof();
    [[noreturn]] void RefuseLocalFile();

    bool FRefusingLocalFile = false;  // the reply to a refused local-file request is being read
};

// Where a value lies in the current row packet.
struct TMySqlBind {
    bool IsNull = true;
    std::size_t Offset = 0;
    std::size_t Length = 0;
};

class TMySqlResultSet {
public:
    explicit TMySqlResultSet(TMySqlSession& session);

    // Reads the next row; false at the end-of-data packet. The row's bytes stay in the
    // packet slot until the next fetch.
    bool Fetch();
    bool Eof() const noexcept { return feof; }
    const std::uint8_t* Buffer() const noexcept { return frowBuffer; }
    const std::vector<TMySqlBind>& Binds() const noexcept { return FBinds; }
    std::size_t FieldCount() const noexcept { return ffieldCount; }
    const std::vector<TMySqlFieldInfo>& Fields() const noexcept { return FFields; }
    // The session the rows come from; null once the session has been closed.
    TMySqlSession* Session() const noexcept { return fsession; }
    void Detach() noexcept { fsession = nullptr; }

private:
    void ReadRow();

    std::size_t ffieldCount;
    TMySqlSession* fsession;
    std::vector<TMySqlFieldInfo> FFields;
    const std::uint8_t* frowBuffer = nullptr;
    bool feof = false;
    std::vector<TMySqlBind> FBinds;
};

} // namespace vantrelo
