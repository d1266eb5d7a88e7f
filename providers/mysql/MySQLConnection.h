#pragma once
// The MySQL provider's connection behind a TDbConnection whose provider is "MySQL".
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "dataaccess/ProviderConnection.h"
#include "providers/mysql/MySQLOptions.h"
#include "providers/mysql/MySqlProtocolApi.h"
#include "providers/mysql/VioTcp.h"

namespace vantrelo {

class TMySQLConnection : public TProviderConnection {
public:
    TMySQLConnection();
    ~TMySQLConnection() override;

    void SetProp(int prop, const TVariant& value) override;
    TVariant GetProp(int prop) const;

    void Connect() override;
    void Disconnect() override;
    // A session whose transport went with an error is no connection any more.
    bool GetConnected() const override { return FMySQL && FMySQL->net.vio(); }
    std::u16string GetCurrentDatabase() override;
    void SetDatabase(const std::u16string& value) override;

    std::unique_ptr<TProviderTransaction> CreateTransaction() override;
    std::unique_ptr<TProviderRecordSet> CreateRecordSet() override;
    std::u16string GetKeyList(const std::u16string& table, TProviderTransaction* transaction) override;

    void Ping();
    // Applied at once when connected, otherwise at the next connect.
    void SetIsolationLevel(TIsolationLevel level);
    TIsolationLevel IsolationLevel() const noexcept { return FIsolationLevel; }
    // Whether to ask the server for its SQL mode after connecting (backslash escaping).
    void SetCheckBackslashes(bool value) noexcept { FCheckBackslashes = value; }

    // For commands, record sets and transactions.
    TMySqlProtocolApi& API() const noexcept { return *FMySQLAPI; }
    TMySqlSession* Session() const noexcept { return FMySQL.get(); }
    TMySqlSession& RequireSession() const;  // "MySQL server has gone away" when not connected
    [[noreturn]] void RaiseError(const TComponent* component) const;  // from the session's last error
    // A statement without parameters or rows (session set-up, transactions).
    void ExecuteDirect(std::u16string_view sql);
    bool IsUtf8() const noexcept { return FIsUtf8; }
    bool UseUnicode() const noexcept { return FUseUnicode; }
    bool NeedBackslashes() const noexcept { return FNeedBackslashes; }
    bool OptimizedBigint() const noexcept { return FOptimizedBigInt; }
    bool CheckPrecision() const noexcept { return FCheckPrecision; }
    bool EnableBCD() const noexcept { return FEnableBCD; }
    bool EnableFMTBCD() const noexcept { return FEnableFMTBCD; }
    int DBCharLength() const noexcept { return FDBCharLength; }
    int ConnectionTimeout() const noexcept { return FConnectionTimeout; }
    const std::u16string& UsedCharset() const noexcept { return FUsedCharset; }
    const std::u16string& ServerVersion() const noexcept { return FServerVer; }
    int ServerPrimaryVer() const noexcept { return FServerPrimaryVer; }
    int ServerMinorVer() const noexcept { return FServerMinorVer; }
    int ServerReleaseVer() const noexcept { return FServerReleaseVer; }
    // Server text in the session's character set as Unicode.
    std::u16string DecodeText(std::string_view bytes) const;
    // Text in the session's character set.
    std::string EncodeText(std::u16string_view text) const;

private:
    void DoConnect();
    std::u16string DetermineCharset() const;
    void ParseServerVersion();
    void SetupSession();
    void ApplyIsolationLevel();
    // The first column of the first row of a statement, if it has one.
    std::optional<std::u16string> QueryValue(std::u16string_view sql);
    std::u16string ColumnText(const TMySqlResultSet& result, std::size_t column) const;

    TMySqlProtocolApi* FMySQLAPI;
    std::unique_ptr<TMySqlSession> FMySQL;
    bool FCompress = DefaultCompress;
    bool FUseUnicode = false;
    std::u16string FCharset;
    int FConnectionTimeout = DefaultConnectionTimeout;
    TMyProtocol FProtocol = mpDefault;
    TIPVersion FIPVersion = ivIPv4;
    bool FInteractive = false;
    bool FOptimizedBigInt = false;
    bool FEmbedded = false;
    bool FDirect = true;
    bool FCheckPrecision = true;
    std::u16string FUsedCharset;
    bool FIsUtf8 = false;
    int FDBCharLength = 1;
    bool FCheckBackslashes = false;
    bool FNeedBackslashes = true;
    std::u16string FServerVer;
    int FServerPrimaryVer = 0, FServerMinorVer = 0, FServerReleaseVer = 0;
    TIsolationLevel FIsolationLevel = ilReadCommitted;
};

// The words of an isolation level in SET ... TRANSACTION ISOLATION LEVEL; raises
// "Unsupported transaction isolation level" for the others.
const char16_t* IsolationLevelText(TIsolationLevel level);
// The character set MySQL names for a Windows code page; empty when it has none.
std::u16string CharsetOfCodePage(unsigned codePage);
// Bytes per character of a MySQL character set.
int CharsetMaxLength(std::u16string_view charset);

} // namespace vantrelo
