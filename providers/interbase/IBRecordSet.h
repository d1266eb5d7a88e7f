#pragma once
// The record set of a statement: result columns mapped to field kinds, rows fetched into
// the query's row store with dates and text converted, blobs read at fetch.
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "dataaccess/ProviderConnection.h"
#include "providers/interbase/IBBlob.h"
#include "providers/interbase/IBCommand.h"

namespace vantrelo {

class TIBConnection;
class TIBTransaction;

// How a column's value is taken from the fetched row.
enum TIBFetchKind {
    fkShort, fkLong, fkInt64, fkFloat, fkDouble, fkDate, fkTime, fkTimestamp,
    fkBoolean8, fkBoolean16, fkBoolean32, fkBoolean64,
    fkText, fkVarText, fkBytes, fkVarBytes, fkBlob, fkMemo,
};

struct TIBFieldDesc : TFieldDesc {
    short SqlType = 0;        // as described (nullable bit removed)
    int CharsetId = 0;        // of the text as it arrives
    int BytesPerChar = 1;
    TIBFetchKind FetchKind = fkText;
    int SqlLength = 0;        // bytes of the value in the fetched row
    bool Nullable = true;
    bool Utf8 = false;        // text arrives UTF-8 encoded
};

struct TIBColumnSettings {
    bool UseUnicode = false;
    bool EnableBCD = false;
    bool EnableFMTBCD = false;
    bool SimpleNumericMap = true;
    short Dialect = 3;
    int ConnectionCharsetId = 0;
    int ConnectionCharLength = 1;
    bool UnicodeDatabase = false;  // the database's default set is a Unicode one
};

// The field of a described column; re-types NUMERIC/DECIMAL columns to DOUBLE PRECISION in
// the variable so that the server converts them. Raises "Data type is not supported".
TIBFieldDesc DescribeIBColumn(const TIBSqlVar& var, const TIBColumnSettings& settings);

class TIBRecordSet : public TProviderRecordSet {
public:
    explicit TIBRecordSet(TIBConnection& connection);
    ~TIBRecordSet() override;

    void SetProp(int prop, const TVariant& value) override;
    void SetTransaction(TProviderTransaction* transaction) override;
    void SetSQL(const TParsedSql& sql) override;
    void Prepare() override;
    void Unprepare() override;
    bool IsPrepared() const override { return FCommand.Prepared(); }

    bool Execute(std::span<const TDbParam> params, bool wantRows) override;
    std::int64_t RowsAffected() const override { return FCommand.RowCounts().Affected(); }

    std::vector<TFieldDesc> DescribeFields() override;
    bool Fetch(TRowStore& store, int maxRows) override;
    void CloseCursor() override;
    bool FetchAll() const override { return FFetchAll; }

    TIBCommand& Command() noexcept { return FCommand; }
    const std::vector<TIBFieldDesc>& Fields() const noexcept { return FFields; }
    // The relation alias of a result column (empty for expressions), asked of the server
    // on first use while the statement is prepared: it costs a round trip per statement
    // and nothing the layer above does needs it.
    const std::u16string& TableAlias(std::size_t field);
    int RowsPerFetch() const noexcept { return FRowsPerFetch; }

private:
    TIBTransaction* IBTransaction() const;
    void DescribeColumns();
    void ApplyBooleanDomains();
    void ReadAliases();
    void LayOutRowBuffer();
    void StoreRow(TRowStore& store);
    void StoreText(TRecordWriter& writer, std::size_t field, const TIBFieldDesc& f, const char* data, std::size_t length);

    TIBConnection& FConnection;
    TIBCommand FCommand;
    TIBBlob FBlob;
    std::vector<TIBFieldDesc> FFields;
    std::vector<char> FRowBuffer;
    std::vector<std::size_t> FOffsets;  // of each column's data in the row buffer
    std::vector<short> FIndicators;
    std::vector<std::u16string> FTableAliases;
    bool FAliasesRead = false;
    bool FOneShot = false;
    bool FCursorOpen = false;
    bool FSingletonPending = false;
    bool FRanWithoutRows = false;  // the last execution was of a statement that returns none
    int FRowsPerFetch = 25;

    // Dataset options.
    bool FFetchAll = false;
    bool FAutoClose = false;
    bool FBooleanDomainFields = true;
    bool FCacheBlobs = true;
    bool FDeferredBlobRead = false;
};

// Runs one of the provider's own queries in the transaction and returns every row.
std::vector<std::vector<TVariant>> SelectRows(TIBConnection& connection, TIBTransaction& transaction,
                                              std::u16string_view sql);

} // namespace vantrelo
