#pragma once
// A provider-independent database connection: the settings, the provider chosen by name,
// the provider's option lines, and the queries bound to it.
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "dataaccess/Component.h"
#include "dataaccess/DbProvider.h"
#include "dataaccess/ProviderOptions.h"

namespace vantrelo {

class TCustomDbDataSet;

struct TDbConnectionOptions {
    bool KeepDesignConnected = true;
    bool AllowImplicitConnect = true;
    bool DisconnectedMode = false;
    bool EnableBCD = false;
    bool EnableFMTBCD = false;
    bool LocalFailover = false;
};

class TDbConnection : public TComponent {
public:
    explicit TDbConnection(std::u16string name = {}, const TComponent* owner = nullptr);
    ~TDbConnection() override;

    const std::u16string& ProviderName() const noexcept { return FProviderName; }
    void SetProviderName(std::u16string_view name);
    const std::u16string& Server() const noexcept { return FServer; }
    void SetServer(const std::u16string& value);
    int Port() const noexcept { return FPort; }
    void SetPort(int value);
    const std::u16string& Database() const noexcept { return FDatabase; }
    void SetDatabase(std::u16string_view value);
    const std::u16string& Username() const noexcept { return FUsername; }
    void SetUsername(const std::u16string& value);
    const std::u16string& Password() const noexcept { return FPassword; }
    void SetPassword(const std::u16string& value);
    bool LoginPrompt() const noexcept { return FLoginPrompt; }
    void SetLoginPrompt(bool value) noexcept { FLoginPrompt = value; }
    bool AutoCommit() const noexcept { return FAutoCommit; }
    void SetAutoCommit(bool value);
    TDbConnectionOptions& Options() noexcept { return FOptions; }

    // The option lines ("MySQL.Charset=latin1"); validated and stored in full form.
    TProviderOptions& ProviderOptions() noexcept { return FProviderOptions; }

    void Connect();
    void Disconnect();
    void Open() { Connect(); }
    void Close() { Disconnect(); }
    bool Connected() const;
    void SetConnected(bool value) { value ? Connect() : Disconnect(); }
    // Successful connects since the last disconnect.
    int ConnectionCount() const noexcept { return FConnectionCount; }

    // Owner loading: while loading, SetConnected(true) is remembered and done by EndLoading.
    void BeginLoading() noexcept { FLoading = true; }
    void EndLoading();

    std::function<void(std::u16string& username, std::u16string& password)> OnLogin;
    std::function<void()> BeforeConnect, AfterConnect, BeforeDisconnect, AfterDisconnect;

    // For the query layer and the providers.
    TDbProvider* Provider() const noexcept { return FProvider; }
    TDbProvider& RequireProvider();             // raises the two provider errors
    TProviderConnection* ProviderConnection() const noexcept { return FProviderConnection.get(); }
    // The internal default transaction (read committed), made on first use.
    TProviderTransaction& DefaultTransaction();
    bool HasDefaultTransaction() const noexcept { return FDefaultTransaction != nullptr; }
    void RegisterClient(TCustomDbDataSet* client);
    void UnregisterClient(TCustomDbDataSet* client);
    // After a statement that modified data ran: with AutoCommit, a hard commit when no other
    // open query shares the transaction, commit-retaining when one does.
    void CommitAfterModification(const TCustomDbDataSet* executing);

private:
    void DoConnect();
    void DoDisconnect(bool destroying);

    std::u16string FProviderName, FServer, FDatabase, FUsername, FPassword;
    int FPort = 0;
    bool FLoginPrompt = true;
    bool FAutoCommit = true;
    TDbConnectionOptions FOptions;
    TProviderOptions FProviderOptions;
    TDbProvider* FProvider = nullptr;
    std::unique_ptr<TProviderConnection> FProviderConnection;
    std::unique_ptr<TProviderTransaction> FDefaultTransaction;
    int FConnectionCount = 0;
    bool FLoading = false;
    bool FConnectAfterLoading = false;
    std::recursive_mutex FClientLock;
    std::vector<TCustomDbDataSet*> FClients;
};

} // namespace vantrelo
