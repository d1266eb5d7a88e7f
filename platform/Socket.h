#pragma once
// The OS socket seam: every socket call of the program goes through here (POSIX sockets,
// Winsock under _WIN32). The calls never raise: they report failures by the system's
// error number, so the transport above builds its own messages.
#include <cstddef>
#include <cstdint>
#include <string>

namespace vantrelo {

using TSocketHandle = std::intptr_t;
constexpr TSocketHandle InvalidSocketHandle = -1;

enum class TAddressFamily { Unspecified, IPv4, IPv6 };

struct TSocketAddress {
    alignas(8) unsigned char Storage[128] = {};  // room for any sockaddr
    int Length = 0;
    int Family = 0;  // the OS's address family
};

// The system's error number for a time-out (receive, send or connect).
extern const int SocketTimedOutError;

// Starts the socket library once per process (Winsock 2.2); 0 or the start-up error.
int SocketStartup();
// The system's text for a socket error number, without a trailing full stop.
std::u16string SocketErrorText(int error);

// The first address the resolver returns for a stream socket; 0 or the resolver's error.
int ResolveAddress(const std::string& host, int port, TAddressFamily family, TSocketAddress& address);

TSocketHandle CreateStreamSocket(int family, int& error);
// TCP keep-alive with the first probe after firstProbeMs and probes every intervalMs.
int SetKeepAlive(TSocketHandle socket, int firstProbeMs, int intervalMs);
int SetNoDelay(TSocketHandle socket, bool on);
// Milliseconds; 0 waits without limit.
int SetSendTimeout(TSocketHandle socket, int milliseconds);
int SetReceiveTimeout(TSocketHandle socket, int milliseconds);
int SetSendBufferSize(TSocketHandle socket, int bytes);
int SetReceiveBufferSize(TSocketHandle socket, int bytes);

// Connects; timeoutMs <= 0 blocks. 0, SocketTimedOutError, or the connect error.
int ConnectSocket(TSocketHandle socket, const TSocketAddress& address, int timeoutMs);

// Bytes moved (> 0), 0 when the peer closed in order (receive) or nothing could be sent,
// -1 on an error (error set; a time-out is SocketTimedOutError). Sending never raises a
// broken-pipe signal.
std::ptrdiff_t SocketReceive(TSocketHandle socket, void* buffer, std::size_t count, int& error);
std::ptrdiff_t SocketSend(TSocketHandle socket, const void* buffer, std::size_t count, int& error);
// 1 data (or end of stream) waiting, 0 time-out, -1 error. timeoutMs < 0 waits without limit.
int WaitReadable(TSocketHandle socket, int timeoutMs, int& error);

void ShutdownSend(TSocketHandle socket);
void CloseSocket(TSocketHandle socket);

// Listening on 127.0.0.1 (test peers and proxies); port 0 picks a free port.
TSocketHandle ListenLoopback(int port, int backlog, int& boundPort, int& error);
TSocketHandle AcceptSocket(TSocketHandle listener, int& error);
// The local port a socket is bound to, 0 when unknown.
int LocalPort(TSocketHandle socket);

// What the options above left on a socket, for diagnostics and tests. Fields the OS
// cannot report stay -1.
struct TSocketOptionState {
    int KeepAlive = -1, KeepAliveIdleMs = -1, KeepAliveIntervalMs = -1, NoDelay = -1;
    int ReceiveTimeoutMs = -1, SendTimeoutMs = -1;
};
TSocketOptionState QuerySocketOptions(TSocketHandle socket);

} // namespace vantrelo
