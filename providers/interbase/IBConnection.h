#pragma once
// The attachment to an InterBase/Firebird database: attach string, database parameter
// buffer, dialect and character-set parameters, and the error conversion of every call.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "dataaccess/ProviderConnection.h"
#include "providers/interbase/IBApi.h"
#include "providers/interbase/IBProps.h"

namespace vantrelo {

class TIBLibrary;
class TIBTransaction;
class EIBError;

// A text as an SQL string literal: in single quotes, quotes inside doubled.
std::u16string QuotedSqlString(std::u16string_view text);

// A "name=value" line of extra DPB or custom TPB entries: the name trimmed, lower-cased
// and without the prefix ("isc_dpb_"), the value trimmed.
struct TIBParamLine {
    std::u16string Name, Value;
    bool HasValue = false;
};
TIBParamLine ParseIBParamLine(std::u16string_view line, std::u16string_view prefix);

// server, port and database as the client library wants them ("localhost:C:\x.fdb").
std::u16string BuildAttachString(TIBProtocol protocol, const std::u16string& server, const std::u16string& port,
                                 const std::u16string& database);

// Client versions whose attach string and role travel in UTF-8, and whose user name and
// password do too.
inline bool AttachStringInUtf8(std::int64_t clientVersion) { return clientVersion >= 25000 && clientVersion < 60000; }
inline bool CredentialsInUtf8(std::int64_t clientVersion) { return clientVersion >= 30000 && clientVersion < 60000; }

struct TIBDpbSettings {
    std::u16string Username, Password, Charset, Role;
    bool UseUnicode = false;
    bool TrustedAuthentication = false;
    bool NoDBTriggers = false;
    std::vector<std::u16string> ExtraParams;  // "name=value" lines
};

// The database parameter buffer. Raises "Unknown DPB constant (%s)" and
// "Unsupported DPB constant (isc_dpb_%s)" for extra lines it cannot write.
std::string BuildDpb(const TIBDpbSettings& settings, std::int64_t clientVersion);

// The value of the first item of an information reply (isc_database_info), or
// defaultValue when the reply does not start with the item. Raises "Unsupported length".
std::int64_t ReadInfoInteger(std::string_view reply, char item, std::int64_t defaultValue);

class TIBConnection : public TProviderConnection {
public:
    TIBConnection();
    ~TIBConnection() override;

    void SetProp(int prop, const TVariant& value) override;
    void SetServer(const std::u16string& v) override;
    void SetUsername(const std::u16string& v) override;
    void SetPassword(const std::u16string& v) override;
    void SetPort(int v) override;

    void Connect() override;
    void Disconnect() override;
    bool GetConnected() const override { return FConnected && FDatabaseHandle != ibapi::NullHandle; }

    std::unique_ptr<TProviderTransaction> CreateTransaction() override;
    std::unique_ptr<TProviderRecordSet> CreateRecordSet() override;
    std::u16string GetKeyList(const std::u16string& table, TProviderTransaction* transaction) override;

    // Settings (the options of the provider). A new character set takes effect at the next attach.
    void SetCharset(const std::u16string& charset);
    const std::u16string& Charset() const noexcept { return FCharset; }
    void SetUseUnicode(bool value);
    bool UseUnicode() const noexcept { return FUseUnicode; }
    void SetRole(const std::u16string& role);
    void SetSQLDialect(int dialect) noexcept { FRequestedDialect = short(dialect); }
    void SetCharLength(int value) noexcept { FCharLengthOption = value; }
    void SetClientLibrary(const std::u16string& name) { FClientLibrary = name; }
    void SetProtocol(TIBProtocol protocol) noexcept { FProtocol = protocol; }
    void SetTrustedAuthentication(bool value);
    void SetNoDBTriggers(bool value);
    bool SimpleNumericMap() const noexcept { return FSimpleNumericMap; }
    bool EnableBCD() const noexcept { return FEnableBCD; }
    bool EnableFMTBCD() const noexcept { return FEnableFMTBCD; }
    // Extra DPB lines ("num_buffers=100"); "Can't perform operation on connected connection"
    // while attached.
    void SetExtraParams(std::vector<std::u16string> lines);
    const std::vector<std::u16string>& ExtraParams() const noexcept { return FExtraParams; }

    // Connections find their library through TIBLibraryList; tests hand one in.
    void UseLibrary(TIBLibrary& library) noexcept { FLibrary = &library; }

