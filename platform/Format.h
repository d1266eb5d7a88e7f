#pragma once
// printf-style formatting of the system's message texts ("%s is not a valid provider name",
// "Socket Error Code: %d($%X)", "%-.64s").
//   %[index:][-][0][width][.precision]conversion
// Conversions: s (text; precision = most characters), d, u, x (lower-case hex), X
// (upper-case hex) (integers; precision = fewest digits, zero-filled), %% for '%'.
// Width pads with blanks, on the left unless '-'; '0' pads numbers with zeros instead.
// Width and precision may be '*', taken from the next argument. "index:" selects the
// argument by zero-based position; later conversions continue after it.
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
    TFormatArg(int value) : FValue(std::int64_t(value)), FBits(32) {}
    TFormatArg(long value) : FValue(std::int64_t(value)), FBits(8 * sizeof value) {}
    TFormatArg(long long value) : FValue(std::int64_t(value)) {}
    TFormatArg(unsigned value) : FValue(std::int64_t(value)), FBits(32) {}
    TFormatArg(unsigned long value) : FValue(std::int64_t(value)), FBits(8 * sizeof value) {}
    TFormatArg(unsigned long long value) : FValue(std::int64_t(value)) {}

    const std::variant<std::u16string_view, std::int64_t>& Value() const { return FValue; }
    // Width of the integer handed in: %u, %x and %X show a negative 32-bit value as its
    // 32-bit pattern (-1 gives FFFFFFFF), as a C caller expects.
    int Bits() const { return FBits; }

private:
    std::variant<std::u16string_view, std::int64_t> FValue;
    int FBits = 64;
};

// Raises EConvertError "Format '%s' invalid or incompatible with argument" on a bad format.
std::u16string Format(std::u16string_view format, std::initializer_list<TFormatArg> args);

} // namespace vantrelo
