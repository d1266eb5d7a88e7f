#pragma once
// SHA-1 (FIPS 180-1), for the MySQL password token.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vantrelo {

class TSha1 {
public:
    static constexpr std::size_t DigestSize = 20;
    using TDigest = std::array<std::uint8_t, DigestSize>;

    TSha1() { Reset(); }
    void Reset();
    void Update(const void* data, std::size_t length);
    void Update(std::string_view bytes) { Update(bytes.data(), bytes.size()); }
    TDigest Final();  // the object starts over afterwards

    static TDigest Digest(const void* data, std::size_t length);
    static TDigest Digest(std::string_view bytes) { return Digest(bytes.data(), bytes.size()); }

private:
    void Transform(const std::uint8_t* block);

    std::uint32_t FState[5];
    std::uint64_t FLength;  // bytes hashed so far
    std::uint8_t FBlock[64];
    std::size_t FBlockLen;
};

} // namespace vantrelo
