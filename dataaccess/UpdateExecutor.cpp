#include "dataaccess/UpdateExecutor.h"

#include "dataaccess/DatabaseError.h"
#include "dataaccess/DbConnection.h"
#include "dataaccess/DbQuery.h"
#include "dataaccess/SQLGenerator.h"
#include "dataaccess/TextUtils.h"
#include "platform/FormatSettings.h"

namespace vantrelo {
namespace {

std::vector<std::u16string> SplitNames(const std::u16string& list) {
    std::vector<std::u16string> names;
    std::u16string current;
    for (char16_t c : list + u";") {
        if (c == u';' || c == u',') {
            std::u16string t = Trim(current);
            if (!t.empty()) names.push_back(std::move(t));
            current.clear();
        } else {
            current += c;
        }
    }
    return names;
}

TVariant ValueOf(TRecordView record, const TField& field) {
    if (!record.IsValid()) return {};
    return record.Value(std::size_t(field.FieldNo()), field.Storage());
}

} // namespace

TUpdateExecutor::TUpdateExecutor(TCustomDbDataSet& query) : FQuery(query) {}
TUpdateExecutor::~TUpdateExecutor() = default;

void TUpdateExecutor::ComputeFields() {
    const auto& columns = FQuery.Columns();
    std::vector<std::u16string> tables;
    for (const auto& c : columns) {
        if (c.TableName.empty()) continue;
        bool known = false;
        for (const auto& t : tables) known = known || SameText(t, c.TableName);
        if (!known) tables.push_back(c.TableName);
    }
    if (!FQuery.UpdatingTable.empty()) {
        FTable.clear();
        for (const auto& t : tables)
            if (SameText(t, Trim(FQuery.UpdatingTable))) FTable = t;
        if (FTable.empty())
            DatabaseError(u"Wrong UpdatingTable value - table " + FQuery.UpdatingTable + u" is unknown", &FQuery);
    } else {
        if (tables.empty()) DatabaseError(u"TableInfo name must be provided", &FQuery);
        FTable = tables.front();
    }

    FDataFields.clear();
    TField* rowId = nullptr;
    for (const auto& f : FQuery.Fields()) {
        if (f->FieldNo() < 0) continue;
        const TFieldDesc& c = columns[std::size_t(f->FieldNo())];
        if (!SameText(c.TableName, FTable)) continue;
        if (c.IsRowId) rowId = f.get();
        else if (!c.ReadOnly) FDataFields.push_back(f.get());
    }

    FKeyFields.clear();
    if (!FQuery.KeyFields.empty()) {
        for (const auto& name : SplitNames(FQuery.KeyFields)) {
            TField* f = FQuery.FindField(name);
            if (!f) DatabaseError(u"Field " + name + u" not found", &FQuery);
            FKeyFields.push_back(f);
        }
    } else if (rowId) {
        FKeyFields.push_back(rowId);
    } else {
        TDbConnection& connection = *FQuery.Connection();
        TProviderTransaction* transaction =
            connection.Provider()->NeedTransaction() ? &connection.DefaultTransaction() : nullptr;
        for (const auto& name : SplitNames(connection.ProviderConnection()->GetKeyList(FTable, transaction)))
            for (TField* f : FDataFields)
                if (SameText(columns[std::size_t(f->FieldNo())].ActualName, name)) {
                    FKeyFields.push_back(f);
                    break;
                }
    }
    FFieldsKnown = true;
}

void TUpdateExecutor::Apply(TDataSetState state) {
    TDbConnection* connection = FQuery.Connection();
    if (!connection) DatabaseError(u"Connection is not defined", &FQuery);
    if (!FFieldsKnown) ComputeFields();
    const auto& columns = FQuery.Columns();
    TRecordView oldRow = FQuery.OldRecord(), newRow = FQuery.CurrentRecord();

    auto describe = [&](TField* f) {
        TGeneratorField g;
        g.FieldName = f->FieldName();
        g.ColumnName = columns[std::size_t(f->FieldNo())].ActualName;
        if (g.ColumnName.empty()) g.ColumnName = g.FieldName;
        g.IsBlob = IsBlobType(f->DataType());
        g.Index = f->Index();
        std::size_t i = std::size_t(f->FieldNo());
        g.NewIsNull = newRow.IsNull(i);
        g.OldIsNull = !oldRow.IsValid() || oldRow.IsNull(i);
        if (state == dsInsert || g.IsBlob) g.Modified = FQuery.FieldWritten(f->FieldNo());
        else g.Modified = ValueOf(oldRow, *f) != ValueOf(newRow, *f);
        return g;
    };
    std::vector<TGeneratorField> data, keys;
    for (TField* f : FDataFields) data.push_back(describe(f));
    for (TField* f : FKeyFields) keys.push_back(describe(f));

    TDbProvider& provider = *connection->Provider();
    bool quoteAll = FQuery.Options().QuoteNames;
    TSQLGenerator generator([&](const std::u16string& name) { return provider.QuoteName(name, quoteAll); });
    std::optional<TGeneratedStatement> statement;
    try {
        if (state == dsInsert) statement = generator.GenerateInsert(FTable, data, FQuery.Options().UpdateAllFields);
        else statement = generator.GenerateUpdate(FTable, data, keys, FQuery.Options().UpdateAllFields);
    } catch (const EDatabaseError& e) {
        DatabaseError(e.Message(), &FQuery);  // the generator knows no component to name
    }
    if (!statement) return;  // nothing changed: nothing is sent

    std::vector<TDbParam> params;
    params.reserve(statement->Params.size());
    for (const auto& p : statement->Params) {
        const TField& f = *FQuery.Fields()[std::size_t(p.FieldIndex)];
        if (f.DataType() == ftUnknown) DatabaseError(u"Unknown data type of parameter " + p.Name, &FQuery);
        TDbParam param(p.Name);
        param.SetDataType(f.DataType());
        param.SetValue(ValueOf(p.Old ? oldRow : newRow, f));
        params.push_back(std::move(param));
    }

    TProviderTransaction* transaction = nullptr;
    if (provider.NeedTransaction()) {
        transaction = &connection->DefaultTransaction();
        if (!transaction->InTransaction()) transaction->StartTransaction();
    }
    if (!FStatement) {
        FStatement = connection->ProviderConnection()->CreateRecordSet();
        FStatement->SetComponent(&FQuery);
    }
    FStatement->SetTransaction(transaction);
    FStatement->SetSQL(statement->Sql);
    if (FStatement->Execute(params, false)) FStatement->CloseCursor();
    std::int64_t rows = FStatement->RowsAffected();
    FQuery.SetRowsAffected(rows);
    if (FQuery.AutoCommit) connection->CommitAfterModification(nullptr);
    if (FQuery.Options().StrictUpdate && state == dsEdit && rows != 1)
        DatabaseError(u"Update failed. Found " + IntToStr(rows) + u" records", &FQuery);
}

} // namespace vantrelo
