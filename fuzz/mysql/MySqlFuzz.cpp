// libFuzzer target over everything that reads the server's bytes: greeting, login and
// authentication replies, OK and error packets, column definitions, rows and their values,
// compressed frames. The input is what the server sends; its first byte picks the mode.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "dataaccess/RowStore.h"
#include "platform/Exception.h"
#include "providers/mysql/MySQLFieldConverter.h"
#include "providers/mysql/MySqlSession.h"

namespace {

using namespace vantrelo;

// The server's side of the stream: reads come from the input, writes are dropped.
class TInputVio : public TVio {
public:
    TInputVio(const std::uint8_t* data, std::size_t size) : FData(data), FSize(size) {}
    void Connect() override {}
    std::ptrdiff_t ReadNoWait(std::uint8_t* buffer, std::size_t offset, std::size_t count) override {
        // Odd-sized pieces, so that frames and packets split everywhere.
        std::size_t n = std::min({count, FSize - FPos, std::size_t(1) + (FPos * 7919) % 4096});
        std::memcpy(buffer + offset, FData + FPos, n);
        FPos += n;
        return std::ptrdiff_t(n);
    }
    std::ptrdiff_t WriteNoWait(const std::uint8_t*, std::size_t, std::size_t count) override {
        return std::ptrdiff_t(count);
    }
    bool WaitForData(int) override { return FPos < FSize; }
    int GetConnectionTimeout() const override { return 0; }
    void SetConnectionTimeout(int) override {}
    int GetSendTimeout() const override { return 0; }
    void SetSendTimeout(int) override {}
    int GetReceiveTimeout() const override { return 0; }
    void SetReceiveTimeout(int) override {}

protected:
    void DoClose() override {}

private:
    const std::uint8_t* FData;
    std::size_t FSize;
    std::size_t FPos = 0;
};

enum : std::uint8_t {
    mRequestCompression = 0x01,
    mSkipLogin = 0x02,       // straight to query replies
    mCompressed = 0x04,      // with mSkipLogin: frames from the start
    mProtocol41 = 0x08,      // with mSkipLogin
    mZeroDatesAsMarker = 0x10,
    mUnicode = 0x20,
    mBinaryAsBytes = 0x40,
    mFieldsAsString = 0x80,
};

void ReadReplies(TMySqlSession& session, std::uint8_t mode) {
    TMySqlTypeOptions options;
    options.NullForZeroDate = !(mode & mZeroDatesAsMarker);
    options.UseUnicode = options.Utf8 = mode & mUnicode;
    options.BinaryAsString = !(mode & mBinaryAsBytes);
    options.FieldsAsString = mode & mFieldsAsString;
    options.ServerPrimaryVer = 5;
    options.ServerMinorVer = 5;
    TRowStore store;
    for (int statement = 0; statement < 8; ++statement) {
        session.status = msReady;
        session.ReadQueryResult();
        if (session.status == msGetResult) {
            std::vector<TFieldDesc> fields;
            for (const auto& info : session.fields) fields.push_back(DescribeMySqlField(info, options));
            TMySqlRowConverter converter;
            converter.Prepare(session.fields, fields, options);
            store.SetLayout(fields);
            session.status = msUseResult;
            TMySqlResultSet result(session);
            session.FResultSet = &result;
            for (int row = 0; row < 1000 && result.Fetch(); ++row) {
                store.Writer().Reset(store.FieldCount());
                converter.Convert(result.Buffer(), result.Binds(), store.Writer());
                store.Append();
            }
            session.FResultSet = nullptr;
            session.FreeQuery();
        }
        session.SkipMoreResults();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    std::uint8_t mode = data[0];
    TMySqlSession session;
    session.net.SetVio(std::make_unique<TInputVio>(data + 1, size - 1));
    session.user = AnsiString("vuser");
    session.password = AnsiString("vpass");
    session.database = AnsiString("vtest");
    try {
        if (mode & mSkipLogin) {
            session.FIsClosed = false;
            session.FclientFlag = (mode & mProtocol41) ? CLIENT_PROTOCOL_41 : 0;
            session.serverCapabilities = CLIENT_LONG_FLAG | CLIENT_TRANSACTIONS;
            session.net.SetCompress(mode & mCompressed);
        } else {
            session.Login(CLIENT_FOUND_ROWS | CLIENT_MULTI_STATEMENTS | ((mode & mRequestCompression) ? CLIENT_COMPRESS : 0));
        }
        ReadReplies(session, mode);
    } catch (const vantrelo::Exception&) {
        // Every malformed reply must end in one of the program's errors.
    }
    return 0;
}
