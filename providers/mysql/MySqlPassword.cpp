#include "providers/mysql/MySqlPassword.h"

#include <cmath>

namespace vantrelo {
namespace {

struct TOldHash {
    std::uint32_t Nr, Nr2;
};

TOldHash OldHash(const std::uint8_t* data, std::size_t length) {
    std::uint32_t nr = 1345345333u, add = 7, nr2 = 0x12345671u;
    for (std::size_t i = 0; i < length; ++i) {
        std::uint32_t c = data[i];
        if (c == ' ' || c == '\t') continue;
        nr ^= (((nr & 63) + add) * c) + (nr << 8);
        nr2 += (nr2 << 8) ^ nr;
        add += c;
    }
    return {nr & 0x7FFFFFFFu, nr2 & 0x7FFFFFFFu};
}

class TOldRandom {
public:
    TOldRandom(std::uint32_t seed1, std::uint32_t seed2) : FSeed1(seed1 % MaxValue), FSeed2(seed2 % MaxValue) {}
    double Next() {
        FSeed1 = (FSeed1 * 3 + FSeed2) % MaxValue;
        FSeed2 = (FSeed1 + FSeed2 + 33) % MaxValue;
        return double(FSeed1) / double(MaxValue);
    }

private:
    static constexpr std::uint64_t MaxValue = 0x3FFFFFFF;
    std::uint64_t FSeed1, FSeed2;
};

} // namespace

TSha1::TDigest NativePasswordToken(std::string_view password, std::span<const std::uint8_t> scramble) {
    TSha1::TDigest stage1 = TSha1::Digest(password);
    TSha1::TDigest stage2 = TSha1::Digest(stage1.data(), stage1.size());
    TSha1 sha;
    sha.Update(scramble.data(), scramble.size());
    sha.Update(stage2.data(), stage2.size());
    TSha1::TDigest mix = sha.Final();
    for (std::size_t i = 0; i < stage1.size(); ++i) stage1[i] ^= mix[i];
    return stage1;
}

std::array<std::uint8_t, OldScrambleLength> OldPasswordScramble(std::string_view password,
                                                                 std::span<const std::uint8_t> scramble) {
    TOldHash hp = OldHash(reinterpret_cast<const std::uint8_t*>(password.data()), password.size());
    TOldHash hm = OldHash(scramble.data(), std::min(scramble.size(), OldScrambleLength));
    TOldRandom random(hp.Nr ^ hm.Nr, hp.Nr2 ^ hm.Nr2);
    std::array<std::uint8_t, OldScrambleLength> out;
    for (auto& b : out) b = std::uint8_t(std::floor(random.Next() * 31) + 64);
    auto extra = std::uint8_t(std::floor(random.Next() * 31));
    for (auto& b : out) b ^= extra;
    return out;
}

TSha1::TDigest PasswordHashWithoutBlanks(std::string_view password) {
    TSha1 sha;
    for (char c : password)
        if (c != ' ' && c != '\t') sha.Update(&c, 1);
    return sha.Final();
}

} // namespace vantrelo
