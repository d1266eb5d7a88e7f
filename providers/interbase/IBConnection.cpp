#include "providers/interbase/IBConnection.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "dataaccess/DatabaseError.h"
#include "dataaccess/TextUtils.h"
#include "platform/CodePage.h"
#include "platform/FormatSettings.h"
#include "providers/interbase/IBError.h"
#include "providers/interbase/IBLibrary.h"
#include "providers/interbase/IBRecordSet.h"
#include "providers/interbase/IBTransaction.h"

namespace vantrelo {
namespace {

// The published DPB item names; the position in the table is the item code.
constexpr std::array<const char16_t*, ibapi::DpbLastPublished + 1> DpbNames = {
    u"",                    u"cdd_pathname",      u"allocation",        u"journal",
    u"page_size",           u"num_buffers",       u"buffer_length",     u"debug",
    u"garbage_collect",     u"verify",            u"sweep",             u"enable_journal",
    u"disable_journal",     u"dbkey_scope",       u"number_of_users",   u"trace",
    u"no_garbage_collect",  u"damaged",           u"license",           u"sys_user_name",
    u"encrypt_key",         u"activate_shadow",   u"sweep_interval",    u"delete_shadow",
    u"force_write",         u"begin_log",         u"quit_log",          u"no_reserve",
    u"user_name",           u"password",          u"password_enc",      u"sys_user_name_enc",
    u"interp",              u"online_dump",       u"old_file_size",     u"old_num_files",
    u"old_file",            u"old_start_page",    u"old_start_seqno",   u"old_start_file",
    u"drop_walfile",        u"old_dump_id",       u"wal_backup_dir",    u"wal_chkptlen",
    u"wal_numbufs",         u"wal_bufsize",       u"wal_grp_cmt_wait",  u"lc_messages",
    u"lc_ctype",            u"cache_manager",     u"shutdown",          u"online",
    u"shutdown_delay",      u"reserved",          u"overwrite",         u"sec_attach",
    u"disable_wal",         u"connect_timeout",   u"dummy_packet_interval", u"gbak_attach",
    u"sql_role_name",       u"set_page_buffers",  u"working_directory", u"sql_dialect",
    u"set_db_readonly",     u"set_db_sql_dialect", u"gfix_attach",      u"gstat_attach",
    u"set_db_charset",      u"gsec_attach",       u"address_path",      u"process_id",
    u"no_db_triggers",      u"trusted_auth",      u"process_name",      u"trusted_role",
    u"org_filename",        u"utf8_filename",     u"ext_call_depth",    u"auth_block",
    u"client_version",      u"remote_protocol",   u"host_name",         u"os_user",
    u"specific_auth_data",  u"auth_plugin_list",  u"auth_plugin_name",  u"config",
    u"nolinger",            u"reset_icu",         u"map_attach",
};

enum TDpbEncoding { deUnsupported, deText, deNumber, deNumber32, deFlag };

TDpbEncoding DpbEncodingOf(int code) {
    switch (code) {
    case 1: case 18: case 19: case 20: case 28: case 29: case 30: case 31: case 47: case 48: case 60: case 62:
    case 68: case 70: case 74: case 75: case 76: case 82: case 83: case 85: case 86: case 87:
        return deText;
    case 22:
        return deNumber32;
    case 77:
        return deFlag;
    case 4: case 5: case 8: case 9: case 13: case 16: case 17: case 21: case 23: case 24: case 27: case 50:
    case 51: case 52: case 54: case 55: case 57: case 58: case 59: case 61: case 63: case 64: case 65: case 66:
    case 67: case 69: case 71: case 72: case 73: case 78: case 88: case 89: case 90:
        return deNumber;
    default:
        return deUnsupported;
    }
}

void AppendLengthPrefixed(std::string& dpb, char code, std::string_view value) {
    if (value.size() > 255) throw EDatabaseError(u"Unsupported length");
    dpb += code;
    dpb += char(value.size());
    dpb.append(value);
}

void AppendInt32(std::string& buffer, std::int32_t value) {
    auto v = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) buffer += char((v >> (8 * i)) & 0xFF);
}

void AppendExtraDpbLine(std::string& dpb, const std::u16string& line) {
    auto [name, value, hasValue] = ParseIBParamLine(line, u"isc_dpb_");
    if (!hasValue && name != u"utf8_filename") return;
    auto it = std::find_if(DpbNames.begin() + 1, DpbNames.end(), [&](const char16_t* n) { return name == n; });
    if (it == DpbNames.end()) throw EDatabaseError(u"Unknown DPB constant (" + name + u")");
    int code = int(it - DpbNames.begin());
    switch (DpbEncodingOf(code)) {
    case deFlag:
        dpb += char(code);
        dpb += '\0';
        break;
    case deText:
        AppendLengthPrefixed(dpb, char(code), UnicodeToAnsi(value).View());
        break;
    case deNumber32:
        dpb += char(code);
        dpb += char(4);
        AppendInt32(dpb, StrToInt(value));
        break;
    case deNumber: {
        // One value byte, as the server reads small numbers; wider values need all four.
        std::int32_t n = StrToInt(value);
        dpb += char(code);
        if (n >= 0 && n <= 255) {
            dpb += char(1);
            dpb += char(n);
        } else {
            dpb += char(4);
            AppendInt32(dpb, n);
        }
        break;
    }
    case deUnsupported:
        throw EDatabaseError(u"Unsupported DPB constant (isc_dpb_" + name + u")");
    }
}

std::string Encode(const std::u16string& text, bool utf8) {
    return utf8 ? UnicodeToUtf8(text) : UnicodeToAnsi(text).Bytes();
}

// "v3.0.11" → 3 and 0, from the "-V" part of a server version text.
void ParseServerVersion(std::string_view text, int& major, int& minor) {
    std::size_t at = text.find("-V");
    if (at == std::string_view::npos) return;
    std::size_t i = at + 2;
    auto number = [&](int& out) {
        bool any = false;
        int v = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') v = v * 10 + (text[i++] - '0'), any = true;
        if (any) out = v;
        return any;
    };
    if (number(major) && i < text.size() && text[i] == '.') {
        ++i;
        number(minor);
    }
}

} // namespace

