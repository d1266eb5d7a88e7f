#pragma once
// Raw bytes (blob contents, the product photo): never text.
#include <cstdint>
#include <vector>

namespace vantrelo {

using TBytes = std::vector<std::uint8_t>;

} // namespace vantrelo
