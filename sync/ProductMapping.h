#pragma once
// How one product row is carried between the local table estoque and the cloud table
// produtos: the column correspondence as data, and the three statements that carry a row.
#include <cstddef>
#include <string_view>

#include "dataaccess/FieldType.h"

namespace vantrelo {

// What a statement's parameter receives for a column.
enum TCarryKind {
    ckNone,            // the statement does not name the column
    ckText,            // the source field's text, as Unicode text
    ckAnsi,            // the source field as an 8-bit string
    ckInteger,
    ckLargeInt,
    ckFloat,
    ckDate,            // a date-typed parameter (the value keeps any time of day)
    ckDateTime,
    ckBytes,           // the blob's whole content, as an array of bytes
    ckConstOne,        // the integer 1
    ckConstZeroFloat,  // the float 0
    ckNow,             // the current local date and time, read when the parameter is set
    ckConstText,       // the one-character text in TCarry::Text
    ckInStatement,     // no parameter: the statement text sets the column itself
};

struct TCarry {
    TCarryKind Kind = ckNone;
    const char16_t* Param = nullptr;  // the parameter name where it differs from the column
    const char16_t* From = nullptr;   // the source column where it is not the row's other column
    const char16_t* Text = nullptr;   // ckConstText
};

struct TProductColumn {
    const char16_t* Local;   // estoque column (null: cloud only)
    TFieldType LocalType;
    int LocalSize;
    const char16_t* Cloud;   // produtos column (null: local only)
    TFieldType CloudType;
    int CloudSize;
    TCarry Upload;           // what the cloud insert-or-update receives for the cloud column
    TCarry LocalUpdate;      // what the local update receives for the local column
    TCarry LocalInsert;      // what the local insert receives for the local column
};

extern const TProductColumn ProductColumns[];
extern const std::size_t ProductColumnCount;

extern const std::u16string_view CloudInsertPart;
extern const std::u16string_view CloudUpdatePart;  // what GetsqlUpdate_Prodcloud returns
extern const std::u16string_view LocalUpdateStatement;
extern const std::u16string_view LocalInsertStatement;

} // namespace vantrelo