std::u16string QuotedSqlString(std::u16string_view text) {
    std::u16string r = u"'";
    for (char16_t c : text) {
        if (c == u'\'') r += u'\'';
        r += c;
    }
    return r + u"'";
}

TIBParamLine ParseIBParamLine(std::u16string_view line, std::u16string_view prefix) {
    TIBParamLine r;
    std::size_t eq = line.find(u'=');
    r.HasValue = eq != std::u16string_view::npos;
    r.Name = Trim(r.HasValue ? line.substr(0, eq) : line);
    for (auto& c : r.Name) c = LowerAscii(c);
    if (r.HasValue) r.Value = Trim(line.substr(eq + 1));
    if (r.Name.starts_with(prefix)) r.Name.erase(0, prefix.size());
    return r;
}

std::u16string BuildAttachString(TIBProtocol protocol, const std::u16string& server, const std::u16string& port,
                                 const std::u16string& database) {
    if (server.empty()) return database;
    bool defaultPort = port.empty() || port == u"0" || port == u"3050" || SameText(port, u"gds_db");
    switch (protocol) {
    case _NetBEUI:
        return u"\\\\" + server + (defaultPort ? u"" : u"@" + port) + u"\\" + database;
    case _SPX:
        return server + u"@" + database;
    case _TCP:
        break;
    }
    std::u16string_view head(server.data(), server.size() - 1);
    if (head.find_first_of(u"/@") != std::u16string_view::npos) return server + u":" + database;
    if (defaultPort) return server + u":" + database;
    if (server.back() == u'/') return server + port + u":" + database;
    return server + u"/" + port + u":" + database;
}

std::string BuildDpb(const TIBDpbSettings& s, std::int64_t clientVersion) {
    std::string dpb;
    dpb.reserve(2048);
    dpb += ibapi::DpbVersion1;
    bool utf8Credentials = CredentialsInUtf8(clientVersion);
    if (!s.Username.empty()) AppendLengthPrefixed(dpb, ibapi::DpbUserName, Encode(s.Username, utf8Credentials));
    if (!s.Password.empty()) AppendLengthPrefixed(dpb, ibapi::DpbPassword, Encode(s.Password, utf8Credentials));
    if (!s.Charset.empty()) {
        std::u16string charset = s.Charset;
        if (s.UseUnicode && UpperCase(charset) != u"UTF8") charset = u"UNICODE_FSS";
        AppendLengthPrefixed(dpb, ibapi::DpbLcCtype, UnicodeToAnsi(charset).View());
    }
    if (!s.Role.empty()) AppendLengthPrefixed(dpb, ibapi::DpbSqlRoleName, Encode(s.Role, AttachStringInUtf8(clientVersion)));
    if (s.TrustedAuthentication) dpb.append({ibapi::DpbTrustedAuth, 1, 0});
    if (s.NoDBTriggers) dpb.append({ibapi::DpbNoDbTriggers, 1, 1});
    for (const auto& line : s.ExtraParams) AppendExtraDpbLine(dpb, line);
    return dpb;
}

