#pragma once
// What every provider supplies behind a TDbConnection: the provider connection, its
// transactions and the record sets that run statements. Providers raise their own
// EDataAccessError subclasses with the server's code and text.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "dataaccess/Component.h"
#include "dataaccess/DbParam.h"
#include "dataaccess/FieldDesc.h"
#include "dataaccess/Options.h"
#include "dataaccess/RowStore.h"
#include "dataaccess/SqlParser.h"

namespace vantrelo {

enum TIsolationLevel { ilReadCommitted, ilReadUnCommitted, ilRepeatableRead, ilIsolated, ilSnapshot, ilCustom };

class TProviderTransaction {
public:
    virtual ~TProviderTransaction() = default;
    virtual void SetIsolationLevel(TIsolationLevel level) { FIsolationLevel = level; }
    TIsolationLevel IsolationLevel() const noexcept { return FIsolationLevel; }
    virtual void StartTransaction() = 0;
    virtual void Commit() = 0;
    virtual void CommitRetaining() = 0;
    virtual void Rollback() = 0;
    virtual void RollbackRetaining() = 0;
    virtual bool InTransaction() const = 0;

protected:
    TIsolationLevel FIsolationLevel = ilReadCommitted;
};

// One statement with its cursor. The layer above calls, per execution:
//   SetSQL (whenever the text changes) → Execute → [DescribeFields → Fetch… → CloseCursor]
class TProviderRecordSet : public TPropertyTarget {
public:
    // The component (query) named in errors.
    void SetComponent(const TComponent* component) noexcept { FComponent = component; }
    // The transaction statements run in (providers that need one; null otherwise).
    virtual void SetTransaction(TProviderTransaction* transaction) { FTransaction = transaction; }

    // The parsed text: '?' markers and one occurrence per parameter. Drops any prepared statement.
    virtual void SetSQL(const TParsedSql& sql) = 0;
    virtual void Prepare() {}
    virtual void Unprepare() {}
    virtual bool IsPrepared() const { return false; }

    // Runs the statement with one parameter per occurrence, in order. wantRows is false
    // for ExecSQL. Returns true when the statement produced a result set, which must then
    // be described, fetched and closed.
    virtual bool Execute(std::span<const TDbParam> params, bool wantRows) = 0;
    virtual std::int64_t RowsAffected() const = 0;

    virtual std::vector<TFieldDesc> DescribeFields() = 0;
    // Appends up to maxRows rows (all remaining rows when maxRows <= 0) to the store,
    // whose layout has been set from DescribeFields. Returns false once the last row has
    // been fetched.
    virtual bool Fetch(TRowStore& store, int maxRows) = 0;
    virtual void CloseCursor() = 0;

    // Dataset options (otDataSet) arrive through SetProp; "FetchAll" among them.
    virtual bool FetchAll() const = 0;

protected:
    const TComponent* FComponent = nullptr;
    TProviderTransaction* FTransaction = nullptr;
};

class TProviderConnection : public TPropertyTarget {
public:
    // The component (connection) named in errors.
    void SetComponent(const TComponent* component) noexcept { FComponent = component; }

    virtual void SetServer(const std::u16string& v) { FServer = v; }
    virtual void SetUsername(const std::u16string& v) { FUsername = v; }
    virtual void SetPassword(const std::u16string& v) { FPassword = v; }
    virtual void SetDatabase(const std::u16string& v) { FDatabase = v; }
    virtual void SetPort(int v) { FPort = v; }
    virtual void SetAutoCommit(bool v) { FAutoCommit = v; }
    // Connection-level switches of the layer (EnableBCD, EnableFMTBCD, disconnected mode).
    virtual void SetEnableBCD(bool v) { FEnableBCD = v; }
    virtual void SetEnableFMTBCD(bool v) { FEnableFMTBCD = v; }

    virtual void Connect() = 0;
    virtual void Disconnect() = 0;
    virtual bool GetConnected() const = 0;
    // The database the server says is current, for an empty Database setting.
    virtual std::u16string GetCurrentDatabase() { return FDatabase; }

    virtual std::unique_ptr<TProviderTransaction> CreateTransaction() = 0;
    virtual std::unique_ptr<TProviderRecordSet> CreateRecordSet() = 0;

    // Key column names of a table separated by ";" (empty when none is known), read in
    // the given transaction where the provider needs one.
    virtual std::u16string GetKeyList(const std::u16string& table, TProviderTransaction* transaction) = 0;

protected:
    const TComponent* FComponent = nullptr;
    std::u16string FServer, FUsername, FPassword, FDatabase;
    int FPort = 0;
    bool FAutoCommit = true;
    bool FEnableBCD = false, FEnableFMTBCD = false;
};

} // namespace vantrelo