    // For transactions and statements.
    TIBLibrary& Library() const;
    ibapi::THandle* DatabaseHandle() noexcept { return &FDatabaseHandle; }
    std::uint64_t Generation() const noexcept { return FGeneration; }  // grows with every attach
    short SQLDialect() const noexcept { return FRequestedDialect; }
    short DatabaseSQLDialect() const noexcept { return FDatabaseDialect; }
    int CharsetId() const noexcept { return FCharsetId; }
    int CharLength() const noexcept { return FCharLength; }
    int DatabaseCharsetId() const noexcept { return FDbCharsetId; }
    int DatabaseCharLength() const noexcept { return FDbCharLength; }
    // The attachment's character set is a Unicode one: text of columns in other sets
    // arrives as UTF-8 and text parameters are converted by the server.
    bool UnicodeAttachment() const noexcept { return IsUnicodeCharset(FCharsetId); }
    static bool IsUnicodeCharset(int id) noexcept { return id == ibapi::CharsetUtf8 || id == ibapi::CharsetUnicodeFss; }
    // The server's id of the character set of the system's ANSI code page, -1 when unknown.
    int AnsiCharsetId() const noexcept { return FAnsiCharsetId; }
    bool IsFirebirdServer();
    int ServerMajorVersion();
    int ServerMinorVersion();
    std::int64_t LastError() const noexcept { return FLastError; }

    void CheckConnected() const;  // "Can't perform operation on disconnected connection"
    [[noreturn]] void RaiseError(const ibapi::TStatusVector& status, const TComponent* component);
    void Check(ibapi::TStatus result, const ibapi::TStatusVector& status, const TComponent* component) {
        if (result != 0) RaiseError(status, component);
    }

    void AddTransaction(TIBTransaction* transaction);
    void RemoveTransaction(TIBTransaction* transaction);

    // The integer columns of boolean domains per table, as the catalogue answered on this
    // attachment; null for a table not asked about yet. Record sets fill it and the
    // attachment keeps it until it ends or DDL runs through it: the columns of a table do
    // not change under a running shop (DDL of other attachments is seen from the next
    // attach on), while the catalogue query costs a statement and a transfer of every
    // column of the table at each select.
    const std::vector<std::u16string>* BooleanDomainColumns(const std::u16string& table) const;
    void SetBooleanDomainColumns(const std::u16string& table, std::vector<std::u16string> columns);
    // DDL ran through this attachment, or a transaction that ran DDL ended: what the
    // catalogue said may no longer hold.
    void MetadataChanged() noexcept { FBooleanDomainColumns.clear(); }

private:
    void SelectLibrary();
    std::string DatabaseInfo(std::string_view items);  // the reply to isc_database_info
    void ReadDatabaseDialect();
    void ReadCharsetParameters();
    void ReadServerVersion();
    ibapi::TStatus DetachHandle() noexcept;  // the handle is cleared whatever the result
    void ParametersChanged() noexcept { FParamsChanged = true; }
    template <class T> void Change(T& field, const T& value);  // a DPB setting

    // settings
    std::u16string FPortText = u"3050";
    TIBProtocol FProtocol = _TCP;
    std::u16string FCharset, FRole, FClientLibrary;
    bool FUseUnicode = false;
    short FRequestedDialect = 3;
    short FDatabaseDialect = 3;
    int FCharLengthOption = 0;
    bool FTrustedAuthentication = false, FNoDBTriggers = false;
    bool FSimpleNumericMap = true;
    bool FForceUnload = false;
    std::vector<std::u16string> FExtraParams;
    bool FParamsChanged = true;
    std::string FDpb;

    // attachment
    TIBLibrary* FLibrary = nullptr;
    ibapi::TStatusVector FStatus{};
    ibapi::THandle FDatabaseHandle = ibapi::NullHandle;
    bool FConnected = false;
    bool FOwnHandle = false;
    std::uint64_t FGeneration = 0;
    std::int64_t FLastError = 0;
    int FCharsetId = 0, FCharLength = 1, FDbCharsetId = 0, FDbCharLength = 1;
    int FAnsiCharsetId = -1;
    std::u16string FServerVersion;
    int FServerMajor = -1, FServerMinor = -1;
    bool FServerIsFirebird = false;
    std::vector<TIBTransaction*> FTransactions;
    std::unordered_map<std::u16string, std::vector<std::u16string>> FBooleanDomainColumns;
};

} // namespace vantrelo