std::int64_t ReadInfoInteger(std::string_view reply, char item, std::int64_t defaultValue) {
    if (reply.size() < 3 || reply[0] != item) return defaultValue;
    std::size_t length = std::uint8_t(reply[1]) | (std::size_t(std::uint8_t(reply[2])) << 8);
    if (length != 0 && length != 1 && length != 2 && length != 4 && length != 8)
        throw EDatabaseError(u"Unsupported length");
    if (reply.size() < 3 + length) return defaultValue;
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < length; ++i) v |= std::uint64_t(std::uint8_t(reply[3 + i])) << (8 * i);
    // Sign-extend the little-endian value.
    if (length > 0 && length < 8 && (v >> (8 * length - 1)) & 1) v |= ~std::uint64_t(0) << (8 * length);
    return std::int64_t(v);
}

TIBConnection::TIBConnection() = default;

TIBConnection::~TIBConnection() {
    try {
        Disconnect();
    } catch (...) {
        // Nothing is left to report to.
    }
    for (TIBTransaction* t : FTransactions) t->ConnectionDestroyed(this);
    if (FLibrary) FLibrary->RemoveUnloadListener(this);
}

void TIBConnection::SetProp(int prop, const TVariant& value) {
    switch (prop) {
    case prCharset: SetCharset(value.AsString()); break;
    case prUseUnicode: SetUseUnicode(value.AsBoolean()); break;
    case prSQLDialect: SetSQLDialect(value.AsInteger()); break;
    case prCharLength: SetCharLength(value.AsInteger()); break;
    case prRole: SetRole(value.AsString()); break;
    case prClientLibrary: SetClientLibrary(value.AsString()); break;
    case prProtocol: SetProtocol(TIBProtocol(value.AsInteger())); break;
    case prTrustedAuthentication: SetTrustedAuthentication(value.AsBoolean()); break;
    case prNoDBTriggers: SetNoDBTriggers(value.AsBoolean()); break;
    case prSimpleNumericMap: FSimpleNumericMap = value.AsBoolean(); break;
    case prForceUnloadClientLibrary:
        FForceUnload = value.AsBoolean();
        TIBLibraryList::SetForceUnload(FForceUnload);
        break;
    default: break;
    }
}

template <class T> void TIBConnection::Change(T& field, const T& value) {
    if (field == value) return;
    field = value;
    ParametersChanged();
}

void TIBConnection::SetServer(const std::u16string& v) { FServer = v; }

void TIBConnection::SetUsername(const std::u16string& v) {
    Change(FUsername, v);
}

void TIBConnection::SetPassword(const std::u16string& v) {
    Change(FPassword, v);
}

void TIBConnection::SetPort(int v) {
    FPort = v;
    FPortText = IntToStr(v);
}

// The attachment keeps its character set until the next attach, and the conversions
// must follow the attachment: the new set's parameters are read when it is attached.
void TIBConnection::SetCharset(const std::u16string& charset) { Change(FCharset, charset); }

void TIBConnection::SetUseUnicode(bool value) {
    Change(FUseUnicode, value);
}

void TIBConnection::SetRole(const std::u16string& role) {
    Change(FRole, role);
}

void TIBConnection::SetTrustedAuthentication(bool value) {
    Change(FTrustedAuthentication, value);
}

void TIBConnection::SetNoDBTriggers(bool value) {
    Change(FNoDBTriggers, value);
}

void TIBConnection::SetExtraParams(std::vector<std::u16string> lines) {
    if (GetConnected()) throw EDatabaseError(u"Can't perform operation on connected connection");
    FExtraParams = std::move(lines);
    ParametersChanged();
}

TIBLibrary& TIBConnection::Library() const {
    if (!FLibrary) throw EDatabaseError(u"Can't perform operation on disconnected connection");
    return *FLibrary;
}

void TIBConnection::CheckConnected() const {
    if (!GetConnected()) throw EDatabaseError(u"Can't perform operation on disconnected connection");
}

void TIBConnection::RaiseError(const ibapi::TStatusVector& status, const TComponent* component) {
    EIBError e = ReadIBError(Library(), status, UnicodeAttachment(), component ? component : FComponent);
    FLastError = e.ErrorCode();
    throw e;
}

