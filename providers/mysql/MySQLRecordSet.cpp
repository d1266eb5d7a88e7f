#include "providers/mysql/MySQLRecordSet.h"

#include "platform/Exception.h"
#include "providers/mysql/MySQLConnection.h"

namespace vantrelo {

TMySQLRecordSet::TMySQLRecordSet(TMySQLConnection& connection) : FConnection(connection), FCommand(connection) {}

void TMySQLRecordSet::SetProp(int prop, const TVariant& value) {
    switch (prop) {
    case prFetchAll: FFetchAll = value.AsBoolean(); break;
    case prCommandTimeout: FCommand.SetCommandTimeout(value.AsInteger()); break;
    case prEnableBoolean: FEnableBoolean = value.AsBoolean(); break;
    case prBinaryAsString: FBinaryAsString = value.AsBoolean(); break;
    case prFieldsAsString: FFieldsAsString = value.AsBoolean(); break;
    case prNullForZeroDate: FNullForZeroDate = value.AsBoolean(); break;
    default: break;
    }
}

bool TMySQLRecordSet::Execute(std::span<const TDbParam> params, bool wantRows) {
    FCommand.SetComponent(FComponent);
    FCommand.Execute(params, wantRows);
    return FCommand.Result() != nullptr;
}

TMySqlTypeOptions TMySQLRecordSet::TypeOptions() const {
    TMySqlTypeOptions o;
    o.CheckPrecision = FConnection.CheckPrecision();
    o.EnableBCD = FConnection.EnableBCD();
    o.EnableFMTBCD = FConnection.EnableFMTBCD();
    o.UseUnicode = FConnection.UseUnicode();
    o.Utf8 = FConnection.IsUtf8();
    o.OptimizedBigint = FConnection.OptimizedBigint();
    o.EnableBoolean = FEnableBoolean;
    o.BinaryAsString = FBinaryAsString;
    o.FieldsAsString = FFieldsAsString;
    o.NullForZeroDate = FNullForZeroDate;
    o.DBCharLength = FConnection.DBCharLength();
    o.ServerPrimaryVer = FConnection.ServerPrimaryVer();
    o.ServerMinorVer = FConnection.ServerMinorVer();
    return o;
}

std::vector<TFieldDesc> TMySQLRecordSet::DescribeFields() {
    std::vector<TFieldDesc> fields;
    TMySqlResultSet* result = FCommand.Result();
    if (!result) return fields;
    TMySqlTypeOptions options = TypeOptions();
    fields.reserve(result->Fields().size());
    for (const auto& info : result->Fields()) fields.push_back(DescribeMySqlField(info, options));
    FConverter.Prepare(result->Fields(), fields, options);
    return fields;
}

bool TMySQLRecordSet::Fetch(TRowStore& store, int maxRows) {
    TMySqlResultSet* result = FCommand.Result();
    if (!result) return false;
    TMySqlProtocolApi& api = FConnection.API();
    TRecordWriter& writer = store.Writer();
    for (int n = 0; maxRows <= 0 || n < maxRows; ++n) {
        if (!api.mysql_fetch_row(*result)) {
            TMySqlSession* session = result->Session();
            if (session && api.mysql_errno(*session) != 0) FConnection.RaiseError(FComponent);
            return false;
        }
        writer.Reset(store.FieldCount());
        FConverter.Convert(result->Buffer(), result->Binds(), writer);
        store.Append();
    }
    return true;
}

// ---- transactions ----

void TMySQLTransaction::Begin() {
    std::u16string set = std::u16string(u"SET TRANSACTION ISOLATION LEVEL ") + IsolationLevelText(FIsolationLevel);
    bool oldServer = FConnection.ServerPrimaryVer() < 4 || (FConnection.ServerPrimaryVer() == 4 && FConnection.ServerMinorVer() < 1);
    if (oldServer) {
        FConnection.ExecuteDirect(set);
        FConnection.ExecuteDirect(u"BEGIN");
    } else {
        FConnection.ExecuteDirect(set + u"; BEGIN");
    }
    FActive = true;
}

void TMySQLTransaction::StartTransaction() { Begin(); }

void TMySQLTransaction::Commit() {
    FConnection.ExecuteDirect(u"COMMIT");
    FActive = false;
}

void TMySQLTransaction::CommitRetaining() {
    Commit();
    Begin();
}

void TMySQLTransaction::Rollback() {
    FConnection.ExecuteDirect(u"ROLLBACK");
    FActive = false;
}

void TMySQLTransaction::RollbackRetaining() {
    Rollback();
    Begin();
}

} // namespace vantrelo
