#pragma once
// A typed column of the current row of a dataset.
#include <cstdint>
#include <string>

#include "dataaccess/FieldType.h"
#include "dataaccess/RowStore.h"
#include "dataaccess/Variant.h"

namespace vantrelo {

class TMemoryDataSet;

class TField {
public:
    TField(TMemoryDataSet& dataSet, std::u16string fieldName, TFieldType dataType, int size = 0, bool required = false);

    const std::u16string& FieldName() const noexcept { return FFieldName; }
    TFieldType DataType() const noexcept { return FDataType; }
    int Size() const noexcept { return FSize; }
    bool Required() const noexcept { return FRequired; }
    void SetRequired(bool value) noexcept { FRequired = value; }
    bool ReadOnly() const noexcept { return FReadOnly; }
    void SetReadOnly(bool value) noexcept { FReadOnly = value; }
    int FieldNo() const noexcept { return FFieldNo; }  // index of the bound column, -1 when unbound
    int Index() const noexcept { return FIndex; }      // position in the dataset's field list

    bool IsNull() const;
    // Getters; a null value gives 0, 30 December 1899, empty text or no bytes.
    std::int32_t AsInteger() const;
    std::int64_t AsLargeInt() const;
    double AsFloat() const;
    bool AsBoolean() const;
    TDateTime AsDateTime() const;
    std::u16string AsString() const;  // the field's text in its standard (regional) form
    AnsiString AsAnsiString() const;  // 8-bit text in the ANSI code page
    TBytes AsBytes() const;
    TVariant AsVariant() const;       // null when null

    // Setters: allowed only while the dataset is in edit or insert state.
    void SetAsInteger(std::int32_t value);
    void SetAsLargeInt(std::int64_t value);
    void SetAsFloat(double value);
    void SetAsBoolean(bool value);
    void SetAsDateTime(TDateTime value);
    void SetAsString(const std::u16string& text);  // converted with the regional formats
    void SetAsAnsiString(const AnsiString& value);
    void SetAsBytes(const TBytes& value);
    void SetAsVariant(const TVariant& value);
    void Clear();  // null

    // How the bound column is stored in the record (set when the field is bound).
    TStorageKind Storage() const noexcept { return FStorage; }

private:
    friend class TMemoryDataSet;
    TRecordView Record() const;
    void Store(const TVariant& value);  // converts to the field's type and writes the edit buffer

    TMemoryDataSet& FDataSet;
    std::u16string FFieldName;
    TFieldType FDataType;
    int FSize;
    bool FRequired;
    bool FReadOnly = false;
    int FFieldNo = -1;
    int FIndex = -1;
    TStorageKind FStorage;
};

} // namespace vantrelo
