#pragma once
// A statement with named parameters that runs on a TDbConnection and, when it returns
// rows, keeps them as a navigable in-memory table of typed fields.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "dataaccess/DbParam.h"
#include "dataaccess/MemoryDataSet.h"
#include "dataaccess/ProviderOptions.h"
#include "dataaccess/SqlParser.h"
#include "dataaccess/TextUtils.h"

namespace vantrelo {

class TDbConnection;
class TProviderRecordSet;
class TSQLGenerator;
class TUpdateExecutor;

// The statement text as a list of lines joined with line breaks.
class TSqlLines {
public:
    explicit TSqlLines(std::function<void()> onChange) : FOnChange(std::move(onChange)) {}
    void Clear();
    void Add(std::u16string_view line);
    void SetText(std::u16string_view text);
    std::u16string Text() const;
    const std::vector<std::u16string>& Lines() const noexcept { return FLines; }

private:
    std::vector<std::u16string> FLines;
    std::function<void()> FOnChange;
};

struct TDbDataSetOptions {
    bool QueryRecCount = false;
    bool UpdateAllFields = false;
    bool StrictUpdate = true;
    bool RequiredFields = true;
    bool SetFieldsReadOnly = true;
    bool FullRefresh = false;
    bool PrepareUpdateSQL = false;
    bool QuoteNames = false;
};

class TCustomDbDataSet : public TMemoryDataSet {
public:
    explicit TCustomDbDataSet(std::u16string name = {}, const TComponent* owner = nullptr);
    ~TCustomDbDataSet() override;

    TDbConnection* Connection() const noexcept { return FConnection; }
    void SetConnection(TDbConnection* connection);

    TSqlLines& SQL() noexcept { return FSQL; }
    std::vector<TDbParam>& Params() {
        EnsureParams();
        return FParams;
    }
    TDbParam& ParamByName(std::u16string_view name);   // "Parameter '%s' not found"
    TDbParam* FindParam(std::u16string_view name);
    TStatementKind StatementKind() {
        EnsureParams();
        return FLayout->Parsed.Kind;
    }

    int FetchRows() const noexcept { return FFetchRows; }
    void SetFetchRows(int rows) noexcept { FFetchRows = rows; }
    // The provider's dataset options ("InterBase.FetchAll=True").
    TProviderOptions& SpecificOptions() noexcept { return FSpecificOptions; }
    TDbDataSetOptions& Options() noexcept { return FOptions; }

    // Editing settings.
    std::u16string KeyFields;       // "A;B" or "A,B"; empty: the provider's key list
    std::u16string UpdatingTable;   // empty: the first table of the query
    bool AutoCommit = true;

    void Open();
    void Close();
    void ExecSQL();
    std::int64_t RowsAffected() const noexcept { return FRowsAffected; }

    // Notifications from the connection.
    void ConnectionConnected() {}
    void ConnectionDisconnecting();  // closes, forgets the prepared statement and fields
    void ConnectionDestroyed() noexcept { FConnection = nullptr; }

    // For the connection and the update executor.
    bool HoldsTransaction() const noexcept { return Active() && FHoldsTransaction; }
    void SetRowsAffected(std::int64_t rows) noexcept { FRowsAffected = rows; }

protected:
    bool FetchMore() override;
    void ApplyUpdate(TDataSetState state) override;
    void FieldsChanged() override;

private:
    void SQLChanged();
    void RebuildParams();
    void EnsureParams() {
        if (FParamsStale) RebuildParams();
    }
    TProviderRecordSet& PrepareStatement();  // connection ready, record set holding the text
    bool Run(bool wantRows);
    void OpenCursor();
    [[noreturn]] void Failed();  // after an error: a lost connection is closed, the error goes on

    TDbConnection* FConnection = nullptr;
    TSqlLines FSQL;
    std::vector<TDbParam> FParams;
    // A statement text as parsed, and where each of its parameter names first occurs. The
    // engine sets the same few long statements, line by line, for every product it carries,
    // and parsing one costs more than running it: the layouts of the last few texts are kept
    // for when they come back.
    struct TParamLayout {
        std::u16string Source;
        const TSqlDialect* Dialect = nullptr;
        TParsedSql Parsed;
        std::vector<std::size_t> FirstOf;  // per occurrence: the entry of its name's first occurrence
        TNoCaseMap<std::size_t> Index;     // name → its first entry
    };
    std::shared_ptr<const TParamLayout> LayoutFor(const std::u16string& text, const TSqlDialect& dialect);
    std::shared_ptr<const TParamLayout> FLayout;
    std::vector<std::shared_ptr<const TParamLayout>> FRecentLayouts;  // most recent first
    // A text changed while there were no parameters to carry over: the parameters are built
    // when next asked for, once for a statement added line by line instead of once per line.
    bool FParamsStale = false;
    bool FTextSent = false;
    int FFetchRows = 25;
    bool FFetchAll = false;
    bool FFetchedAll = true;
    TProviderOptions FSpecificOptions;
    TDbDataSetOptions FOptions;
    std::int64_t FRowsAffected = 0;
    std::unique_ptr<TProviderRecordSet> FRecordSet;
    bool FHoldsTransaction = false;
    std::unique_ptr<TUpdateExecutor> FUpdater;
};

class TDbQuery : public TCustomDbDataSet {
public:
    using TCustomDbDataSet::TCustomDbDataSet;
};

} // namespace vantrelo
