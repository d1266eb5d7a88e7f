#pragma once
// Writes a posted row of a query back to its table: works out the updating table, the
// key and data fields, has TSQLGenerator write the statement and runs it on the query's
// connection and transaction through one internal record set, re-texted on every post.
#include <memory>
#include <string>
#include <vector>

#include "dataaccess/MemoryDataSet.h"

namespace vantrelo {

class TCustomDbDataSet;
class TField;
class TProviderRecordSet;

class TUpdateExecutor {
public:
    explicit TUpdateExecutor(TCustomDbDataSet& query);
    ~TUpdateExecutor();

    void Apply(TDataSetState state);
    void FieldsChanged() noexcept { FFieldsKnown = false; }

private:
    void ComputeFields();

    TCustomDbDataSet& FQuery;
    bool FFieldsKnown = false;
    std::u16string FTable;
    std::vector<TField*> FDataFields;
    std::vector<TField*> FKeyFields;
    std::unique_ptr<TProviderRecordSet> FStatement;
};

} // namespace vantrelo
