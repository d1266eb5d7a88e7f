#pragma once
// Small text helpers of the data-access layer (ASCII letter case, blanks).
#include <string>
#include <string_view>

namespace vantrelo {

inline char16_t UpperAscii(char16_t c) { return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c; }
inline char16_t LowerAscii(char16_t c) { return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c; }

bool SameText(std::u16string_view a, std::u16string_view b);  // equal ignoring ASCII letter case
std::u16string UpperCase(std::u16string_view text);
std::u16string Trim(std::u16string_view text);                // blanks and control characters

} // namespace vantrelo
