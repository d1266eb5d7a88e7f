#pragma once
// A provider whose server is a script: tests say which rows, column descriptions, key
// lists, affected-row counts and failures it answers with, and read back what it was sent.
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dataaccess/DbProvider.h"
#include "dataaccess/DatabaseError.h"

namespace vantrelo::test {

struct TScriptedResult {
    std::vector<TFieldDesc> Columns;
    std::vector<std::vector<TVariant>> Rows;
};

struct TSentParam {
    std::u16string Name;
    TFieldType DataType;
    TVariant Value;
    bool Bound;
};

struct TSentStatement {
    std::u16string Text;  // with '?' markers
    std::vector<TSentParam> Params;
};

struct TScript {
    // What the server answers.
    std::map<std::u16string, TScriptedResult> Results;  // by statement text ('?' form)
    std::map<std::u16string, std::u16string> KeyLists;  // by table name
    std::vector<std::int64_t> AffectedRows;             // next counts, front first; 1 when empty
    std::optional<EDataAccessError> ConnectFailure;     // thrown by the next connects
    std::map<std::u16string, EDataAccessError> StatementFailures;  // by statement text
    bool LoseConnectionOnFailure = false;               // a failing statement drops the link (a fatal error)
    bool LinkDown = false;                              // the link is gone without any statement noticing

    // What it was sent.
    std::map<int, TVariant> ConnectionProps;  // last value applied per property code
    std::map<int, TVariant> DataSetProps;
    std::vector<TSentStatement> Statements;
    std::vector<std::u16string> TransactionLog;  // "start", "commit", "commit retaining", "rollback"
    int Connects = 0, Disconnects = 0, RecordSetsCreated = 0;
    std::u16string ConnectedServer, ConnectedUser, ConnectedPassword, ConnectedDatabase;
    int ConnectedPort = 0;
};

TScript& Script();       // reset by ResetScript()
void ResetScript();

// Property codes of the scripted providers' options.
enum : int { propCompress = 1, propCharset, propTimeout, propMode, propFetchAll };

// Registers "Scripted" (no transactions, FetchAll on) and "ScriptedTx" (needs a
// transaction, FetchAll off: rows come in blocks).
void RegisterScriptedProviders();

// A column description in one line.
TFieldDesc Column(std::u16string name, TFieldType type, std::u16string table = u"T", int length = 0,
                  bool required = false);

} // namespace vantrelo::test
