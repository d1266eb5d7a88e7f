#pragma once
// The record set behind a query on a "MySQL" connection: runs the statement and turns its
// result into field descriptions and records.
#include <memory>

#include "dataaccess/ProviderConnection.h"
#include "providers/mysql/MySQLCommand.h"
#include "providers/mysql/MySQLFieldConverter.h"
#include "providers/mysql/MySQLOptions.h"

namespace vantrelo {

class TMySQLConnection;

class TMySQLRecordSet : public TProviderRecordSet {
public:
    explicit TMySQLRecordSet(TMySQLConnection& connection);

    void SetProp(int prop, const TVariant& value) override;
    void SetSQL(const TParsedSql& sql) override { FCommand.SetSQL(sql); }
    bool Execute(std::span<const TDbParam> params, bool wantRows) override;
    std::int64_t RowsAffected() const override { return FCommand.RowsAffected(); }
    std::vector<TFieldDesc> DescribeFields() override;
    bool Fetch(TRowStore& store, int maxRows) override;
    void CloseCursor() override { FCommand.Close(); }
    bool FetchAll() const override { return FFetchAll; }

    TMySQLCommand& Command() noexcept { return FCommand; }

private:
    TMySqlTypeOptions TypeOptions() const;

    TMySQLConnection& FConnection;
    TMySQLCommand FCommand;
    TMySqlRowConverter FConverter;
    bool FFetchAll = DefaultFetchAll;
    bool FEnableBoolean = DefaultEnableBoolean;
    bool FBinaryAsString = DefaultBinaryAsString;
    bool FFieldsAsString = DefaultFieldsAsString;
    bool FNullForZeroDate = DefaultNullForZeroDate;
};

// Transactions on a MySQL session are statements.
class TMySQLTransaction : public TProviderTransaction {
public:
    explicit TMySQLTransaction(TMySQLConnection& connection) : FConnection(connection) {}

    void StartTransaction() override;
    void Commit() override;
    void CommitRetaining() override;
    void Rollback() override;
    void RollbackRetaining() override;
    bool InTransaction() const override { return FActive; }

private:
    void Begin();

    TMySQLConnection& FConnection;
    bool FActive = false;
};

} // namespace vantrelo
