#pragma once
// Small text helpers of the data-access layer (ASCII letter case, blanks).
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>

namespace vantrelo {

inline char16_t UpperAscii(char16_t c) { return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c; }
inline char16_t LowerAscii(char16_t c) { return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c; }

// Equal ignoring ASCII letter case.
inline bool SameText(std::u16string_view a, std::u16string_view b) noexcept {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
    return true;
}
std::u16string UpperCase(std::u16string_view text);
std::u16string Trim(std::u16string_view text);                // blanks and control characters

// Hashing and equality ignoring ASCII letter case, looked up with any string view: names of
// fields and parameters are found without building an upper-case copy first.
struct TNoCaseHash {
    using is_transparent = void;
    std::size_t operator()(std::u16string_view text) const noexcept {
        // Four characters at a time, each without the bit that tells 'a' from 'A'.
        constexpr std::uint64_t fold = 0xFFDFFFDFFFDFFFDFull;
        constexpr std::uint64_t mix = 0x9E3779B97F4A7C15ull;
        std::uint64_t h = text.size() * mix;
        std::size_t i = 0;
        for (; i + 4 <= text.size(); i += 4) {
            std::uint64_t chunk;
            std::memcpy(&chunk, text.data() + i, sizeof chunk);
            h = std::rotl((h ^ (chunk & fold)) * mix, 29);
        }
        for (; i < text.size(); ++i) h = std::rotl((h ^ (text[i] & 0xFFDFu)) * mix, 29);
        return std::size_t(h ^ (h >> 32));
    }
};
struct TNoCaseEqual {
    using is_transparent = void;
    bool operator()(std::u16string_view a, std::u16string_view b) const noexcept {
        if (a.size() != b.size()) return false;
        if (a.empty()) return true;
        // Names are mostly written the same way: the bytes first.
        return std::memcmp(a.data(), b.data(), a.size() * sizeof(char16_t)) == 0 || SameText(a, b);
    }
};
template <class Value>
using TNoCaseMap = std::unordered_map<std::u16string, Value, TNoCaseHash, TNoCaseEqual>;

} // namespace vantrelo