void TIBConnection::SelectLibrary() {
    if (FLibrary) return;
    FLibrary = &TIBLibraryList::GetLibrary(FClientLibrary, ClientLibraryOrder(FDatabase));
    FLibrary->AddUnloadListener(this, [this] {
        Disconnect();
        FLibrary = nullptr;
    });
}

void TIBConnection::Connect() {
    if (GetConnected()) return;
    SelectLibrary();
    TIBLibrary& library = *FLibrary;
    std::int64_t version = library.ClientVersion();

    std::u16string attach = BuildAttachString(FProtocol, FServer, FPortText, FDatabase);
    std::string attachBytes;
    if (AttachStringInUtf8(version)) {
        attachBytes = UnicodeToUtf8(attach);
        bool present = std::any_of(FExtraParams.begin(), FExtraParams.end(),
                                   [](const std::u16string& l) { return SameText(Trim(l), u"utf8_filename"); });
        if (!present) {
            FExtraParams.push_back(u"utf8_filename");
            ParametersChanged();
        }
    } else {
        attachBytes = UnicodeToAnsi(attach).Bytes();
    }

    if (FParamsChanged || FDpb.empty()) {
        TIBDpbSettings s{FUsername, FPassword, FCharset, FRole, FUseUnicode, FTrustedAuthentication, FNoDBTriggers,
                         FExtraParams};
        try {
            FDpb = BuildDpb(s, version);
        } catch (...) {
            FDpb.clear();
            throw;
        }
        FParamsChanged = false;
    }

    ibapi::TStatus result;
    {
        TIBLibrary::TBusy busy(library);
        FDatabaseHandle = ibapi::NullHandle;
        result = library.Api().isc_attach_database(FStatus.data(), short(attachBytes.size()), attachBytes.c_str(),
                                                   &FDatabaseHandle, short(FDpb.size()), FDpb.data());
    }
    if (result != 0) {
        FDatabaseHandle = ibapi::NullHandle;
        FCharsetId = 0;  // error texts of a failed attach are not UTF-8
        RaiseError(FStatus, FComponent);
    }
    FConnected = true;
    FOwnHandle = true;
    ++FGeneration;
    MetadataChanged();
    try {
        ReadDatabaseDialect();
        ReadCharsetParameters();
    } catch (...) {
        DetachHandle();
        throw;
    }
}

std::string TIBConnection::DatabaseInfo(std::string_view items) {
    std::string reply(1024, '\0');
    ibapi::TStatus result;
    {
        TIBLibrary::TBusy busy(*FLibrary);
        result = FLibrary->Api().isc_database_info(FStatus.data(), &FDatabaseHandle, short(items.size()), items.data(),
                                                   short(reply.size()), reply.data());
    }
    Check(result, FStatus, FComponent);
    return reply;
}

void TIBConnection::ReadDatabaseDialect() {
    const char items[] = {ibapi::InfoDbSqlDialect};
    std::string reply = DatabaseInfo(std::string_view(items, sizeof items));
    FDatabaseDialect = short(ReadInfoInteger(reply, ibapi::InfoDbSqlDialect, 1));
    if (FDatabaseDialect < FRequestedDialect) FRequestedDialect = FDatabaseDialect;
}

