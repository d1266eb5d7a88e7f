#pragma once
// An in-memory transport whose peer is a script: the bytes it delivers, how many per
// receive, and everything it was sent. Plus builders for the server's packets.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <zlib.h>

#include "providers/mysql/Vio.h"

namespace vantrelo::test {

class TScriptedVio : public TVio {
public:
    explicit TScriptedVio(std::string input = {}) : Input(std::move(input)) {}

    std::string Input;                 // what the peer sends
    std::size_t InputPos = 0;
    std::size_t MaxChunk = SIZE_MAX;   // bytes per receive at most
    std::string Output;                // what the peer received
    int Receives = 0;                  // raw receives made
    int WriteLimit = -1;               // bytes accepted before writes make no progress (-1: no limit)
    int WriteCalls = 0;
    std::u16string ErrorAtEnd;         // when set, the end of input is an error with this text
    std::string* Copy = nullptr;       // also receives what is sent (outlives the transport)

    void Connect() override {}
    std::ptrdiff_t ReadNoWait(std::uint8_t* buffer, std::size_t offset, std::size_t count) override {
        ++Receives;
        if (InputPos >= Input.size()) {
            if (!ErrorAtEnd.empty()) {
                SetLastError(ErrorAtEnd, 110);
                return -1;
            }
            return 0;
        }
        std::size_t n = std::min({count, MaxChunk, Input.size() - InputPos});
        std::copy_n(Input.data() + InputPos, n, reinterpret_cast<char*>(buffer + offset));
        InputPos += n;
        return std::ptrdiff_t(n);
    }
    std::ptrdiff_t WriteNoWait(const std::uint8_t* buffer, std::size_t offset, std::size_t count) override {
        ++WriteCalls;
        if (WriteLimit >= 0) {
            std::size_t room = std::size_t(WriteLimit) > Output.size() ? std::size_t(WriteLimit) - Output.size() : 0;
            count = std::min(count, room);
        }
        Output.append(reinterpret_cast<const char*>(buffer + offset), count);
        if (Copy) Copy->append(reinterpret_cast<const char*>(buffer + offset), count);
        return std::ptrdiff_t(count);
    }
    bool WaitForData(int) override { return InputPos < Input.size(); }
    int GetConnectionTimeout() const override { return FConnectTimeout; }
    void SetConnectionTimeout(int s) override { FConnectTimeout = s; }
    int GetSendTimeout() const override { return FSendTimeout; }
    void SetSendTimeout(int s) override { FSendTimeout = s; }
    int GetReceiveTimeout() const override { return FReceiveTimeout; }
    void SetReceiveTimeout(int s) override { FReceiveTimeout = s; }

protected:
    void DoClose() override {}

private:
    int FConnectTimeout = 0, FSendTimeout = 0, FReceiveTimeout = 0;
};

inline std::string Le(std::uint64_t v, int bytes) {
    std::string s;
    for (int i = 0; i < bytes; ++i) s.push_back(char(v >> (8 * i)));
    return s;
}

// One plain packet: 3-byte length, sequence number, payload.
inline std::string Packet(std::uint8_t seq, std::string_view payload) {
    return Le(payload.size(), 3) + char(seq) + std::string(payload);
}

// One compressed frame around data (deflated when asked).
inline std::string Frame(std::uint8_t seq, std::string_view data, bool deflate = true) {
    if (!deflate) return Le(data.size(), 3) + char(seq) + Le(0, 3) + std::string(data);
    uLongf n = compressBound(uLong(data.size()));
    std::string packed(n, '\0');
    compress(reinterpret_cast<Bytef*>(packed.data()), &n, reinterpret_cast<const Bytef*>(data.data()), uLong(data.size()));
    packed.resize(n);
    return Le(n, 3) + char(seq) + Le(data.size(), 3) + packed;
}

inline std::string Inflate(std::string_view packed, std::size_t length) {
    std::string out(length, '\0');
    uLongf n = uLongf(length);
    if (uncompress(reinterpret_cast<Bytef*>(out.data()), &n, reinterpret_cast<const Bytef*>(packed.data()),
                   uLong(packed.size())) != Z_OK)
        return {};
    out.resize(n);
    return out;
}

// A length-encoded text.
inline std::string LenStr(std::string_view s) {
    std::string out;
    if (s.size() < 251) out.push_back(char(s.size()));
    else if (s.size() <= 0xFFFF) out = "\xFC" + Le(s.size(), 2);
    else out = "\xFD" + Le(s.size(), 3);
    return out + std::string(s);
}

inline std::string OkPayload(std::uint64_t affected = 0, std::uint64_t insertId = 0, std::uint16_t status = 2) {
    return std::string(1, '\0') + char(affected) + char(insertId) + Le(status, 2) + Le(0, 2);
}

inline std::string ErrPayload(int code, std::string_view text) {
    return "\xFF" + Le(std::uint64_t(code), 2) + std::string(text);
}

inline std::string EofPayload(std::uint16_t status = 2) { return "\xFE" + Le(0, 2) + Le(status, 2); }

// A 4.1 column definition.
inline std::string ColumnDef(std::string_view name, int type, std::uint32_t length, std::uint16_t flags = 0,
                             int decimals = 0, int charset = 8, std::string_view table = "t") {
    return LenStr("def") + LenStr("db") + LenStr(table) + LenStr(table) + LenStr(name) + LenStr(name) + "\x0C" +
           Le(std::uint64_t(charset), 2) + Le(length, 4) + char(type) + Le(flags, 2) + char(decimals) + Le(0, 2);
}

// A greeting of protocol 10 with a 20-byte scramble "abcdefgh" + "ijklmnopqrst".
inline std::string Greeting(std::uint16_t capabilities, std::string_view version = "5.5.5-10.11.19-MariaDB",
                            int protocol = 10) {
    return std::string(1, char(protocol)) + std::string(version) + '\0' + Le(42, 4) + "abcdefgh" + '\0' +
           Le(capabilities, 2) + char(8) + Le(2, 2) + Le(0, 2) + char(21) + std::string(10, '\0') + "ijklmnopqrst" +
           '\0' + "mysql_native_password" + '\0';
}

// The server's capabilities of a modern server: long password, long flag, connect with
// database, compress, local files, protocol 4.1, transactions, secure connection.
constexpr std::uint16_t ModernServer = 0x1 | 0x4 | 0x8 | 0x20 | 0x80 | 0x200 | 0x2000 | 0x8000;

} // namespace vantrelo::test
