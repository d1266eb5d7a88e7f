#pragma once
// A value of any of the kinds fields and parameters exchange, or null.
#include <cstdint>
#include <string>
#include <variant>

#include "platform/AnsiString.h"
#include "platform/Bytes.h"
#include "platform/DateTime.h"

namespace vantrelo {

class TVariant {
public:
    using TStorage = std::variant<std::monostate, bool, std::int32_t, std::int64_t, double, TDateTime,
                                  std::u16string, AnsiString, TBytes>;

    TVariant() = default;  // null
    TVariant(bool v) : FValue(v) {}
    TVariant(std::int32_t v) : FValue(v) {}
    TVariant(std::int64_t v) : FValue(v) {}
    TVariant(double v) : FValue(v) {}
    TVariant(TDateTime v) : FValue(v) {}
    TVariant(std::u16string v) : FValue(std::move(v)) {}
    TVariant(const char16_t* v) : FValue(std::u16string(v)) {}
    TVariant(AnsiString v) : FValue(std::move(v)) {}
    TVariant(TBytes v) : FValue(std::move(v)) {}

    bool IsNull() const noexcept { return FValue.index() == 0; }
    const TStorage& Storage() const noexcept { return FValue; }
    template <class T> const T* TryGet() const noexcept { return std::get_if<T>(&FValue); }

    // Conversions as the fields and parameters need them; null gives 0, empty text or no bytes.
    // A value that cannot be converted raises EConvertError / EDatabaseError.
    std::int32_t AsInteger() const;
    std::int64_t AsLargeInt() const;
    double AsFloat() const;
    bool AsBoolean() const;
    TDateTime AsDateTime() const;
    std::u16string AsString() const;  // the regional text form
    AnsiString AsAnsiString() const;
    TBytes AsBytes() const;

    friend bool operator==(const TVariant&, const TVariant&) = default;

private:
    TStorage FValue;
};

} // namespace vantrelo
