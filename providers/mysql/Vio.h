#pragma once
// The byte stream under the MySQL packet layer. TVio buffers reads and retries writes over
// the raw receive and send of a concrete transport (TCP here; tests use in-memory peers).
// Read and Write never raise: a short count says the stream failed, FLastError says why.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace vantrelo {

class TVio {
public:
    static constexpr std::size_t ReadAheadSize = 32768;
    // Requests at least this large are received straight into the caller's memory.
    static constexpr std::size_t DirectReadSize = 2048;

    TVio();
    virtual ~TVio();
    TVio(const TVio&) = delete;
    TVio& operator=(const TVio&) = delete;

    virtual void Connect() = 0;
    // Safe to call twice and from two threads; the stream is shut down once.
    void Close();

    // The number of bytes delivered; fewer than count means end of stream or an error.
    std::size_t Read(std::uint8_t* buffer, std::size_t offset, std::size_t count);
    // The number of bytes sent.
    std::size_t Write(const std::uint8_t* buffer, std::size_t offset, std::size_t count);

    // One raw receive or send: bytes moved, 0 at end of stream (receive) or when nothing
    // could be sent, negative on an error (FLastError set).
    virtual std::ptrdiff_t ReadNoWait(std::uint8_t* buffer, std::size_t offset, std::size_t count) = 0;
    virtual std::ptrdiff_t WriteNoWait(const std::uint8_t* buffer, std::size_t offset, std::size_t count) = 0;
    // True when data (or the end of the stream) is waiting; false on time-out or error.
    virtual bool WaitForData(int timeoutMs) = 0;

    // Time-outs in seconds. SetTimeout sets the receive and the connection time-out.
    int GetTimeout() const { return GetReceiveTimeout(); }
    void SetTimeout(int seconds) {
        SetReceiveTimeout(seconds);
        SetConnectionTimeout(seconds);
    }
    virtual int GetConnectionTimeout() const = 0;
    virtual void SetConnectionTimeout(int seconds) = 0;
    virtual int GetSendTimeout() const = 0;
    virtual void SetSendTimeout(int seconds) = 0;
    virtual int GetReceiveTimeout() const = 0;
    virtual void SetReceiveTimeout(int seconds) = 0;

    bool Closing() const noexcept { return FClosing; }
    const std::u16string& LastError() const noexcept { return FLastError; }
    int LastErrorCode() const noexcept { return FLastErrorCode; }

protected:
    virtual void DoClose() = 0;
    void SetLastError(std::u16string text, int code) {
        FLastError = std::move(text);
        FLastErrorCode = code;
    }
    void ClearLastError() {
        FLastError.clear();
        FLastErrorCode = 0;
    }
    void AllocateBuffer();

    bool FClosing = false;
    std::u16string FLastError;
    int FLastErrorCode = 0;

private:
    std::unique_ptr<std::uint8_t[]> FBuffer;
    std::size_t FBufferLen = 0;
    std::size_t FBufferPos = 0;
    std::mutex FCloseLock;
};

} // namespace vantrelo
