// SHA-1 against the FIPS 180-1 test vectors, fed whole and in uneven pieces.
#include <gtest/gtest.h>

#include <string>

#include "providers/mysql/Sha1.h"

namespace vantrelo::test {
namespace {

std::string Hex(const TSha1::TDigest& d) {
    static const char* digits = "0123456789abcdef";
    std::string s;
    for (auto b : d) {
        s += digits[b >> 4];
        s += digits[b & 15];
    }
    return s;
}

struct TVector {
    std::string Input;
    const char* Digest;
};

const TVector Vectors[] = {
    {"abc", "a9993e364706816aba3e25717850c26c9cd0d89d"},
    {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq", "84983e441c3bd26ebaae4aa1f95129e5e54670f1"},
    {std::string(1000000, 'a'), "34aa973cd4c4daa4f61eeb2bdbad27316534016f"},
    {"", "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
};

TEST(TSha1Test, PublishedVectors) {
    for (const auto& v : Vectors) EXPECT_EQ(Hex(TSha1::Digest(v.Input)), v.Digest) << v.Input.size();
}

TEST(TSha1Test, PiecesAcrossBlockBoundariesGiveTheSameDigest) {
    for (const auto& v : Vectors) {
        for (std::size_t piece : {1u, 55u, 63u, 64u, 65u, 1000u}) {
            TSha1 sha;
            for (std::size_t at = 0; at < v.Input.size(); at += piece)
                sha.Update(std::string_view(v.Input).substr(at, piece));
            EXPECT_EQ(Hex(sha.Final()), v.Digest) << v.Input.size() << " in pieces of " << piece;
        }
    }
}

} // namespace
} // namespace vantrelo::test
