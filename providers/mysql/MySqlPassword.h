#pragma once
// The password answers of the MySQL login: the mysql_native_password token and the
// scramble of servers older than 4.1.
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "providers/mysql/Sha1.h"

namespace vantrelo {

constexpr std::size_t ScrambleLength = 20;
constexpr std::size_t OldScrambleLength = 8;

// SHA1(password) XOR SHA1(scramble + SHA1(SHA1(password))).
TSha1::TDigest NativePasswordToken(std::string_view password, std::span<const std::uint8_t> scramble);
// The pre-4.1 answer to the first 8 bytes of a scramble (blanks and tabs of the password
// do not count).
std::array<std::uint8_t, OldScrambleLength> OldPasswordScramble(std::string_view password,
                                                                 std::span<const std::uint8_t> scramble);
// SHA1 of the password without blanks and tabs (the two-step legacy challenge).
TSha1::TDigest PasswordHashWithoutBlanks(std::string_view password);

} // namespace vantrelo
