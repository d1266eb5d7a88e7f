#pragma once
// The data types of fields and parameters, and how a record stores each of them.
#include <cstdint>

namespace vantrelo {

enum TFieldType : std::uint8_t {
    ftUnknown,
    ftString,        // 8-bit text, variable length
    ftFixedChar,     // 8-bit text, fixed length (CHAR)
    ftWideString,    // Unicode text
    ftFixedWideChar,
    ftShortint,      // signed 8-bit
    ftByte,          // unsigned 8-bit
    ftSmallint,      // signed 16-bit
    ftWord,          // unsigned 16-bit
    ftInteger,       // signed 32-bit
    ftLongWord,      // unsigned 32-bit
    ftLargeint,      // signed 64-bit
    ftBoolean,
    ftSingle,        // single-precision float, held as double
    ftFloat,         // double
    ftCurrency,
    ftBCD,
    ftFMTBcd,
    ftDate,
    ftTime,
    ftDateTime,
    ftTimeStamp,
    ftBytes,         // fixed-length raw bytes
    ftVarBytes,      // variable-length raw bytes
    ftBlob,          // raw bytes of any length
    ftMemo,          // 8-bit text of any length
    ftWideMemo,      // Unicode text of any length
};

// What a record slot holds for a field of the type.
enum class TStorageKind : std::uint8_t {
    Int32,     // the integer types up to 32 bits (unsigned 32-bit goes to Int64)
    Int64,
    Boolean,
    Double,    // the floating and decimal types
    DateTime,  // days since 30 December 1899, as TDateTime
    Ansi,      // 8-bit text
    Wide,      // UTF-16 code units
    Bytes,     // raw bytes
};

TStorageKind StorageKindOf(TFieldType type);
// The name the messages use ("Integer", "String", "DateTime"...).
const char16_t* FieldTypeName(TFieldType type);

inline bool IsBlobType(TFieldType t) { return t == ftBlob || t == ftMemo || t == ftWideMemo; }
inline bool IsTextType(TFieldType t) {
    return t == ftString || t == ftFixedChar || t == ftWideString || t == ftFixedWideChar || t == ftMemo ||
           t == ftWideMemo;
}

} // namespace vantrelo
