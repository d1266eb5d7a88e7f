#pragma once
// Raw bytes (blob contents, the product photo): never text.
#include <cstdint>
#include <string_view>
#include <vector>

namespace vantrelo {

using TBytes = std::vector<std::uint8_t>;

// The bytes of a char buffer in one block copy (built from char iterators, the vector would
// convert them one by one).
inline TBytes BytesOf(std::string_view bytes) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(bytes.data());
    return TBytes(p, p + bytes.size());
}

} // namespace vantrelo