void TIBConnection::ReadCharsetParameters() {
    static constexpr std::u16string_view Select =
        u"SELECT CST.RDB$CHARACTER_SET_ID CONN_CH, CST.RDB$BYTES_PER_CHARACTER CONN_CH_LEN,\r\n"
        u"DB.RDB$CHARACTER_SET_NAME DB_CH, DB_CST.RDB$BYTES_PER_CHARACTER DB_CH_LEN, DB_CST.RDB$CHARACTER_SET_ID DB_CH_ID\r\n"
        u"FROM RDB$CHARACTER_SETS CST, RDB$DATABASE DB, RDB$CHARACTER_SETS DB_CST\r\n"
        u"WHERE (DB_CST.RDB$CHARACTER_SET_NAME = DB.RDB$CHARACTER_SET_NAME)\r\n";
    std::u16string charset = FCharset;
    if (FUseUnicode && !charset.empty() && UpperCase(charset) != u"UTF8") charset = u"UNICODE_FSS";
    std::u16string sql(Select);
    if (charset.empty()) sql += u"AND (CST.RDB$CHARACTER_SET_NAME = DB.RDB$CHARACTER_SET_NAME)";
    else sql += u"AND (CST.RDB$CHARACTER_SET_NAME = UPPER(" + QuotedSqlString(charset) + u"))";

    // Conversions of the query itself: plain 8-bit until the parameters are known.
    FCharsetId = 0;
    FCharLength = 1;
    FAnsiCharsetId = -1;
    InOwnTransaction(*this, false, [&](TIBTransaction& transaction) {
        auto rows = SelectRows(*this, transaction, sql);
        if (rows.empty() && !charset.empty()) {
            // The server also knows its character sets by alias names ("UTF-8" is UTF8):
            // the attachment uses the set the alias names, so must we.
            sql = std::u16string(Select) +
                  u"AND (CST.RDB$CHARACTER_SET_ID = (SELECT FIRST 1 T.RDB$TYPE FROM RDB$TYPES T\r\n"
                  u"WHERE T.RDB$FIELD_NAME = 'RDB$CHARACTER_SET_NAME' AND T.RDB$TYPE_NAME = UPPER(" +
                  QuotedSqlString(charset) + u")))";
            rows = SelectRows(*this, transaction, sql);
        }
        int charsetId = 0, charLength = 1;
        if (!rows.empty() && !rows[0][2].IsNull()) {
            const auto& row = rows[0];
            if (FCharLengthOption == 0) charLength = row[1].AsInteger();
            if (!charset.empty()) charsetId = row[0].AsInteger();
            FDbCharLength = row[3].AsInteger();
            FDbCharsetId = row[4].AsInteger();
        }
        if (FCharLengthOption != 0) charLength = FCharLengthOption;
        if (IsUnicodeCharset(charsetId) && !FUseUnicode) {
            // Text parameters are tagged with the ANSI code page's set, so that the server
            // converts them into each column's own set (NONE columns take them as they are).
            auto ansi = SelectRows(*this, transaction,
                                   u"SELECT RDB$CHARACTER_SET_ID FROM RDB$CHARACTER_SETS WHERE RDB$CHARACTER_SET_NAME = 'WIN" +
                                       IntToStr(GetACP()) + u"'");
            if (!ansi.empty()) FAnsiCharsetId = ansi[0][0].AsInteger();
        }
        FCharsetId = charsetId;
        FCharLength = charLength;
        return true;
    });
}

void TIBConnection::ReadServerVersion() {
    CheckConnected();
    const char items[] = {ibapi::InfoFirebirdVersion, ibapi::InfoVersion, ibapi::InfoEnd};
    std::string reply = DatabaseInfo(std::string_view(items, sizeof items));
    FServerIsFirebird = false;
    std::string firebirdText, versionText;
    std::size_t i = 0;
    while (i + 3 <= reply.size() && reply[i] != ibapi::InfoEnd) {
        char item = reply[i];
        std::size_t length = std::uint8_t(reply[i + 1]) | (std::size_t(std::uint8_t(reply[i + 2])) << 8);
        std::size_t data = i + 3;
        if (data + length > reply.size()) break;
        // Both items hold a count of texts, then length-prefixed texts; the first serves.
        if ((item == ibapi::InfoFirebirdVersion || item == ibapi::InfoVersion) && length >= 2) {
            std::size_t textLength = std::uint8_t(reply[data + 1]);
            std::string text = reply.substr(data + 2, std::min(textLength, length - 2));
            if (item == ibapi::InfoFirebirdVersion) {
                firebirdText = text;
                FServerIsFirebird = true;
            } else {
                versionText = text;
            }
        }
        if (item == ibapi::InfoError || item == ibapi::InfoTruncated) break;
        i = data + length;
    }
    const std::string& text = FServerIsFirebird ? firebirdText : versionText;
    FServerVersion = AnsiToUnicode(text);
    FServerMajor = 0;
    FServerMinor = 0;
    ParseServerVersion(text, FServerMajor, FServerMinor);
}

bool TIBConnection::IsFirebirdServer() {
    if (FServerMajor < 0) ReadServerVersion();
    return FServerIsFirebird;
}

int TIBConnection::ServerMajorVersion() {
    if (FServerMajor < 0) ReadServerVersion();
    return FServerMajor;
}

int TIBConnection::ServerMinorVersion() {
    if (FServerMajor < 0) ReadServerVersion();
    return FServerMinor;
}

ibapi::TStatus TIBConnection::DetachHandle() noexcept {
    FConnected = false;
    ibapi::TStatus result = 0;
    if (FOwnHandle && FDatabaseHandle != ibapi::NullHandle && FLibrary) {
        TIBLibrary::TBusy busy(*FLibrary);
        result = FLibrary->Api().isc_detach_database(FStatus.data(), &FDatabaseHandle);
    }
    FDatabaseHandle = ibapi::NullHandle;
    FOwnHandle = false;
    FServerVersion.clear();
    FServerMajor = FServerMinor = -1;
    MetadataChanged();
    return result;
}

