#pragma once
// A result column as the provider describes it.
#include <string>

#include "dataaccess/FieldType.h"

namespace vantrelo {

struct TFieldDesc {
    std::u16string Name;        // the column's name (alias) in the result
    std::u16string ActualName;  // the column's name in its table, as the server reports it
    std::u16string TableName;   // the table the column comes from; empty for expressions
    TFieldType DataType = ftUnknown;
    int SubType = 0;            // provider detail (blob subtype, single precision...)
    int Length = 0;             // characters for text, bytes for bytes, 0 when not applicable
    int Scale = 0;
    bool Fixed = false;         // CHAR rather than VARCHAR
    bool Required = false;      // NOT NULL column of a table
    bool ReadOnly = false;      // no relation (an expression) or a row identity
    bool IsKey = false;
    bool IsAutoIncrement = false;
    bool IsUnsigned = false;
    bool IsBinary = false;
    bool IsRowId = false;       // the row-identity column (InterBase RDB$DB_KEY)
};

} // namespace vantrelo
