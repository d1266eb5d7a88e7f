#include "providers/mysql/VioTcp.h"

#include <climits>

#include "platform/CodePage.h"
#include "platform/Format.h"

namespace vantrelo {
namespace {

std::u16string SocketFailure(std::u16string_view format, const std::u16string& host, int error) {
    return Format(format, {host, SocketErrorText(error), error, error});
}

} // namespace

bool IsIPv6Literal(std::u16string_view host) {
    bool colon = false;
    for (char16_t c : host) {
        if (c == u':') colon = true;
        else if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F') || c == u'%' ||
                   c == u'/'))
            return false;
    }
    return colon;
}

TVioSocket::TVioSocket(std::u16string hostName, TIPVersion ipVersion, int port)
    : FHostName(std::move(hostName)), FPort(port), FIPVersion(ipVersion) {}

TVioSocket::~TVioSocket() {
    if (FSd != InvalidSocketHandle) CloseSocket(FSd);
}

void TVioSocket::SetHostName(const std::u16string& value) {
    if (value == FHostName) return;
    if (Connected()) throw SocketException(0, u"Cannot change host for the active connection");
    FHostName = value;
}

void TVioSocket::SetPort(int value) {
    if (value == FPort) return;
    if (Connected()) throw SocketException(0, u"Cannot change port for the active connection");
    FPort = value;
}

void TVioSocket::SetIPVersion(TIPVersion value) {
    if (value == FIPVersion) return;
    if (Connected()) throw SocketException(0, u"Cannot change TCP/IP version for the active connection");
    FIPVersion = value;
}

void TVioSocket::SetSendTimeout(int seconds) {
    FSendTimeout = seconds;
    if (Connected() && seconds >= 1) vantrelo::SetSendTimeout(FSd, seconds * 1000);
}

void TVioSocket::SetReceiveTimeout(int seconds) {
    FReceiveTimeout = seconds;
    if (Connected()) ApplyReceiveTimeout();
}

void TVioSocket::ApplyReceiveTimeout() {
    int ms = FReceiveTimeout > INT_MAX / 1000 ? INT_MAX : (FReceiveTimeout < 0 ? 0 : FReceiveTimeout * 1000);
    if (ms == FAppliedReceiveTimeout) return;
    if (vantrelo::SetReceiveTimeout(FSd, ms) == 0) FAppliedReceiveTimeout = ms;
}

std::ptrdiff_t TVioSocket::ReadNoWait(std::uint8_t* buffer, std::size_t offset, std::size_t count) {
    if (FSd == InvalidSocketHandle) {
        SetLastError(u"Socket not connected", 0);
        return -1;
    }
    int error = 0;
    std::ptrdiff_t n = SocketReceive(FSd, buffer + offset, count, error);
    if (n < 0) {
        SetLastError(Format(u"Error on data reading from the connection:\r\n%s.\r\nSocket Error Code: %d($%X)",
                            {SocketErrorText(error), error, error}),
                     error);
        return -1;
    }
    return n;
}

std::ptrdiff_t TVioSocket::WriteNoWait(const std::uint8_t* buffer, std::size_t offset, std::size_t count) {
    if (FSd == InvalidSocketHandle) {
        SetLastError(u"Error on data writing to the connection: Invalid socket", 0);
        return -1;
    }
    int error = 0;
    std::ptrdiff_t n = SocketSend(FSd, buffer + offset, count, error);
    if (n < 0) {
        SetLastError(Format(u"Error on data writing to the connection:\r\n%s.\r\nSocket Error Code: %d($%X)",
                            {SocketErrorText(error), error, error}),
                     error);
        return -1;
    }
    return n;
}

bool TVioSocket::WaitForData(int timeoutMs) {
    if (FSd == InvalidSocketHandle) {
        SetLastError(u"Socket not connected", 0);
        return false;
    }
    int error = 0;
    int rc = WaitReadable(FSd, timeoutMs, error);
    if (rc < 0) {
        SetLastError(Format(u"Error on data waiting from the connection:\r\n%s.\r\nSocket Error Code: %d($%X)",
                            {SocketErrorText(error), error, error}),
                     error);
        return false;
    }
    return rc > 0;
}

void TVioSocket::Attach(TSocketHandle sd) {
    FSd = sd;
    FAppliedReceiveTimeout = -1;
    SetNoDelay(sd, true);
    if (FSendTimeout >= 1) vantrelo::SetSendTimeout(sd, FSendTimeout * 1000);
    ApplyReceiveTimeout();
    if (FSendBuffer != DefaultBufferSize) vantrelo::SetSendBufferSize(sd, FSendBuffer);
    if (FReceiveBuffer != DefaultBufferSize) vantrelo::SetReceiveBufferSize(sd, FReceiveBuffer);
}

void TVioSocket::DoClose() {
    if (FSd == InvalidSocketHandle) return;
    ShutdownSend(FSd);
    CloseSocket(FSd);
    FSd = InvalidSocketHandle;
}

TVioTcp::TVioTcp(std::u16string hostName, TIPVersion ipVersion, int port)
    : TVioSocket(std::move(hostName), ipVersion, port) {}

void TVioTcp::Connect() {
    TryConnect();
    if (FSd == InvalidSocketHandle)
        throw SocketException(FLastErrorCode, FLastError.empty() ? std::u16string(u"Unknown socket error") : FLastError);
}

void TVioTcp::TryConnect() {
    ClearLastError();
    AllocateBuffer();
    FClosing = false;
    if (FHostName.empty()) FHostName = u"localhost";

    if (int rc = SocketStartup()) {
        SetLastError(Format(u"WSAStartup failed.\r\nSocket Error Code: %d", {rc}), rc);
        return;
    }

    TAddressFamily family = TAddressFamily::Unspecified;
    if (FIPVersion == ivIPv4) family = TAddressFamily::IPv4;
    else if (FIPVersion == ivIPv6 && IsIPv6Literal(FHostName)) family = TAddressFamily::IPv6;
    if (int rc = ResolveAddress(UnicodeToUtf8(FHostName), FPort, family, FRemoteAddress)) {
        SetLastError(Format(u"Unknown host '%s'.\r\nSocket Error Code: %d($%X)", {FHostName, rc, rc}), rc);
        return;
    }

    int error = 0;
    TSocketHandle sd = CreateStreamSocket(FRemoteAddress.Family, error);
    if (sd == InvalidSocketHandle) {
        SetLastError(Format(u"Cannot create TCP/IP socket:\r\n%s.\r\nSocket Error Code: %d($%X)",
                            {SocketErrorText(error), error, error}),
                     error);
        return;
    }
    SetKeepAlive(sd, KeepAliveFirstProbeMs, KeepAliveIntervalMs);

    long long waitMs = FConnectionTimeout <= 0 ? 0 : static_cast<long long>(FConnectionTimeout) * 1000;
    if (waitMs > INT_MAX) waitMs = INT_MAX;
    int rc = ConnectSocket(sd, FRemoteAddress, int(waitMs));
    if (rc != 0) {
        if (rc == SocketTimedOutError && waitMs > 0)
            SetLastError(Format(u"Cannot connect to server on host '%s': Connection timed out", {FHostName}), rc);
        else
            SetLastError(SocketFailure(u"Cannot connect to server on host '%s':\r\n%s.\r\nSocket Error Code: %d($%X)",
                                       FHostName, rc),
                         rc);
        CloseSocket(sd);
        return;
    }

    Attach(sd);
}

} // namespace vantrelo
