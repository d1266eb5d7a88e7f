#pragma once
// One statement on a MySQL session. Parameters are written into the statement text as SQL
// literals right before it is sent; the reply is an OK packet or a result to fetch.
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "dataaccess/Component.h"
#include "dataaccess/DbParam.h"
#include "dataaccess/SqlParser.h"
#include "providers/mysql/MySqlSession.h"

namespace vantrelo {

class TMySQLConnection;

// How literals are written: backslash escapes (else quotes doubled) and the text encoding
// of the session (UTF-8, else the ANSI code page).
struct TMySqlLiteralStyle {
    bool Backslashes = true;
    bool Utf8 = false;
};

// The provider's marker for a zero date (0100-01-01 00:00:00), written as '0000-00-00 00:00:00'.
TDateTime MySqlZeroDateMarker();

// Appends the literal of a parameter value of the given data type (NULL for a null value).
void AppendValueToSQL(std::string& sql, TFieldType type, const TVariant& value, const TMySqlLiteralStyle& style);
// An upper bound of what AppendValueToSQL writes, to size the statement buffer once.
std::size_t LiteralSizeBound(TFieldType type, const TVariant& value, const TMySqlLiteralStyle& style);
// A quoted string literal of raw bytes.
void AppendQuotedBytes(std::string& sql, std::string_view bytes, bool backslashes);

enum TCursorState { csInactive, csOpen, csExecuting, csExecuted, csFetching, csFetched };

class TMySQLCommand {
public:
    explicit TMySQLCommand(TMySQLConnection& connection);
    ~TMySQLCommand();
    TMySQLCommand(const TMySQLCommand&) = delete;
    TMySQLCommand& operator=(const TMySQLCommand&) = delete;

    void SetComponent(const TComponent* component) noexcept { FComponent = component; }
    // The parsed statement: '?' markers and one occurrence per parameter.
    void SetSQL(const TParsedSql& sql);
    // A statement without parameters.
    void SetSQL(std::u16string_view text);
    void SetCommandTimeout(int seconds) noexcept { FCommandTimeout = seconds; }

    // Runs the statement, one parameter per occurrence. With wantRows the rows of the first
    // result with columns wait in Result(); otherwise every result is read away at once.
    void Execute(std::span<const TDbParam> params, bool wantRows);
    TMySqlResultSet* Result() const noexcept { return FSQLResult.get(); }
    // Reads away what is left of the current result and of any further results.
    void Close();
    std::int64_t RowsAffected() const noexcept { return FRowsAffected; }
    TCursorState CursorState() const noexcept { return FCursorState; }

    // The statement text as it is sent, parameters rendered.
    std::string BuildStatement(std::span<const TDbParam> params);

    // Receives the final text of every statement before it is sent.
    std::function<void(std::string_view)> FOnExecute;

private:
    void PrepareSegments(const TMySqlLiteralStyle& style);
    TMySqlLiteralStyle Style() const;
    void FreeResult(TMySqlSession& session);

    TMySQLConnection& FConnection;
    const TComponent* FComponent = nullptr;
    std::u16string FSQL;
    std::vector<std::size_t> FMarkers;   // positions of the '?' of every occurrence in FSQL
    std::vector<std::string> FSegments;  // FSQL between the markers, encoded for the session
    bool FSegmentsUtf8 = false;
    bool FSegmentsReady = false;
    int FCommandTimeout = 0;
    TCursorState FCursorState = csInactive;
    std::int64_t FRowsAffected = 0;
    std::int64_t FRowsAffectedPrev = 0;
    std::unique_ptr<TMySqlResultSet> FSQLResult;
};

} // namespace vantrelo
