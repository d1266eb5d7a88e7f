#pragma once
// 8-bit text in the system's ANSI code page (Windows-1252 on the shop machines).
// A type of its own, apart from raw bytes and Unicode text, so that a forgotten
// conversion does not compile.
#include <compare>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

namespace vantrelo {

class AnsiString {
public:
    AnsiString() = default;
    explicit AnsiString(std::string bytes) : FBytes(std::move(bytes)) {}
    explicit AnsiString(std::string_view bytes) : FBytes(bytes) {}
    explicit AnsiString(const char* bytes) : FBytes(bytes) {}
    AnsiString(const char* data, std::size_t length) : FBytes(data, length) {}

    const std::string& Bytes() const noexcept { return FBytes; }
    std::string& Bytes() noexcept { return FBytes; }
    std::string_view View() const noexcept { return FBytes; }
    const char* Data() const noexcept { return FBytes.data(); }
    std::size_t Length() const noexcept { return FBytes.size(); }
    bool IsEmpty() const noexcept { return FBytes.empty(); }

    AnsiString& operator+=(const AnsiString& other) { FBytes += other.FBytes; return *this; }
    friend AnsiString operator+(AnsiString a, const AnsiString& b) { a += b; return a; }
    friend bool operator==(const AnsiString&, const AnsiString&) = default;
    friend auto operator<=>(const AnsiString&, const AnsiString&) = default;

private:
    std::string FBytes;
};

} // namespace vantrelo
