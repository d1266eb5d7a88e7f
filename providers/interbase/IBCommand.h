#pragma once
// One SQL statement on an attachment: prepared by the server, its parameters bound in the
// server's wire formats, executed, and its affected-row counts read.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "dataaccess/Component.h"
#include "dataaccess/DbParam.h"
#include "dataaccess/SqlParser.h"
#include "providers/interbase/IBApi.h"
#include "providers/interbase/IBSqlDA.h"

namespace vantrelo {

class TIBConnection;
class TIBTransaction;

enum TIBQueryType {
    qtUnparsed, qtUnknown, qtSelect, qtCursor, qtInsert, qtUpdate, qtDelete,
    qtInsertReturning, qtUpdateReturning, qtExecuteBlock, qtCreate, qtDrop,
};

enum TIBCursorState {
    csInactive, csOpen, csParsed, csPrepared, csBound, csExecuteFetchAll, csExecuting,
    csExecuted, csFetching, csFetchingAll, csFetched,
};

// The statement's kind from its first words; RETURNING counts only on a Firebird server.
TIBQueryType ParseIBQueryType(std::u16string_view sql, bool firebird);

// Counts of an isc_info_sql_records reply (item 23).
struct TIBRowCounts {
    std::int32_t Updated = 0, Deleted = 0, Inserted = 0;
    std::int64_t Affected() const noexcept { return std::int64_t(Updated) + Deleted + Inserted; }
};
// Raises "SQL information exception" when the reply does not answer item 23.
TIBRowCounts ParseRowCounts(std::string_view reply);

// A VARCHAR carries at most this many bytes; longer byte and text values go as blobs.
constexpr std::size_t MaxVaryingLength = 32765;

// How text parameters travel: their bytes (UTF-8 or ANSI) and the character set they are
// tagged with, so that the server converts them into each column's own set.
struct TIBTextEncoding {
    bool Utf8 = false;
    short Charset = 0;  // sent as the value's sqlsubtype; 0 leaves it untagged
    bool operator==(const TIBTextEncoding&) const = default;
};
// ansiCharsetId is the server's id of the ANSI code page's set, -1 when it has none.
TIBTextEncoding IBTextParamEncoding(bool useUnicode, int attachmentCharsetId, int ansiCharsetId);

class TIBCommand {
public:
    explicit TIBCommand(TIBConnection& connection);
    ~TIBCommand();
    TIBCommand(const TIBCommand&) = delete;
    TIBCommand& operator=(const TIBCommand&) = delete;

    void SetComponent(const TComponent* component) noexcept { FComponent = component; }
    void SetTransaction(TIBTransaction* transaction) noexcept { FTransaction = transaction; }
    TIBTransaction* Transaction() const noexcept { return FTransaction; }
    TIBConnection& Connection() const noexcept { return FConnection; }

    // The text with '?' markers; drops a prepared statement.
    void SetSQL(const TParsedSql& sql);
    const std::u16string& SQL() const noexcept { return FSQL; }
    TIBQueryType QueryType();

    void Prepare();
    void Unprepare() noexcept;  // drops the statement
    bool Prepared() const noexcept { return FState >= csPrepared; }
    int StatementType() const noexcept { return FStatementType; }
    TIBCursorState State() const noexcept { return FState; }
    void SetState(TIBCursorState state) noexcept { FState = state; }

    // The result columns, described into the output XSQLDA (grown as needed).
    TIBSqlDA& Output() noexcept { return FOutput; }
    const TIBSqlDA& Input() const noexcept { return FInput; }  // as bound for the last execution
    void DescribeOutput();

    // Binds the parameters (one per marker, in order), writes blob parameters, and runs
    // the statement; withOutput hands the output XSQLDA to a singleton statement.
    void Execute(std::span<const TDbParam> params, bool withOutput);
    const TIBRowCounts& RowCounts() const noexcept { return FCounts; }
    // Closes the open cursor, the statement staying prepared.
    void CloseCursor();

    ibapi::THandle* StatementHandle() noexcept { return &FHandle; }
    ibapi::TStatusVector& Status() noexcept { return FStatus; }
    void Check(ibapi::TStatus result);

    // Options.
    bool DescribeParams = false;
    bool QueryRowsAffected = true;

private:
    struct TParamBuffer {
        alignas(8) char Fixed[8];
        std::string Data;    // text and bytes in their wire form
        ibapi::TQuad BlobId{};
        short Indicator = 0;
    };

    ibapi::THandle* TransactionHandle() const;
    void ReadStatementType();
    bool MayChangeRows();
    void ReadRowCounts();
    void Bind(std::span<const TDbParam> params);
    void BindParam(std::size_t index, const TDbParam& param);
    void WriteBlobParam(TParamBuffer& buffer, std::string_view data);
    bool ServerExpectsBoolean(std::size_t index);

    TIBConnection& FConnection;
    const TComponent* FComponent = nullptr;
    TIBTransaction* FTransaction = nullptr;
    std::u16string FSQL;
    std::size_t FMarkers = 0;
    TIBQueryType FQueryType = qtUnparsed;
    TIBCursorState FState = csInactive;
    int FStatementType = 0;
    ibapi::THandle FHandle = ibapi::NullHandle;
    std::uint64_t FGeneration = 0;  // the attachment the handle belongs to
    ibapi::TStatusVector FStatus{};
    TIBSqlDA FInput;
    TIBSqlDA FOutput;
    TIBSqlDA FDescribedInput;
    bool FInputDescribed = false;
    std::vector<TParamBuffer> FParamBuffers;
    TIBRowCounts FCounts;
};

} // namespace vantrelo