void TIBConnection::Disconnect() {
    if (!FConnected && FDatabaseHandle == ibapi::NullHandle) return;
    // What an open transaction holds is committed, as the internal transaction's close
    // action says; one that cannot commit is rolled back so that the detach can succeed.
    for (TIBTransaction* t : std::vector<TIBTransaction*>(FTransactions)) {
        if (!t->InTransaction()) continue;
        try {
            t->Commit();
        } catch (...) {
            try {
                t->Rollback();
            } catch (...) {
                // Rollback clears the handle whatever the server says.
            }
        }
    }
    if (DetachHandle() != 0) RaiseError(FStatus, FComponent);
}

std::unique_ptr<TProviderTransaction> TIBConnection::CreateTransaction() {
    return std::make_unique<TIBTransaction>(*this);
}

std::unique_ptr<TProviderRecordSet> TIBConnection::CreateRecordSet() { return std::make_unique<TIBRecordSet>(*this); }

void TIBConnection::AddTransaction(TIBTransaction* transaction) {
    if (std::find(FTransactions.begin(), FTransactions.end(), transaction) == FTransactions.end())
        FTransactions.push_back(transaction);
}

void TIBConnection::RemoveTransaction(TIBTransaction* transaction) { std::erase(FTransactions, transaction); }

const std::vector<std::u16string>* TIBConnection::BooleanDomainColumns(const std::u16string& table) const {
    auto it = FBooleanDomainColumns.find(table);
    return it == FBooleanDomainColumns.end() ? nullptr : &it->second;
}

void TIBConnection::SetBooleanDomainColumns(const std::u16string& table, std::vector<std::u16string> columns) {
    FBooleanDomainColumns[table] = std::move(columns);
}

std::u16string TIBConnection::GetKeyList(const std::u16string& table, TProviderTransaction* given) {
    CheckConnected();
    auto condition = [](std::u16string_view column, std::u16string_view value) {
        return std::u16string(column) + u" = " + QuotedSqlString(value);
    };
    auto run = [&](TIBTransaction& transaction) {
        auto pk = SelectRows(*this, transaction,
                             u"SELECT RDB$RELATION_NAME, RDB$CONSTRAINT_NAME, RDB$CONSTRAINT_TYPE, RDB$INDEX_NAME "
                             u"FROM RDB$RELATION_CONSTRAINTS WHERE " +
                                 condition(u"RDB$RELATION_NAME", table) + u" AND " +
                                 u"RDB$CONSTRAINT_TYPE IN ('PRIMARY KEY')" +
                                 u" ORDER BY RDB$RELATION_NAME, RDB$CONSTRAINT_NAME");
        std::u16string index = pk.empty() ? std::u16string() : Trim(pk[0][3].AsString());
        std::u16string where = u"WHERE " + condition(u"I.RDB$RELATION_NAME", table);
        if (!index.empty()) where += u" AND " + condition(u"I.RDB$INDEX_NAME", index);
        where += u" AND I.RDB$UNIQUE_FLAG = 1";
        auto columns = SelectRows(
            *this, transaction,
            u"SELECT I.RDB$RELATION_NAME TABLE_NAME, I.RDB$INDEX_NAME INDEX_NAME, S.RDB$FIELD_NAME COLUMN_NAME, "
            u"S.RDB$FIELD_POSITION COLUMN_POSITION, I.RDB$INDEX_TYPE FROM RDB$INDICES I INNER JOIN RDB$INDEX_SEGMENTS S "
            u"ON (I.RDB$INDEX_NAME = S.RDB$INDEX_NAME) " +
                where + u" ORDER BY S.RDB$INDEX_NAME, S.RDB$FIELD_POSITION");
        std::u16string keys, first;
        for (const auto& row : columns) {
            std::u16string name = Trim(row[1].AsString());
            if (first.empty()) first = name;
            if (name != first) break;
            if (!keys.empty()) keys += u";";
            keys += Trim(row[2].AsString());
        }
        return keys;
    };
    auto* transaction = dynamic_cast<TIBTransaction*>(given);
    if (transaction && transaction->InTransaction()) return run(*transaction);
    // No active transaction to read in: a short one of our own.
    return InOwnTransaction(*this, true, run);
}

} // namespace vantrelo
