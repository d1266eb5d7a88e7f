#include "platform/Socket.h"

#include <cstring>
#include <mutex>
#include <string>

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#include <mstcpip.h>
#include <windows.h>
#else
#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/types.h>
#include <unistd.h>
#endif

namespace vantrelo {

#ifdef _WIN32

const int SocketTimedOutError = WSAETIMEDOUT;

namespace {

SOCKET Native(TSocketHandle s) { return static_cast<SOCKET>(s); }
int LastError() { return WSAGetLastError(); }

int SetIntOption(TSocketHandle s, int level, int name, int value) {
    return setsockopt(Native(s), level, name, reinterpret_cast<const char*>(&value), sizeof value) == 0 ? 0 : LastError();
}

int SetTimeoutOption(TSocketHandle s, int name, int milliseconds) {
    DWORD v = milliseconds > 0 ? DWORD(milliseconds) : 0;
    return setsockopt(Native(s), SOL_SOCKET, name, reinterpret_cast<const char*>(&v), sizeof v) == 0 ? 0 : LastError();
}

int GetIntOption(TSocketHandle s, int level, int name) {
    DWORD v = 0;
    int len = sizeof v;
    if (getsockopt(Native(s), level, name, reinterpret_cast<char*>(&v), &len) != 0) return -1;
    return int(v);
}

int SetBlocking(TSocketHandle s, bool blocking) {
    u_long nonBlocking = blocking ? 0 : 1;
    return ioctlsocket(Native(s), FIONBIO, &nonBlocking) == 0 ? 0 : LastError();
}

bool ConnectInProgress(int error) { return error == WSAEWOULDBLOCK || error == WSAEINPROGRESS; }

} // namespace

int SocketStartup() {
    static std::mutex lock;
    static bool started = false;
    static int result = 0;
    std::lock_guard guard(lock);
    if (!started) {
        WSADATA data;
        result = WSAStartup(MAKEWORD(2, 2), &data);
        started = result == 0;
    }
    return started ? 0 : result;
}

std::u16string SocketErrorText(int error) {
    wchar_t* text = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, DWORD(error), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::u16string result;
    if (n && text) result.assign(reinterpret_cast<const char16_t*>(text), n);
    if (text) LocalFree(text);
    while (!result.empty() && (result.back() == u'\r' || result.back() == u'\n' || result.back() == u'.' ||
                               result.back() == u' '))
        result.pop_back();
    return result;
}

#else

const int SocketTimedOutError = ETIMEDOUT;

namespace {

int Native(TSocketHandle s) { return static_cast<int>(s); }
int LastError() { return errno; }

int SetIntOption(TSocketHandle s, int level, int name, int value) {
    return setsockopt(Native(s), level, name, &value, sizeof value) == 0 ? 0 : LastError();
}

int SetTimeoutOption(TSocketHandle s, int name, int milliseconds) {
    timeval tv{};
    if (milliseconds > 0) {
        tv.tv_sec = milliseconds / 1000;
        tv.tv_usec = (milliseconds % 1000) * 1000;
    }
    return setsockopt(Native(s), SOL_SOCKET, name, &tv, sizeof tv) == 0 ? 0 : LastError();
}

int GetIntOption(TSocketHandle s, int level, int name) {
    int v = 0;
    socklen_t len = sizeof v;
    if (getsockopt(Native(s), level, name, &v, &len) != 0) return -1;
    return v;
}

int GetTimeoutOption(TSocketHandle s, int name) {
    timeval tv{};
    socklen_t len = sizeof tv;
    if (getsockopt(Native(s), SOL_SOCKET, name, &tv, &len) != 0) return -1;
    return int(tv.tv_sec * 1000 + tv.tv_usec / 1000);
}

int SetBlocking(TSocketHandle s, bool blocking) {
    int flags = fcntl(Native(s), F_GETFL, 0);
    if (flags < 0) return LastError();
    flags = blocking ? (flags & ~O_NONBLOCK) : (flags | O_NONBLOCK);
    return fcntl(Native(s), F_SETFL, flags) == 0 ? 0 : LastError();
}

bool ConnectInProgress(int error) { return error == EINPROGRESS; }

// A receive or send time-out shows as "try again" on POSIX; it is reported as the
// time-out it is, as Winsock does.
int TimeoutAware(int error) { return (error == EAGAIN || error == EWOULDBLOCK) ? ETIMEDOUT : error; }

} // namespace

int SocketStartup() { return 0; }

std::u16string SocketErrorText(int error) {
    char buffer[256] = {};
    const char* text = nullptr;
#if defined(__GLIBC__) && defined(_GNU_SOURCE)
    text = strerror_r(error, buffer, sizeof buffer);
#else
    text = strerror_r(error, buffer, sizeof buffer) == 0 ? buffer : "Unknown error";
#endif
    std::u16string result;
    for (const char* p = text; *p; ++p) result.push_back(char16_t(static_cast<unsigned char>(*p)));
    return result;
}

#endif

int ResolveAddress(const std::string& host, int port, TAddressFamily family, TSocketAddress& address) {
    addrinfo hints{};
    hints.ai_family = family == TAddressFamily::IPv4 ? AF_INET : family == TAddressFamily::IPv6 ? AF_INET6 : AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* found = nullptr;
    std::string service = std::to_string(port);
    int rc = getaddrinfo(host.c_str(), service.c_str(), &hints, &found);
    if (rc != 0) {
#ifdef _WIN32
        return rc;
#else
        if (rc == EAI_SYSTEM && errno != 0) return errno;
        return rc < 0 ? -rc : rc;  // resolver codes are negative here; the messages show them as numbers
#endif
    }
    // Only the first address is tried.
    std::size_t length = found->ai_addrlen;
    if (length > sizeof address.Storage) length = sizeof address.Storage;
    std::memcpy(address.Storage, found->ai_addr, length);
    address.Length = int(length);
    address.Family = found->ai_family;
    freeaddrinfo(found);
    return 0;
}

TSocketHandle CreateStreamSocket(int family, int& error) {
    error = 0;
#ifdef _WIN32
    SOCKET s = socket(family, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) {
        error = LastError();
        return InvalidSocketHandle;
    }
    return TSocketHandle(s);
#else
    int s = socket(family, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
    if (s < 0) {
        error = LastError();
        return InvalidSocketHandle;
    }
    return TSocketHandle(s);
#endif
}

int SetKeepAlive(TSocketHandle s, int firstProbeMs, int intervalMs) {
#ifdef _WIN32
    tcp_keepalive values{};
    values.onoff = 1;
    values.keepalivetime = ULONG(firstProbeMs);
    values.keepaliveinterval = ULONG(intervalMs);
    DWORD returned = 0;
    return WSAIoctl(Native(s), SIO_KEEPALIVE_VALS, &values, sizeof values, nullptr, 0, &returned, nullptr, nullptr) == 0
               ? 0
               : LastError();
#else
    if (int rc = SetIntOption(s, SOL_SOCKET, SO_KEEPALIVE, 1)) return rc;
    // Linux counts these in whole seconds.
    if (int rc = SetIntOption(s, IPPROTO_TCP, TCP_KEEPIDLE, firstProbeMs / 1000 > 0 ? firstProbeMs / 1000 : 1)) return rc;
    return SetIntOption(s, IPPROTO_TCP, TCP_KEEPINTVL, intervalMs / 1000 > 0 ? intervalMs / 1000 : 1);
#endif
}

int SetNoDelay(TSocketHandle s, bool on) { return SetIntOption(s, IPPROTO_TCP, TCP_NODELAY, on ? 1 : 0); }
int SetSendTimeout(TSocketHandle s, int milliseconds) { return SetTimeoutOption(s, SO_SNDTIMEO, milliseconds); }
int SetReceiveTimeout(TSocketHandle s, int milliseconds) { return SetTimeoutOption(s, SO_RCVTIMEO, milliseconds); }
int SetSendBufferSize(TSocketHandle s, int bytes) { return SetIntOption(s, SOL_SOCKET, SO_SNDBUF, bytes); }
int SetReceiveBufferSize(TSocketHandle s, int bytes) { return SetIntOption(s, SOL_SOCKET, SO_RCVBUF, bytes); }

int ConnectSocket(TSocketHandle s, const TSocketAddress& address, int timeoutMs) {
    const auto* sa = reinterpret_cast<const sockaddr*>(address.Storage);
    if (timeoutMs <= 0) {
        if (connect(Native(s), sa, address.Length) == 0) return 0;
        return LastError();
    }
    // A non-blocking connect and a bounded wait for the socket to become writable.
    if (int rc = SetBlocking(s, false)) return rc;
    int result = 0;
    if (connect(Native(s), sa, address.Length) != 0) {
        result = LastError();
        if (ConnectInProgress(result)) {
#ifdef _WIN32
            fd_set writable, failed;
            FD_ZERO(&writable);
            FD_ZERO(&failed);
            FD_SET(Native(s), &writable);
            FD_SET(Native(s), &failed);
            timeval tv{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
            int n = select(0, nullptr, &writable, &failed, &tv);
#else
            pollfd p{Native(s), POLLOUT, 0};
            int n;
            do n = poll(&p, 1, timeoutMs);
            while (n < 0 && errno == EINTR);
#endif
            if (n == 0) {
                result = SocketTimedOutError;
            } else if (n < 0) {
                result = LastError();
            } else {
                int soError = 0;
#ifdef _WIN32
                int len = sizeof soError;
                getsockopt(Native(s), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&soError), &len);
#else
                socklen_t len = sizeof soError;
                getsockopt(Native(s), SOL_SOCKET, SO_ERROR, &soError, &len);
#endif
                result = soError;
            }
        }
    }
    if (result == 0) result = SetBlocking(s, true);
    return result;
}

std::ptrdiff_t SocketReceive(TSocketHandle s, void* buffer, std::size_t count, int& error) {
    error = 0;
#ifdef _WIN32
    int n = recv(Native(s), static_cast<char*>(buffer), count > 0x7FFFFFFF ? 0x7FFFFFFF : int(count), 0);
    if (n == SOCKET_ERROR) {
        error = LastError();
        return -1;
    }
    return n;
#else
    ssize_t n;
    do n = recv(Native(s), buffer, count, 0);
    while (n < 0 && errno == EINTR);
    if (n < 0) {
        error = TimeoutAware(LastError());
        return -1;
    }
    return n;
#endif
}

std::ptrdiff_t SocketSend(TSocketHandle s, const void* buffer, std::size_t count, int& error) {
    error = 0;
#ifdef _WIN32
    int n = send(Native(s), static_cast<const char*>(buffer), count > 0x7FFFFFFF ? 0x7FFFFFFF : int(count), 0);
    if (n == SOCKET_ERROR) {
        error = LastError();
        return -1;
    }
    return n;
#else
    ssize_t n;
    do n = send(Native(s), buffer, count, MSG_NOSIGNAL);
    while (n < 0 && errno == EINTR);
    if (n < 0) {
        error = TimeoutAware(LastError());
        return -1;
    }
    return n;
#endif
}

int WaitReadable(TSocketHandle s, int timeoutMs, int& error) {
    error = 0;
#ifdef _WIN32
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(Native(s), &readable);
    timeval tv{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    int n = select(0, &readable, nullptr, nullptr, timeoutMs < 0 ? nullptr : &tv);
#else
    pollfd p{Native(s), POLLIN, 0};
    int n;
    do n = poll(&p, 1, timeoutMs);
    while (n < 0 && errno == EINTR);
#endif
    if (n < 0) {
        error = LastError();
        return -1;
    }
    return n > 0 ? 1 : 0;
}

void ShutdownSend(TSocketHandle s) {
#ifdef _WIN32
    shutdown(Native(s), SD_SEND);
#else
    shutdown(Native(s), SHUT_WR);
#endif
}

void CloseSocket(TSocketHandle s) {
#ifdef _WIN32
    closesocket(Native(s));
#else
    close(Native(s));
#endif
}

TSocketHandle ListenLoopback(int port, int backlog, int& boundPort, int& error) {
    boundPort = 0;
    TSocketHandle s = CreateStreamSocket(AF_INET, error);
    if (s == InvalidSocketHandle) return s;
    SetIntOption(s, SOL_SOCKET, SO_REUSEADDR, 1);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(std::uint16_t(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(Native(s), reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0 || listen(Native(s), backlog) != 0) {
        error = LastError();
        CloseSocket(s);
        return InvalidSocketHandle;
    }
    boundPort = LocalPort(s);
    return s;
}

TSocketHandle AcceptSocket(TSocketHandle listener, int& error) {
    error = 0;
#ifdef _WIN32
    SOCKET s = accept(Native(listener), nullptr, nullptr);
    if (s == INVALID_SOCKET) {
        error = LastError();
        return InvalidSocketHandle;
    }
    return TSocketHandle(s);
#else
    int s;
    do s = accept4(Native(listener), nullptr, nullptr, SOCK_CLOEXEC);
    while (s < 0 && errno == EINTR);
    if (s < 0) {
        error = LastError();
        return InvalidSocketHandle;
    }
    return TSocketHandle(s);
#endif
}

int LocalPort(TSocketHandle s) {
    sockaddr_storage a{};
#ifdef _WIN32
    int len = sizeof a;
#else
    socklen_t len = sizeof a;
#endif
    if (getsockname(Native(s), reinterpret_cast<sockaddr*>(&a), &len) != 0) return 0;
    if (a.ss_family == AF_INET) return ntohs(reinterpret_cast<const sockaddr_in*>(&a)->sin_port);
    if (a.ss_family == AF_INET6) return ntohs(reinterpret_cast<const sockaddr_in6*>(&a)->sin6_port);
    return 0;
}

TSocketOptionState QuerySocketOptions(TSocketHandle s) {
    TSocketOptionState state;
    state.KeepAlive = GetIntOption(s, SOL_SOCKET, SO_KEEPALIVE) > 0 ? 1 : 0;
    state.NoDelay = GetIntOption(s, IPPROTO_TCP, TCP_NODELAY) > 0 ? 1 : 0;
#ifdef _WIN32
    state.ReceiveTimeoutMs = GetIntOption(s, SOL_SOCKET, SO_RCVTIMEO);
    state.SendTimeoutMs = GetIntOption(s, SOL_SOCKET, SO_SNDTIMEO);
#else
    int idle = GetIntOption(s, IPPROTO_TCP, TCP_KEEPIDLE);
    int interval = GetIntOption(s, IPPROTO_TCP, TCP_KEEPINTVL);
    state.KeepAliveIdleMs = idle < 0 ? -1 : idle * 1000;
    state.KeepAliveIntervalMs = interval < 0 ? -1 : interval * 1000;
    state.ReceiveTimeoutMs = GetTimeoutOption(s, SO_RCVTIMEO);
    state.SendTimeoutMs = GetTimeoutOption(s, SO_SNDTIMEO);
#endif
    return state;
}

} // namespace vantrelo
