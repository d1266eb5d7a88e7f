#include "providers/mysql/MySQLConnection.h"

#include <optional>
#include <string_view>

#include "dataaccess/TextUtils.h"
#include "platform/CodePage.h"
#include "platform/Exception.h"
#include "platform/Format.h"
#include "platform/FormatSettings.h"
#include "providers/mysql/MyError.h"
#include "providers/mysql/MySQLCommand.h"
#include "providers/mysql/MySQLRecordSet.h"
#include "providers/mysql/MySqlException.h"

namespace vantrelo {
namespace {

constexpr int NoTimeout = 31536000;

struct TCodePageCharset {
    unsigned CodePage;
    const char16_t* Charset;
};

constexpr TCodePageCharset CodePageCharsets[] = {
    {437, u"cp850"}, {850, u"cp850"}, {858, u"cp850"}, {852, u"cp852"}, {866, u"cp866"}, {874, u"tis620"},
    {10021, u"tis620"}, {932, u"cp932"}, {936, u"gbk"}, {949, u"euckr"}, {20949, u"euckr"}, {51949, u"euckr"},
    {950, u"big5"}, {10002, u"big5"}, {51950, u"big5"}, {1250, u"latin2"}, {28592, u"latin2"}, {1251, u"cp1251"},
    {1252, u"latin1"}, {28591, u"latin1"}, {1253, u"greek"}, {28597, u"greek"}, {1254, u"latin5"},
    {28599, u"latin5"}, {1255, u"hebrew"}, {28598, u"hebrew"}, {38598, u"hebrew"}, {1256, u"cp1256"},
    {1257, u"cp1257"}, {10000, u"macroman"}, {10001, u"sjis"}, {10008, u"gb2312"}, {20936, u"gb2312"},
    {51936, u"gb2312"}, {10029, u"macce"}, {20107, u"swe7"}, {20127, u"ascii"}, {20866, u"koi8r"},
    {20932, u"ujis"}, {51932, u"ujis"}, {21866, u"koi8u"}, {28603, u"latin7"}, {65001, u"utf8"},
};

struct TCharsetLength {
    const char16_t* Charset;
    int Length;
};

constexpr TCharsetLength CharsetLengths[] = {
    {u"utf32", 4}, {u"utf16le", 4}, {u"utf16", 4}, {u"utf8mb4", 4}, {u"eucjpms", 3}, {u"utf8", 3},
    {u"ujis", 3},  {u"cp932", 2},   {u"ucs2", 2},  {u"gbk", 2},     {u"gb2312", 2},  {u"euckr", 2},
    {u"sjis", 2},  {u"big5", 2},
};

std::u16string LowerText(std::u16string_view text) {
    std::u16string lower(text);
    for (auto& c : lower) c = LowerAscii(c);
    return lower;
}

// The digits at the start of a text, 0 when there are none.
int LeadingNumber(std::u16string_view text) {
    int n = 0;
    for (std::size_t i = 0; i < text.size() && text[i] >= u'0' && text[i] <= u'9' && n < 100000000; ++i)
        n = n * 10 + (text[i] - u'0');
    return n;
}

} // namespace

std::u16string CharsetOfCodePage(unsigned codePage) {
    for (const auto& e : CodePageCharsets)
        if (e.CodePage == codePage) return e.Charset;
    return {};
}

int CharsetMaxLength(std::u16string_view charset) {
    for (const auto& e : CharsetLengths)
        if (charset == e.Charset) return e.Length;
    return 1;
}

TMySQLConnection::TMySQLConnection() : FMySQLAPI(&TMySqlProtocolApi::Direct()) { FPort = DefaultMySqlPort; }

TMySQLConnection::~TMySQLConnection() { Disconnect(); }

void TMySQLConnection::SetProp(int prop, const TVariant& value) {
    switch (prop) {
    case prConnectionTimeout: FConnectionTimeout = value.AsInteger(); break;
    case prCharset: FCharset = LowerText(value.AsString()); break;
    case prUseUnicode: FUseUnicode = value.AsBoolean(); break;
    case prCompress: FCompress = value.AsBoolean(); break;
    case prProtocol: FProtocol = TMyProtocol(value.AsInteger()); break;
    case prIPVersion: FIPVersion = TIPVersion(value.AsInteger()); break;
    case prInteractive: FInteractive = value.AsBoolean(); break;
    case prOptimizedBigint: FOptimizedBigInt = value.AsBoolean(); break;
    case prEmbedded: FEmbedded = value.AsBoolean(); break;
    default: break;  // SSL, tunnel and proxy settings: those transports are not built
    }
}

TVariant TMySQLConnection::GetProp(int prop) const {
    switch (prop) {
    case prConnectionTimeout: return TVariant(std::int32_t(FConnectionTimeout));
    case prCharset: return TVariant(FCharset);
    case prUseUnicode: return TVariant(FUseUnicode);
    case prCompress: return TVariant(FCompress);
    case prProtocol: return TVariant(std::int32_t(FProtocol));
    case prIPVersion: return TVariant(std::int32_t(FIPVersion));
    case prInteractive: return TVariant(FInteractive);
    case prOptimizedBigint: return TVariant(FOptimizedBigInt);
    case prEmbedded: return TVariant(FEmbedded);
    default: return {};
    }
}

std::u16string TMySQLConnection::DecodeText(std::string_view bytes) const {
    return FIsUtf8 ? Utf8ToUnicode(bytes) : AnsiToUnicode(bytes);
}

std::string TMySQLConnection::EncodeText(std::u16string_view text) const {
    return FIsUtf8 ? UnicodeToUtf8(text) : UnicodeToAnsi(text).Bytes();
}

TMySqlSession& TMySQLConnection::RequireSession() const {
    if (!FMySQL) throw EMyError(CR_SERVER_GONE_ERROR, std::u16string(ClientErrorText(CR_SERVER_GONE_ERROR)), FComponent);
    return *FMySQL;
}

void TMySQLConnection::RaiseError(const TComponent* component) const {
    const TComponent* failing = component ? component : FComponent;
    if (!FMySQL) throw EMyError(CR_SERVER_GONE_ERROR, std::u16string(ClientErrorText(CR_SERVER_GONE_ERROR)), failing);
    const TMySqlSession& s = *FMySQL;
    std::u16string message = FIsUtf8 && s.FIsServerError ? Utf8ToUnicode(s.FServerErrorText) : s.Ferror;
    throw EMyError(s.Ferrno, std::move(message), failing);
}

std::u16string TMySQLConnection::DetermineCharset() const {
    if (FUseUnicode) return FCharset == u"utf8mb4" ? u"utf8mb4" : u"utf8";
    if (!FCharset.empty()) return FCharset;
    return CharsetOfCodePage(GetACP());
}

void TMySQLConnection::Connect() {
    if (GetConnected()) return;
    FServerVer.clear();
    FServerPrimaryVer = FServerMinorVer = FServerReleaseVer = 0;
    if (FMySQL) FMySQLAPI->mysql_close(FMySQL);  // a session left without its transport
    if (FEmbedded || !FDirect)
        throw EMyError(CR_WRONG_PROTOCOL, std::u16string(ClientErrorText(CR_WRONG_PROTOCOL)), FComponent);
    FMySQL = FMySQLAPI->mysql_init();
    try {
        DoConnect();
    } catch (...) {
        FMySQLAPI->mysql_close(FMySQL);
        throw;
    }
}

void TMySQLConnection::DoConnect() {
    TMySqlSession& s = *FMySQL;
    TMySqlProtocolApi& api = *FMySQLAPI;
    api.mysql_options(s, MYSQL_OPT_CONNECT_TIMEOUT, FConnectionTimeout);
    FUsedCharset = DetermineCharset();
    FIsUtf8 = FUsedCharset == u"utf8" || FUsedCharset == u"utf8mb4";
    if (FIsUtf8) api.mysql_options(s, MYSQL_SET_CHARSET_NAME, AnsiString("utf8"));
    switch (FProtocol) {
    case mpDefault: break;
    case mpTCP: api.mysql_options(s, MYSQL_OPT_PROTOCOL, MYSQL_PROTOCOL_TCP); break;
    case mpPipe: api.mysql_options(s, MYSQL_OPT_PROTOCOL, MYSQL_PROTOCOL_PIPE); break;
    case mpMemory: api.mysql_options(s, MYSQL_OPT_PROTOCOL, MYSQL_PROTOCOL_MEMORY); break;
    default:
        // No TLS or HTTP transport is built: refuse rather than fall back to plain TCP.
        throw EMyError(CR_WRONG_PROTOCOL, std::u16string(ClientErrorText(CR_WRONG_PROTOCOL)), FComponent);
    }
    s.ipVersion = FIPVersion;

    std::uint32_t flags = CLIENT_FOUND_ROWS | CLIENT_MULTI_STATEMENTS;
    if (FCompress) flags |= CLIENT_COMPRESS;
    if (FInteractive) flags |= CLIENT_INTERACTIVE;
    std::u16string host = FServer.substr(0, FServer.find(u','));
    if (host.empty()) host = u"localhost";
    AnsiString user(EncodeText(FUsername)), password(EncodeText(FPassword)), database(EncodeText(FDatabase));
    if (!api.mysql_real_connect(s, host, user, password, database, FPort, u"", flags)) RaiseError(FComponent);

    FServerVer = AnsiToUnicode(api.mysql_get_server_info(s));
    ParseServerVersion();
    SetupSession();
}

void TMySQLConnection::ParseServerVersion() {
    std::size_t dot = FServerVer.find(u'.');
    // A version text that does not start with a number raises the general conversion error.
    FServerPrimaryVer = StrToInt(std::u16string_view(FServerVer).substr(0, dot));
    if (dot == std::u16string::npos) return;
    std::u16string_view rest = std::u16string_view(FServerVer).substr(dot + 1);
    FServerMinorVer = LeadingNumber(rest);
    std::size_t digits = 0;
    while (digits < rest.size() && rest[digits] >= u'0' && rest[digits] <= u'9') ++digits;
    if (digits + 1 < rest.size()) FServerReleaseVer = LeadingNumber(rest.substr(digits + 1));
}

void TMySQLConnection::SetupSession() {
    if (FServerPrimaryVer < 4 || (FServerPrimaryVer == 4 && FServerMinorVer == 0)) {
        FUseUnicode = false;
        FIsUtf8 = false;
        FDBCharLength = 1;
    } else {
        FUsedCharset = DetermineCharset();
        if (!FUsedCharset.empty()) ExecuteDirect(Format(u"SET NAMES '%s'", {FUsedCharset}));
        FDBCharLength = CharsetMaxLength(FUsedCharset);
    }
    FNeedBackslashes = true;
    if (FCheckBackslashes) {
        std::u16string mode = UpperCase(QueryValue(u"SELECT @@session.sql_mode").value_or(u""));
        if (mode.find(u"NO_BACKSLASH_ESCAPES") != std::u16string::npos) FNeedBackslashes = false;
    }
    if (FIsolationLevel != ilReadCommitted) ApplyIsolationLevel();
}

const char16_t* IsolationLevelText(TIsolationLevel level) {
    switch (level) {
    case ilReadCommitted: return u"READ COMMITTED";
    case ilReadUnCommitted: return u"READ UNCOMMITTED";
    case ilRepeatableRead: return u"REPEATABLE READ";
    case ilIsolated: return u"SERIALIZABLE";
    default: throw Exception(u"Unsupported transaction isolation level");
    }
}

void TMySQLConnection::ApplyIsolationLevel() {
    ExecuteDirect(std::u16string(u"SET SESSION TRANSACTION ISOLATION LEVEL ") + IsolationLevelText(FIsolationLevel));
}

std::u16string TMySQLConnection::ColumnText(const TMySqlResultSet& result, std::size_t column) const {
    const TMySqlBind& b = result.Binds()[column];
    return DecodeText(std::string_view(reinterpret_cast<const char*>(result.Buffer()) + b.Offset, b.Length));
}

std::optional<std::u16string> TMySQLConnection::QueryValue(std::u16string_view sql) {
    TMySQLCommand command(*this);
    command.SetComponent(FComponent);
    command.SetSQL(sql);
    command.Execute({}, true);
    std::optional<std::u16string> value;
    TMySqlResultSet* result = command.Result();
    if (result && API().mysql_fetch_row(*result) && !result->Binds()[0].IsNull) value = ColumnText(*result, 0);
    command.Close();
    return value;
}

void TMySQLConnection::SetIsolationLevel(TIsolationLevel level) {
    if (level == FIsolationLevel) return;
    FIsolationLevel = level;
    if (GetConnected()) ApplyIsolationLevel();
}

void TMySQLConnection::ExecuteDirect(std::u16string_view sql) {
    TMySQLCommand command(*this);
    command.SetComponent(FComponent);
    command.SetSQL(sql);
    command.Execute({}, false);
}

void TMySQLConnection::Disconnect() {
    if (FMySQL) FMySQLAPI->mysql_close(FMySQL);
}

void TMySQLConnection::Ping() {
    TMySqlSession& s = RequireSession();
    s.commandTimeout = FConnectionTimeout == 0 ? NoTimeout : FConnectionTimeout;
    if (FMySQLAPI->mysql_ping(s) != 0) RaiseError(FComponent);
}

void TMySQLConnection::SetDatabase(const std::u16string& value) {
    if (GetConnected() && value != FDatabase && !value.empty()) {
        if (FMySQLAPI->mysql_select_db(*FMySQL, AnsiString(EncodeText(value))) != 0) RaiseError(FComponent);
    }
    FDatabase = value;
}

std::u16string TMySQLConnection::GetCurrentDatabase() {
    if (!GetConnected()) return FDatabase;
    return QueryValue(u"SELECT DATABASE()").value_or(u"");
}

std::unique_ptr<TProviderTransaction> TMySQLConnection::CreateTransaction() {
    return std::make_unique<TMySQLTransaction>(*this);
}

std::unique_ptr<TProviderRecordSet> TMySQLConnection::CreateRecordSet() {
    return std::make_unique<TMySQLRecordSet>(*this);
}

// The primary key, else the first unique index by name.
std::u16string TMySQLConnection::GetKeyList(const std::u16string& table, TProviderTransaction*) {
    std::u16string name = table;
    std::size_t dot = name.rfind(u'.');
    std::u16string schema = u"DATABASE()";
    std::string literal;
    if (dot != std::u16string::npos) {
        std::u16string owner = name.substr(0, dot);
        std::erase(owner, u'`');
        AppendQuotedBytes(literal, EncodeText(owner), FNeedBackslashes);
        schema = DecodeText(literal);
        literal.clear();
        name = name.substr(dot + 1);
    }
    std::erase(name, u'`');
    AppendQuotedBytes(literal, EncodeText(name), FNeedBackslashes);
    TMySQLCommand command(*this);
    command.SetComponent(FComponent);
    command.SetSQL(u"SELECT INDEX_NAME, COLUMN_NAME FROM information_schema.STATISTICS WHERE TABLE_SCHEMA = " +
                   schema + u" AND TABLE_NAME = " + DecodeText(literal) +
                   u" AND NON_UNIQUE = 0 ORDER BY INDEX_NAME <> 'PRIMARY', INDEX_NAME, SEQ_IN_INDEX");
    command.Execute({}, true);
    std::u16string keys, index;
    TMySqlResultSet* result = command.Result();
    while (result && API().mysql_fetch_row(*result)) {
        std::u16string rowIndex = ColumnText(*result, 0);
        if (!index.empty() && rowIndex != index) break;
        index = rowIndex;
        if (!keys.empty()) keys += u";";
        keys += ColumnText(*result, 1);
    }
    if (result) {
        TMySqlSession* s = result->Session();
        if (s && API().mysql_errno(*s) != 0) RaiseError(FComponent);
    }
    command.Close();
    return keys;
}

} // namespace vantrelo
