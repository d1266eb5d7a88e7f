#pragma once
// A transaction over one or more attachments, started from a transaction parameter buffer.
#include <string>
#include <vector>

#include "dataaccess/ProviderConnection.h"
#include "providers/interbase/IBApi.h"

namespace vantrelo {

class TIBConnection;
struct TIBFunctions;

// The transaction parameter buffer. Raises "Unsupported transaction isolation level",
// "Unknown TPB constant (%s)" and "Unsupported TPB constant (isc_tpb_%s)".
std::string BuildTpb(TIsolationLevel level, bool readOnly, const std::vector<std::u16string>& customParams);

class TIBTransaction : public TProviderTransaction {
public:
    explicit TIBTransaction(TIBConnection& connection);
    ~TIBTransaction() override;  // an active transaction is rolled back

    void SetIsolationLevel(TIsolationLevel level) override;
    void SetReadOnly(bool value);
    bool ReadOnly() const noexcept { return FReadOnly; }
    // Lines for ilCustom ("read_committed", "lock_write=ESTOQUE", "lock_timeout=5").
    void SetParams(std::vector<std::u16string> lines);
    void AddConnection(TIBConnection& connection);

    void StartTransaction() override;
    void Commit() override;
    void CommitRetaining() override;
    void Rollback() override;
    void RollbackRetaining() override;
    bool InTransaction() const override { return FHandle != ibapi::NullHandle; }

    ibapi::THandle* Handle() noexcept { return &FHandle; }
    TIBConnection& Connection() const { return *FConnections.front(); }
    const std::string& Tpb() const noexcept { return FTpb; }
    void ConnectionDestroyed(TIBConnection* connection) noexcept;
    // A DDL statement ran in this transaction: when it ends, what its attachments learnt
    // from the catalogue meanwhile may no longer hold.
    void DDLExecuted() noexcept { FRanDDL = true; }

private:
    void CheckActive() const;
    TIBConnection& CallConnection() const;
    ibapi::TStatus CallOnHandle(ibapi::TIscTransactionCall TIBFunctions::*entry);
    void Ended(ibapi::TStatus result) noexcept;

    std::vector<TIBConnection*> FConnections;
    bool FReadOnly = false;
    std::vector<std::u16string> FParams;
    std::string FTpb;
    bool FParamsChanged = true;
    ibapi::THandle FHandle = ibapi::NullHandle;
    ibapi::TStatusVector FStatus{};
    bool FRanDDL = false;
};

// Runs work(transaction) in a short transaction of its own: committed when the work is
// done, rolled back when it fails.
template <class F> auto InOwnTransaction(TIBConnection& connection, bool readOnly, F&& work) {
    TIBTransaction transaction(connection);
    transaction.SetReadOnly(readOnly);
    transaction.StartTransaction();
    try {
        auto result = work(transaction);
        transaction.Commit();
        return result;
    } catch (...) {
        try {
            if (transaction.InTransaction()) transaction.Rollback();
        } catch (...) {
            // The work's error is the one to report.
        }
        throw;
    }
}

} // namespace vantrelo
