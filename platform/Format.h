#pragma once
// printf-style formatting of the system's message texts ("%s is not a valid provider name",
// "Socket Error Code: %d($%X)", "%-.64s"). Conversions: %s, %d, %u, %x, %X, %%, with
// optional '-' flag, width and precision.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace vantrelo {

class TFormatArg {
public:
    TFormatArg(std::u16string_view text) : FValue(text) {}
    TFormatArg(const std::u16string& text) : FValue(std::u16string_view(text)) {}
    TFormatArg(const char16_t* text) : FValue(std::u16string_view(text)) {}
    TFormatArg(int value) : FValue(std::int64_t(value)) {}
    TFormatArg(long value) : FValue(std::int64_t(value)) {}
    TFormatArg(long long value) : FValue(std::int64_t(value)) {}
    TFormatArg(unsigned value) : FValue(std::int64_t(value)) {}
    TFormatArg(unsigned long value) : FValue(std::int64_t(value)) {}
    TFormatArg(unsigned long long value) : FValue(std::int64_t(value)) {}

    const std::variant<std::u16string_view, std::int64_t>& Value() const { return FValue; }

private:
    std::variant<std::u16string_view, std::int64_t> FValue;
};

// Raises EConvertError "Format '%s' invalid or incompatible with argument" on a bad format.
std::u16string Format(std::u16string_view format, std::initializer_list<TFormatArg> args);

} // namespace vantrelo
