#include "dataaccess/DbConnection.h"

#include <algorithm>

#include "dataaccess/DatabaseError.h"
#include "dataaccess/DbProviders.h"
#include "dataaccess/DbQuery.h"
#include "dataaccess/TextUtils.h"
#include "platform/Exception.h"

namespace vantrelo {

TDbConnection::TDbConnection(std::u16string name, const TComponent* owner)
    : TComponent(std::move(name), owner), FProviderOptions([this] { return FProvider; }) {}

TDbConnection::~TDbConnection() {
    try {
        DoDisconnect(true);
    } catch (...) {
        // A connection that is going away has nobody left to report to.
    }
    std::lock_guard lock(FClientLock);
    for (TCustomDbDataSet* client : FClients) client->ConnectionDestroyed();
    FClients.clear();
}

void TDbConnection::SetProviderName(std::u16string_view name) {
    std::u16string trimmed = Trim(name);
    if (SameText(trimmed, FProviderName)) return;
    if (Connected()) throw Exception(u"This operation is not allowed on active connection");
    // A link lost on the wire may still have open queries on the old provider's objects.
    DoDisconnect(false);
    FProvider = TDbProviders::FindProvider(trimmed);
    FDefaultTransaction.reset();
    FProviderConnection.reset();
    FProviderName = std::move(trimmed);
}

void TDbConnection::SetServer(const std::u16string& value) {
    if (value == FServer) return;
    Disconnect();
    FServer = value;
}

void TDbConnection::SetUsername(const std::u16string& value) {
    if (value == FUsername) return;
    Disconnect();
    FUsername = value;
}

void TDbConnection::SetPassword(const std::u16string& value) {
    if (value == FPassword) return;
    Disconnect();
    FPassword = value;
}

void TDbConnection::SetPort(int value) {
    if (value == FPort) return;
    Disconnect();
    FPort = value;
    if (FProviderConnection && FProvider && FProvider->IsPortSupported()) FProviderConnection->SetPort(value);
}

void TDbConnection::SetDatabase(std::u16string_view value) {
    std::u16string trimmed = Trim(value);
    if (trimmed == FDatabase) return;
    // Neither provider can switch databases on an open connection.
    Disconnect();
    FDatabase = std::move(trimmed);
    if (FProviderConnection && FProvider && FProvider->IsDatabaseSupported())
        FProviderConnection->SetDatabase(FDatabase);
}

void TDbConnection::SetAutoCommit(bool value) {
    FAutoCommit = value;
    if (FProviderConnection) FProviderConnection->SetAutoCommit(value);
}

bool TDbConnection::Connected() const { return FProviderConnection && FProviderConnection->GetConnected(); }

TDbProvider& TDbConnection::RequireProvider() {
    if (FProviderName.empty()) throw Exception(u"Provider is not defined");
    if (!FProvider) FProvider = TDbProviders::FindProvider(FProviderName);
    if (!FProvider) throw Exception(FProviderName + u" is not a valid provider name");
    return *FProvider;
}

void TDbConnection::EndLoading() {
    FLoading = false;
    if (FConnectAfterLoading && FOptions.KeepDesignConnected) {
        FConnectAfterLoading = false;
        Connect();
    }
}

void TDbConnection::Connect() {
    if (Connected()) return;
    if (FLoading) {
        FConnectAfterLoading = true;
        return;
    }
    DoConnect();
}

void TDbConnection::DoConnect() {
    if (FLoginPrompt && OnLogin) OnLogin(FUsername, FPassword);
    TDbProvider& provider = RequireProvider();
    if (BeforeConnect) BeforeConnect();

    if (!FProviderConnection) {
        FProviderConnection = provider.CreateConnection();
        FProviderConnection->SetComponent(this);
        if (provider.IsDatabaseSupported()) FProviderConnection->SetDatabase(FDatabase);
        if (provider.IsPortSupported()) FProviderConnection->SetPort(FPort);
        FProviderConnection->SetEnableBCD(FOptions.EnableBCD);
        FProviderConnection->SetEnableFMTBCD(FOptions.EnableFMTBCD);
        FProviderConnection->SetAutoCommit(FAutoCommit);
    }
    // The whole option list every time, so that a removed line falls back to its default.
    FProviderOptions.ApplyTo(provider, otConnection, *FProviderConnection);

    FProviderConnection->SetUsername(FUsername);
    FProviderConnection->SetPassword(FPassword);
    FProviderConnection->SetServer(FServer);
    try {
        FProviderConnection->Connect();
    } catch (const EDbError&) {
        throw;
    } catch (const EDataAccessError& e) {
        throw EDbError(e);
    }

    ++FConnectionCount;
    {
        std::lock_guard lock(FClientLock);
        for (TCustomDbDataSet* client : FClients) client->ConnectionConnected();
    }
    if (AfterConnect) AfterConnect();
    if (provider.IsDatabaseSupported() && FDatabase.empty()) FDatabase = FProviderConnection->GetCurrentDatabase();
}

void TDbConnection::Disconnect() { DoDisconnect(false); }

void TDbConnection::DoDisconnect(bool destroying) {
    if (!FProviderConnection) return;
    // A connection lost on the wire still has queries and a transaction to let go of.
    if (!FProviderConnection->GetConnected() && FConnectionCount == 0) return;
    FConnectionCount = 0;
    if (BeforeDisconnect) BeforeDisconnect();
    {
        std::vector<TCustomDbDataSet*> clients;
        {
            std::lock_guard lock(FClientLock);
            clients = FClients;
        }
        for (TCustomDbDataSet* client : clients) client->ConnectionDisconnecting();
    }
    try {
        // What an open transaction holds is kept: a modification is never thrown away here.
        if (FDefaultTransaction && FDefaultTransaction->InTransaction() && FProviderConnection->GetConnected())
            FDefaultTransaction->Commit();
    } catch (const EDataAccessError& e) {
        if (!(destroying || e.IsFatalError())) {
            FDefaultTransaction.reset();
            FProviderConnection->Disconnect();
            throw;
        }
    }
    FDefaultTransaction.reset();
    try {
        FProviderConnection->Disconnect();
    } catch (const EDataAccessError& e) {
        if (!(destroying && e.IsFatalError())) throw;
    }
    if (AfterDisconnect) AfterDisconnect();
}

TProviderTransaction& TDbConnection::DefaultTransaction() {
    if (!FProviderConnection) throw Exception(u"Connection is not defined");
    if (!FDefaultTransaction) {
        FDefaultTransaction = FProviderConnection->CreateTransaction();
        FDefaultTransaction->SetIsolationLevel(ilReadCommitted);
    }
    return *FDefaultTransaction;
}

void TDbConnection::CommitAfterModification(const TCustomDbDataSet* executing) {
    if (!FAutoCommit || !FProvider || !FProvider->NeedTransaction()) return;
    if (!FDefaultTransaction || !FDefaultTransaction->InTransaction()) return;
    int otherUsers = 0;
    {
        std::lock_guard lock(FClientLock);
        for (TCustomDbDataSet* client : FClients)
            if (client != executing && client->HoldsTransaction()) ++otherUsers;
    }
    if (otherUsers == 0) FDefaultTransaction->Commit();
    else FDefaultTransaction->CommitRetaining();
}

void TDbConnection::RegisterClient(TCustomDbDataSet* client) {
    std::lock_guard lock(FClientLock);
    if (std::find(FClients.begin(), FClients.end(), client) == FClients.end()) FClients.push_back(client);
}

void TDbConnection::UnregisterClient(TCustomDbDataSet* client) {
    std::lock_guard lock(FClientLock);
    FClients.erase(std::remove(FClients.begin(), FClients.end(), client), FClients.end());
}

} // namespace vantrelo
