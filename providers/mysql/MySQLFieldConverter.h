#pragma once
// MySQL column types as field types, and the text values of result rows as field values.
#include <cstdint>
#include <string>
#include <vector>

#include "dataaccess/FieldDesc.h"
#include "dataaccess/RowStore.h"
#include "providers/mysql/MySqlSession.h"

namespace vantrelo {

// Protocol column type codes.
enum TMySqlType : int {
    FIELD_TYPE_DECIMAL = 0, FIELD_TYPE_TINY = 1, FIELD_TYPE_SHORT = 2, FIELD_TYPE_LONG = 3, FIELD_TYPE_FLOAT = 4,
    FIELD_TYPE_DOUBLE = 5, FIELD_TYPE_NULL = 6, FIELD_TYPE_TIMESTAMP = 7, FIELD_TYPE_LONGLONG = 8,
    FIELD_TYPE_INT24 = 9, FIELD_TYPE_DATE = 10, FIELD_TYPE_TIME = 11, FIELD_TYPE_DATETIME = 12, FIELD_TYPE_YEAR = 13,
    FIELD_TYPE_NEWDATE = 14, FIELD_TYPE_VARCHAR = 15, FIELD_TYPE_BIT = 16, FIELD_TYPE_JSON = 245,
    FIELD_TYPE_NEWDECIMAL = 246, FIELD_TYPE_ENUM = 247, FIELD_TYPE_SET = 248, FIELD_TYPE_TINY_BLOB = 249,
    FIELD_TYPE_MEDIUM_BLOB = 250, FIELD_TYPE_LONG_BLOB = 251, FIELD_TYPE_BLOB = 252, FIELD_TYPE_VAR_STRING = 253,
    FIELD_TYPE_STRING = 254, FIELD_TYPE_GEOMETRY = 255,
};

constexpr int BinaryCharsetNr = 63;
constexpr int SubTypeSingle = 1;  // a float field holding single-precision values
constexpr int SubTypeFixed = 2;   // a CHAR column

struct TMySqlTypeOptions {
    bool CheckPrecision = true;
    bool EnableBCD = false;
    bool EnableFMTBCD = false;
    bool UseUnicode = false;
    bool Utf8 = false;  // names and texts arrive UTF-8 encoded
    bool OptimizedBigint = false;
    bool EnableBoolean = true;
    bool BinaryAsString = true;
    bool FieldsAsString = false;
    bool NullForZeroDate = true;
    bool LongStrings = true;
    int DBCharLength = 1;
    int ServerPrimaryVer = 0, ServerMinorVer = 0;
};

// Raises "Unknown MySQL datatype (%d)" for codes the protocol does not send.
TFieldDesc DescribeMySqlField(const TMySqlFieldInfo& info, const TMySqlTypeOptions& options);

// Writes the rows of a result into records, value by value, straight from the packet.
class TMySqlRowConverter {
public:
    void Prepare(const std::vector<TMySqlFieldInfo>& infos, const std::vector<TFieldDesc>& fields,
                 const TMySqlTypeOptions& options);
    // Raises EConvertError for a malformed floating-point value or time.
    void Convert(const std::uint8_t* row, const std::vector<TMySqlBind>& binds, TRecordWriter& record) const;

private:
    enum class TKind { String, WideString, Int32, Int64, Boolean, Bit32, Bit64, Float, Single, Date, DateTime, Time, Bytes };
    struct TColumn {
        TKind Kind;
        std::size_t Cut;  // longest text kept, 0 for no limit
        int Scale;
        std::u16string Name;
    };
    void ConvertValue(const TColumn& column, std::size_t index, const char* text, std::size_t length,
                      TRecordWriter& record) const;
    void SetInvalidDate(std::size_t index, TRecordWriter& record) const;

    std::vector<TColumn> FColumns;
    bool FNullForZeroDate = true;
};

// The text of a floating-point column as a double; raises "'%s' is not a valid floating
// point value" (or, for a bad exponent, "'%s' is not a valid integer value").
double ParseMySqlFloat(const char* text, std::size_t length);

} // namespace vantrelo
