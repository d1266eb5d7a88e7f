#include "providers/mysql/Sha1.h"

#include <cstring>

namespace vantrelo {
namespace {

constexpr std::uint32_t Rotl(std::uint32_t v, int n) { return (v << n) | (v >> (32 - n)); }

} // namespace

void TSha1::Reset() {
    FState[0] = 0x67452301;
    FState[1] = 0xEFCDAB89;
    FState[2] = 0x98BADCFE;
    FState[3] = 0x10325476;
    FState[4] = 0xC3D2E1F0;
    FLength = 0;
    FBlockLen = 0;
}

void TSha1::Transform(const std::uint8_t* block) {
    std::uint32_t w[80];
    for (int i = 0; i < 16; ++i)
        w[i] = std::uint32_t(block[4 * i]) << 24 | std::uint32_t(block[4 * i + 1]) << 16 |
               std::uint32_t(block[4 * i + 2]) << 8 | std::uint32_t(block[4 * i + 3]);
    for (int i = 16; i < 80; ++i) w[i] = Rotl(w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16], 1);

    std::uint32_t a = FState[0], b = FState[1], c = FState[2], d = FState[3], e = FState[4];
    for (int i = 0; i < 80; ++i) {
        std::uint32_t f, k;
        if (i < 20) {
            f = (b & c) | (~b & d);
            k = 0x5A827999;
        } else if (i < 40) {
            f = b ^ c ^ d;
            k = 0x6ED9EBA1;
        } else if (i < 60) {
            f = (b & c) | (b & d) | (c & d);
            k = 0x8F1BBCDC;
        } else {
            f = b ^ c ^ d;
            k = 0xCA62C1D6;
        }
        std::uint32_t t = Rotl(a, 5) + f + e + k + w[i];
        e = d;
        d = c;
        c = Rotl(b, 30);
        b = a;
        a = t;
    }
    FState[0] += a;
    FState[1] += b;
    FState[2] += c;
    FState[3] += d;
    FState[4] += e;
}

void TSha1::Update(const void* data, std::size_t length) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    FLength += length;
    if (FBlockLen > 0) {
        std::size_t n = std::min(length, sizeof FBlock - FBlockLen);
        std::memcpy(FBlock + FBlockLen, p, n);
        FBlockLen += n;
        p += n;
        length -= n;
        if (FBlockLen < sizeof FBlock) return;
        Transform(FBlock);
        FBlockLen = 0;
    }
    for (; length >= sizeof FBlock; p += sizeof FBlock, length -= sizeof FBlock) Transform(p);
    std::memcpy(FBlock, p, length);
    FBlockLen = length;
}

TSha1::TDigest TSha1::Final() {
    std::uint64_t bits = FLength * 8;
    std::uint8_t pad[72] = {0x80};
    std::size_t padLen = (FBlockLen < 56 ? 56 : 120) - FBlockLen;
    for (int i = 0; i < 8; ++i) pad[padLen + i] = std::uint8_t(bits >> (56 - 8 * i));
    Update(pad, padLen + 8);
    TDigest digest;
    for (int i = 0; i < 5; ++i)
        for (int j = 0; j < 4; ++j) digest[std::size_t(4 * i + j)] = std::uint8_t(FState[i] >> (24 - 8 * j));
    Reset();
    return digest;
}

TSha1::TDigest TSha1::Digest(const void* data, std::size_t length) {
    TSha1 sha;
    sha.Update(data, length);
    return sha.Final();
}

} // namespace vantrelo
