#pragma once
// Small text helpers of the data-access layer (ASCII letter case, blanks).
#include <cstddef>
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
        std::size_t h = 14695981039346656037ull;
        for (char16_t c : text) h = (h ^ (c & ~0x20u)) * 1099511628211ull;  // 'a' and 'A' alike
        return h;
    }
};
struct TNoCaseEqual {
    using is_transparent = void;
    bool operator()(std::u16string_view a, std::u16string_view b) const noexcept {
        return a == b || SameText(a, b);  // names are mostly written the same way
    }
};
template <class Value>
using TNoCaseMap = std::unordered_map<std::u16string, Value, TNoCaseHash, TNoCaseEqual>;

} // namespace vantrelo
