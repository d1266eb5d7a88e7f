#include "dataaccess/DbQuery.h"

#include <algorithm>
#include <cstring>

#include "dataaccess/DatabaseError.h"
#include "dataaccess/DbConnection.h"
#include "dataaccess/DbProviders.h"
#include "dataaccess/TextUtils.h"
#include "dataaccess/UpdateExecutor.h"

namespace vantrelo {
namespace {

const TSqlDialect& DialectFor(const TDbConnection* connection) {
    static const TSqlDialect standard;
    if (connection && connection->Provider()) return connection->Provider()->GetSqlDialect();
    return standard;
}

} // namespace

void TSqlLines::Clear() {
    FLines.clear();
    FOnChange();
}

void TSqlLines::Add(std::u16string_view line) {
    FLines.emplace_back(line);
    FOnChange();
}

void TSqlLines::SetText(std::u16string_view text) {
    FLines.clear();
    std::size_t start = 0;
    while (true) {
        std::size_t end = text.find(u'\n', start);
        std::u16string_view line = text.substr(start, end == std::u16string_view::npos ? end : end - start);
        if (!line.empty() && line.back() == u'\r') line.remove_suffix(1);
        if (end == std::u16string_view::npos) {
            if (!line.empty() || FLines.empty()) FLines.emplace_back(line);
            break;
        }
        FLines.emplace_back(line);
        start = end + 1;
    }
    if (FLines.size() == 1 && FLines[0].empty()) FLines.clear();
    FOnChange();
}

std::u16string TSqlLines::Text() const {
    std::u16string text;
    std::size_t size = 0;
    for (const auto& line : FLines) size += line.size() + 2;
    text.reserve(size);
    for (std::size_t i = 0; i < FLines.size(); ++i) {
        if (i) text += u"\r\n";
        text += FLines[i];
    }
    return text;
}

TCustomDbDataSet::TCustomDbDataSet(std::u16string name, const TComponent* owner)
    : TMemoryDataSet(std::move(name), owner), FSQL([this] { SQLChanged(); }),
      FSpecificOptions([this] { return FConnection ? FConnection->Provider() : nullptr; }) {
    RebuildParams();  // the layout of the empty text
}

TCustomDbDataSet::~TCustomDbDataSet() {
    try {
        Close();
    } catch (...) {
        // Closing a query that is going away has nobody to report to.
    }
    FUpdater.reset();
    FRecordSet.reset();
    if (FConnection) FConnection->UnregisterClient(this);
}

void TCustomDbDataSet::SetConnection(TDbConnection* connection) {
    if (connection == FConnection) return;
    Close();
    FUpdater.reset();
    FRecordSet.reset();
    FTextSent = false;
    if (FConnection) FConnection->UnregisterClient(this);
    FConnection = connection;
    if (FConnection) FConnection->RegisterClient(this);
    RebuildParams();
}

void TCustomDbDataSet::SQLChanged() {
    Close();
    if (FRecordSet) FRecordSet->Unprepare();
    FTextSent = false;
    ForgetFields();
    if (FParams.empty())
        FParamsStale = true;
    else
        RebuildParams();
}

std::shared_ptr<const TCustomDbDataSet::TParamLayout> TCustomDbDataSet::LayoutFor(const std::u16string& text,
                                                                                   const TSqlDialect& dialect) {
    constexpr std::size_t RecentLayouts = 8;
    auto same = [&](const std::u16string& source) {  // texts of a few kilobytes: compared as bytes
        return source.size() == text.size() && std::memcmp(source.data(), text.data(), text.size() * sizeof(char16_t)) == 0;
    };
    for (auto it = FRecentLayouts.begin(); it != FRecentLayouts.end(); ++it) {
        if ((*it)->Dialect != &dialect || !same((*it)->Source)) continue;
        std::rotate(FRecentLayouts.begin(), it, it + 1);
        return FRecentLayouts.front();
    }
    auto layout = std::make_shared<TParamLayout>();
    layout->Source = text;
    layout->Dialect = &dialect;
    layout->Parsed = ParseSql(text, dialect);
    const auto& occurrences = layout->Parsed.Params;
    layout->FirstOf.reserve(occurrences.size());
    for (std::size_t i = 0; i < occurrences.size(); ++i)
        layout->FirstOf.push_back(layout->Index.emplace(occurrences[i].Name, i).first->second);
    if (FRecentLayouts.size() == RecentLayouts) FRecentLayouts.pop_back();
    FRecentLayouts.insert(FRecentLayouts.begin(), layout);
    return layout;
}

// One entry per occurrence; entries of one name share the value, and values of names that
// survive a change of the text are kept.
void TCustomDbDataSet::RebuildParams() {
    std::shared_ptr<const TParamLayout> layout = LayoutFor(FSQL.Text(), DialectFor(FConnection));
    const auto& occurrences = layout->Parsed.Params;
    std::vector<TDbParam> params;
    params.reserve(occurrences.size());  // entries refer to earlier ones while it fills
    auto carried = [this](const std::u16string& name) -> const TDbParam* {  // the value a name had
        if (!FLayout || FParams.empty()) return nullptr;
        auto it = FLayout->Index.find(name);
        return it == FLayout->Index.end() ? nullptr : &FParams[it->second];
    };
    for (std::size_t i = 0; i < occurrences.size(); ++i) {
        const std::u16string& name = occurrences[i].Name;
        if (std::size_t first = layout->FirstOf[i]; first != i) {
            params.emplace_back(name, params[first]);
            continue;
        }
        if (const TDbParam* old = carried(name))
            params.emplace_back(name, *old);
        else
            params.emplace_back(name);
    }
    FParams = std::move(params);
    FLayout = std::move(layout);
    FParamsStale = false;
    FTextSent = false;
}

TDbParam* TCustomDbDataSet::FindParam(std::u16string_view name) {
    EnsureParams();
    auto it = FLayout->Index.find(name);
    return it == FLayout->Index.end() ? nullptr : &FParams[it->second];
}

TDbParam& TCustomDbDataSet::ParamByName(std::u16string_view name) {
    if (TDbParam* p = FindParam(name)) return *p;
    DatabaseError(u"Parameter '" + std::u16string(name) + u"' not found", this);
}

TProviderRecordSet& TCustomDbDataSet::PrepareStatement() {
    if (!FConnection) DatabaseError(u"Connection is not defined", this);
    if (!FConnection->Connected()) {
        if (!FConnection->Options().AllowImplicitConnect) DatabaseError(u"Connection is not connected", this);
        FConnection->Connect();
    }
    TDbProvider& provider = *FConnection->Provider();
    TProviderTransaction* transaction = nullptr;
    if (provider.NeedTransaction()) {
        transaction = &FConnection->DefaultTransaction();
        if (!transaction->InTransaction()) transaction->StartTransaction();
    }
    if (FParamsStale || &provider.GetSqlDialect() != FLayout->Dialect) RebuildParams();
    if (!FRecordSet) {
        FRecordSet = FConnection->ProviderConnection()->CreateRecordSet();
        FRecordSet->SetComponent(this);
        FTextSent = false;
    }
    FRecordSet->SetTransaction(transaction);
    FSpecificOptions.ApplyTo(provider, otDataSet, *FRecordSet);
    if (!FTextSent) {
        FRecordSet->SetSQL(FLayout->Parsed);
        FTextSent = true;
    }
    return *FRecordSet;
}

void TCustomDbDataSet::Failed() {
    try {
        throw;
    } catch (const EDataAccessError& e) {
        if (e.IsFatalError() && FConnection) {
            try {
                FConnection->Disconnect();
            } catch (...) {
                // The connection is gone already; the original error is the one to report.
            }
        }
        throw;
    }
}

bool TCustomDbDataSet::Run(bool wantRows) {
    try {
        TProviderRecordSet& rs = PrepareStatement();
        bool rows = rs.Execute(FParams, wantRows);
        FRowsAffected = rs.RowsAffected();
        return rows;
    } catch (...) {
        Failed();
    }
}

void TCustomDbDataSet::OpenCursor() {
    TProviderRecordSet& rs = *FRecordSet;
    try {
        OpenStore(rs.DescribeFields());
        FFetchAll = rs.FetchAll();
        FFetchedAll = !rs.Fetch(Store(), FFetchAll ? 0 : FFetchRows);
        FHoldsTransaction = FConnection->Provider()->NeedTransaction();
        AfterFetch();
    } catch (...) {
        CloseStore();
        try {
            rs.CloseCursor();
        } catch (...) {
            // The first error says what went wrong.
        }
        Failed();
    }
}

void TCustomDbDataSet::Open() {
    if (Active()) return;
    if (Run(true)) OpenCursor();
}

void TCustomDbDataSet::ExecSQL() {
    Close();
    if (Run(false)) {
        OpenCursor();
        return;
    }
    if (AutoCommit) {
        try {
            FConnection->CommitAfterModification(this);
        } catch (...) {
            Failed();
        }
    }
}

void TCustomDbDataSet::Close() {
    if (!Active()) return;
    Cancel();
    CloseStore();
    FHoldsTransaction = false;
    if (FRecordSet) FRecordSet->CloseCursor();
}

bool TCustomDbDataSet::FetchMore() {
    if (FFetchedAll || !FRecordSet) return false;
    std::size_t before = Store().RowCount();
    try {
        FFetchedAll = !FRecordSet->Fetch(Store(), FFetchRows);
    } catch (...) {
        FFetchedAll = true;
        Failed();
    }
    return Store().RowCount() > before;
}

void TCustomDbDataSet::ConnectionDisconnecting() {
    try {
        Close();
    } catch (...) {
        // The cursor goes with the connection either way.
    }
    FUpdater.reset();
    FRecordSet.reset();
    FTextSent = false;
    ForgetFields();
}

void TCustomDbDataSet::ApplyUpdate(TDataSetState state) {
    if (!FUpdater) FUpdater = std::make_unique<TUpdateExecutor>(*this);
    try {
        FUpdater->Apply(state);
    } catch (...) {
        Failed();
    }
}

void TCustomDbDataSet::FieldsChanged() {
    if (FUpdater) FUpdater->FieldsChanged();
}

} // namespace vantrelo
