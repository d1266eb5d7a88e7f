#include "tests/dataaccess/ScriptedProvider.h"

#include "dataaccess/DbProviders.h"
#include "dataaccess/TextUtils.h"

namespace vantrelo::test {
namespace {

TScript& TheScript() {
    static TScript script;
    return script;
}

// What a provider raises when the link to its server is gone.
class ELinkLost : public EDataAccessError {
public:
    using EDataAccessError::EDataAccessError;
    bool IsFatalError() const override { return true; }
    std::shared_ptr<const EDataAccessError> Clone() const override { return std::make_shared<ELinkLost>(*this); }
};

class TScriptedTransaction : public TProviderTransaction {
public:
    void StartTransaction() override {
        Log(u"start");
        FActive = true;
    }
    void Commit() override {
        Log(u"commit");
        FActive = false;
    }
    void CommitRetaining() override { Log(u"commit retaining"); }
    void Rollback() override {
        Log(u"rollback");
        FActive = false;
    }
    void RollbackRetaining() override { Log(u"rollback retaining"); }
    bool InTransaction() const override { return FActive; }

private:
    static void Log(const char16_t* what) { TheScript().TransactionLog.push_back(what); }
    bool FActive = false;
};

class TScriptedConnection;

class TScriptedRecordSet : public TProviderRecordSet {
public:
    explicit TScriptedRecordSet(TScriptedConnection& connection, bool fetchAllDefault)
        : FConnection(connection), FFetchAll(fetchAllDefault) {}

