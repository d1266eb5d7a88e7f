#pragma once
// One parameter occurrence of a statement. Occurrences of the same name (ignoring case)
// share one value and one data type: setting one sets them all.
#include <memory>
#include <string>

#include "dataaccess/FieldType.h"
#include "dataaccess/Variant.h"

namespace vantrelo {

class TDbParam {
public:
    explicit TDbParam(std::u16string name = {});
    // An occurrence that shares the value and type of another from the start.
    TDbParam(std::u16string name, const TDbParam& sharing) : FName(std::move(name)), FShared(sharing.FShared) {}

    const std::u16string& Name() const noexcept { return FName; }
    TFieldType DataType() const noexcept { return FShared->DataType; }
    void SetDataType(TFieldType type) noexcept { FShared->DataType = type; }
    const TVariant& Value() const noexcept { return FShared->Value; }
    bool IsNull() const noexcept { return FShared->Value.IsNull(); }
    bool IsBound() const noexcept { return FShared->Bound; }

    // Assigning a value (null too) binds the parameter; the data type is taken from the value only
    // while it is still unknown (a byte array leaves it unknown). The date and date-time
    // setters always set their type.
    void SetValue(TVariant value);
    void SetAsInteger(std::int32_t value) { SetValue(TVariant(value)); }
    void SetAsLargeInt(std::int64_t value) { SetValue(TVariant(value)); }
    void SetAsFloat(double value) { SetValue(TVariant(value)); }
    void SetAsBoolean(bool value) { SetValue(TVariant(value)); }
    void SetAsString(std::u16string value) { SetValue(TVariant(std::move(value))); }
    void SetAsAnsiString(AnsiString value) { SetValue(TVariant(std::move(value))); }
    void SetAsDateTime(TDateTime value);
    void SetAsDate(TDateTime value);
    void SetAsBytes(TBytes value);
    void Clear();  // null, type unchanged

    // Makes this occurrence share the value and type of another of the same name.
    void ShareWith(const TDbParam& first) { FShared = first.FShared; }

private:
    struct TShared {
        TFieldType DataType = ftUnknown;
        TVariant Value;
        bool Bound = false;
    };
    std::u16string FName;
    std::shared_ptr<TShared> FShared;
};

} // namespace vantrelo
