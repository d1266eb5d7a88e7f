#pragma once
// The TCP transport of the MySQL provider.
#include <string>

#include "platform/Exception.h"
#include "platform/Socket.h"
#include "providers/mysql/Vio.h"

namespace vantrelo {

// A transport failure at connect (the packet layer turns it into error 2003).
class SocketException : public Exception {
public:
    SocketException(int errorCode, std::u16string message) : Exception(std::move(message)), FErrorCode(errorCode) {}
    int ErrorCode() const noexcept { return FErrorCode; }

private:
    int FErrorCode;
};

enum TIPVersion { ivIPv4, ivIPv6, ivIPBoth };

class TVioSocket : public TVio {
public:
    static constexpr int DefaultBufferSize = 8192;

    TVioSocket(std::u16string hostName, TIPVersion ipVersion, int port);
    ~TVioSocket() override;

    const std::u16string& HostName() const noexcept { return FHostName; }
    void SetHostName(const std::u16string& value);
    int Port() const noexcept { return FPort; }
    void SetPort(int value);
    TIPVersion IPVersion() const noexcept { return FIPVersion; }
    void SetIPVersion(TIPVersion value);
    void SetSendBufferSize(int bytes) { FSendBuffer = bytes; }
    void SetReceiveBufferSize(int bytes) { FReceiveBuffer = bytes; }

    int GetConnectionTimeout() const override { return FConnectionTimeout; }
    void SetConnectionTimeout(int seconds) override { FConnectionTimeout = seconds; }
    int GetSendTimeout() const override { return FSendTimeout; }
    void SetSendTimeout(int seconds) override;
    int GetReceiveTimeout() const override { return FReceiveTimeout; }
    void SetReceiveTimeout(int seconds) override;

    std::ptrdiff_t ReadNoWait(std::uint8_t* buffer, std::size_t offset, std::size_t count) override;
    std::ptrdiff_t WriteNoWait(const std::uint8_t* buffer, std::size_t offset, std::size_t count) override;
    bool WaitForData(int timeoutMs) override;

    bool Connected() const noexcept { return FSd != InvalidSocketHandle; }
    TSocketHandle Handle() const noexcept { return FSd; }

protected:
    void DoClose() override;
    // Takes a connected socket and sets Nagle off, the time-outs and the buffer sizes.
    void Attach(TSocketHandle sd);
    void ApplyReceiveTimeout();

    std::u16string FHostName;
    int FPort;
    std::u16string FBindAddress;
    int FConnectionTimeout = 0;
    int FSendTimeout = 0;
    int FReceiveTimeout = 30;
    int FSendBuffer = DefaultBufferSize;
    int FReceiveBuffer = DefaultBufferSize;
    TIPVersion FIPVersion;
    TSocketHandle FSd = InvalidSocketHandle;

private:
    int FAppliedReceiveTimeout = -1;  // what the socket holds, to spare a system call per command
};

enum TConnectMode { cmConnect, cmBind };

class TVioTcp : public TVioSocket {
public:
    static constexpr int KeepAliveFirstProbeMs = 15000;
    static constexpr int KeepAliveIntervalMs = 1000;

    TVioTcp(std::u16string hostName, TIPVersion ipVersion, int port);

    // Connects or raises SocketException with FLastError as its message.
    void Connect() override;

private:
    void TryConnect();

    TSocketAddress FRemoteAddress;
    TConnectMode FConnectMode = cmConnect;
};

// Whether a host text is an IPv6 literal: hexadecimal digits, '%', '/' and at least one ':'.
bool IsIPv6Literal(std::u16string_view host);

} // namespace vantrelo