    void SetProp(int prop, const TVariant& value) override {
        TheScript().DataSetProps[prop] = value;
        if (prop == propFetchAll) FFetchAll = value.AsBoolean();
    }
    void SetSQL(const TParsedSql& sql) override { FSql = sql; }
    bool Execute(std::span<const TDbParam> params, bool wantRows) override;
    std::int64_t RowsAffected() const override { return FRowsAffected; }
    std::vector<TFieldDesc> DescribeFields() override { return FResult->Columns; }
    bool Fetch(TRowStore& store, int maxRows) override {
        TRecordWriter& w = store.Writer();
        int n = 0;
        while (FNext < FResult->Rows.size() && (maxRows <= 0 || n < maxRows)) {
            const auto& row = FResult->Rows[FNext++];
            w.Reset(store.FieldCount());
            for (std::size_t i = 0; i < row.size(); ++i) w.SetValue(i, StorageKindOf(FResult->Columns[i].DataType), row[i]);
            store.Append();
            ++n;
        }
        return FNext < FResult->Rows.size();
    }
    void CloseCursor() override { FResult = nullptr; }
    bool FetchAll() const override { return FFetchAll; }

private:
    TScriptedConnection& FConnection;
    TParsedSql FSql;
    const TScriptedResult* FResult = nullptr;
    std::size_t FNext = 0;
    std::int64_t FRowsAffected = 0;
    bool FFetchAll;
};

class TScriptedConnection : public TProviderConnection {
public:
    explicit TScriptedConnection(bool fetchAllDefault) : FFetchAllDefault(fetchAllDefault) {}
    void SetProp(int prop, const TVariant& value) override { TheScript().ConnectionProps[prop] = value; }
    void Connect() override {
        TScript& s = TheScript();
        ++s.Connects;
        if (s.ConnectFailure) throw *s.ConnectFailure;
        s.ConnectedServer = FServer;
        s.ConnectedUser = FUsername;
        s.ConnectedPassword = FPassword;
        s.ConnectedDatabase = FDatabase;
        s.ConnectedPort = FPort;
        FConnected = true;
    }
    void Disconnect() override {
        ++TheScript().Disconnects;
        FConnected = false;
    }
    bool GetConnected() const override { return FConnected && !TheScript().LinkDown; }
    std::u16string GetCurrentDatabase() override { return u"current_db"; }
    std::unique_ptr<TProviderTransaction> CreateTransaction() override {
        return std::make_unique<TScriptedTransaction>();
    }
    std::unique_ptr<TProviderRecordSet> CreateRecordSet() override {
        ++TheScript().RecordSetsCreated;
        return std::make_unique<TScriptedRecordSet>(*this, FFetchAllDefault);
    }
    std::u16string GetKeyList(const std::u16string& table, TProviderTransaction*) override {
        auto it = TheScript().KeyLists.find(table);
        return it == TheScript().KeyLists.end() ? std::u16string() : it->second;
    }
    void Lose() { FConnected = false; }

private:
    bool FConnected = false;
    bool FFetchAllDefault;
};

bool TScriptedRecordSet::Execute(std::span<const TDbParam> params, bool wantRows) {
    TScript& s = TheScript();
    TSentStatement sent{FSql.Text, {}};
    for (const auto& p : params) sent.Params.push_back({p.Name(), p.DataType(), p.Value(), p.IsBound()});
    s.Statements.push_back(std::move(sent));
    if (auto f = s.StatementFailures.find(FSql.Text); f != s.StatementFailures.end()) {
        if (s.LoseConnectionOnFailure) {
            FConnection.Lose();
            throw ELinkLost(f->second.ErrorCode(), f->second.Message());
        }
        throw f->second;
    }
    if (auto r = s.Results.find(FSql.Text); r != s.Results.end()) {
        FResult = &r->second;
        FNext = 0;
        FRowsAffected = 0;
        return wantRows || FSql.Kind == skSelect;
    }
    FResult = nullptr;
    if (s.AffectedRows.empty()) FRowsAffected = 1;
    else {
        FRowsAffected = s.AffectedRows.front();
        s.AffectedRows.erase(s.AffectedRows.begin());
    }
    return false;
}

class TScriptedProvider : public TDbProvider {
public:
    TScriptedProvider(std::u16string name, bool needTransaction)
        : FName(std::move(name)), FNeedTransaction(needTransaction) {
        FOptions = {
            {u"Compress", okBoolean, TVariant(false), propCompress, otConnection, {}, {}},
            {u"Charset", okString, TVariant(std::u16string()), propCharset, otConnection, {}, {}},
            {u"ConnectionTimeout", okInteger, TVariant(std::int32_t(15)), propTimeout, otConnection, {},
             u"ConnectTimeout"},
            {u"Mode", okEnumerator, TVariant(std::int32_t(0)), propMode, otConnection, {u"mdFirst", u"mdSecond"}, {}},
            {u"FetchAll", okBoolean, TVariant(!needTransaction), propFetchAll, otDataSet, {}, {}},
        };
    }
    std::u16string GetProviderName() const override { return FName; }
    bool NeedTransaction() const override { return FNeedTransaction; }
    std::unique_ptr<TProviderConnection> CreateConnection() const override {
        return std::make_unique<TScriptedConnection>(!FNeedTransaction);
    }
    const TOptionsList& GetOptions() const override { return FOptions; }
    const TSqlDialect& GetSqlDialect() const override { return FDialect; }
    std::u16string QuoteName(std::u16string_view name, bool always) const override {
        bool plain = !name.empty();
        for (char16_t c : name) plain = plain && ((c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_');
        if (plain && !always) return std::u16string(name);
        return u"\"" + std::u16string(name) + u"\"";
    }

private:
    std::u16string FName;
    bool FNeedTransaction;
    TOptionsList FOptions;
    TSqlDialect FDialect;
};

} // namespace

TScript& Script() { return TheScript(); }
void ResetScript() { TheScript() = TScript(); }

void RegisterScriptedProviders() {
    TDbProviders::RegisterProvider(std::make_unique<TScriptedProvider>(u"Scripted", false));
    TDbProviders::RegisterProvider(std::make_unique<TScriptedProvider>(u"ScriptedTx", true));
}

TFieldDesc Column(std::u16string name, TFieldType type, std::u16string table, int length, bool required) {
    TFieldDesc d;
    d.ActualName = Trim(name);
    d.Name = std::move(name);
    d.DataType = type;
    d.TableName = std::move(table);
    d.Length = length;
    d.Required = required;
    return d;
}

} // namespace vantrelo::test
