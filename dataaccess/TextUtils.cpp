#include "dataaccess/TextUtils.h"

#include <algorithm>

namespace vantrelo {

std::u16string UpperCase(std::u16string_view text) {
    std::u16string r(text);
    for (auto& c : r) c = UpperAscii(c);
    return r;
}

std::u16string Trim(std::u16string_view text) {
    std::size_t b = 0, e = text.size();
    while (b < e && text[b] <= u' ') ++b;
    while (e > b && text[e - 1] <= u' ') --e;
    return std::u16string(text.substr(b, e - b));
}

} // namespace vantrelo
