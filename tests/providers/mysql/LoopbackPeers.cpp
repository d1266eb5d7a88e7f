#include "tests/providers/mysql/LoopbackPeers.h"

#include <chrono>
#include <thread>

namespace vantrelo::test {
namespace {

constexpr int PollMs = 50;
constexpr int PeerWaitMs = 10000;

bool SendAll(TSocketHandle s, const char* data, std::size_t n) {
    while (n > 0) {
        int error = 0;
        std::ptrdiff_t sent = SocketSend(s, data, n, error);
        if (sent <= 0) return false;
        data += sent;
        n -= std::size_t(sent);
    }
    return true;
}

// A listener on a free loopback port. The socket library may not have been started yet: the
// provider starts it only when it dials.
TSocketHandle Listen(int backlog, int& port) {
    int error = 0;
    if (SocketStartup() != 0) return InvalidSocketHandle;
    return ListenLoopback(0, backlog, port, error);
}

TSocketHandle ConnectLoopback(const std::string& host, int port) {
    TSocketAddress address;
    if (ResolveAddress(host, port, TAddressFamily::IPv4, address) != 0) return InvalidSocketHandle;
    int error = 0;
    TSocketHandle s = CreateStreamSocket(address.Family, error);
    if (s == InvalidSocketHandle) return s;
    if (ConnectSocket(s, address, 5000) != 0) {
        CloseSocket(s);
        return InvalidSocketHandle;
    }
    return s;
}

} // namespace

bool TPeerSocket::Send(std::string_view bytes) {
    return FSocket != InvalidSocketHandle && SendAll(FSocket, bytes.data(), bytes.size());
}

std::string TPeerSocket::Receive(std::size_t count) {
    std::string out;
    char buffer[65536];
    while (FSocket != InvalidSocketHandle && out.size() < count) {
        int error = 0;
        if (WaitReadable(FSocket, PeerWaitMs, error) <= 0) break;
        std::ptrdiff_t n = SocketReceive(FSocket, buffer, std::min(sizeof buffer, count - out.size()), error);
        if (n <= 0) break;
        out.append(buffer, std::size_t(n));
    }
    return out;
}

std::string TPeerSocket::ReceivePacket(int* sequence) {
    std::string header = Receive(4);
    if (header.size() < 4) return {};
    if (sequence) *sequence = std::uint8_t(header[3]);
    std::size_t length = std::uint8_t(header[0]) | std::uint8_t(header[1]) << 8 | std::uint8_t(header[2]) << 16;
    return Receive(length);
}

std::string TPeerSocket::ReceiveAll() {
    std::string out, piece;
    while (!(piece = Receive(65536)).empty()) out += piece;
    return out;
}

void TPeerSocket::Close() {
    if (FSocket == InvalidSocketHandle) return;
    CloseSocket(FSocket);
    FSocket = InvalidSocketHandle;
}

TFakeServer::TFakeServer(std::function<void(TPeerSocket&)> script) {
    FListener = Listen(1, FPort);
    FThread = std::thread([this, script = std::move(script)] {
        int e = 0;
        if (WaitReadable(FListener, PeerWaitMs, e) <= 0) return;
        TSocketHandle s = AcceptSocket(FListener, e);
        if (s == InvalidSocketHandle) return;
        TPeerSocket peer(s);
        script(peer);
    });
}

TFakeServer::~TFakeServer() {
    Join();
    if (FListener != InvalidSocketHandle) CloseSocket(FListener);
}

void TFakeServer::Join() {
    if (FThread.joinable()) FThread.join();
}

struct TFaultProxy::TLink {
    TSocketHandle Client, Server;
    std::atomic<bool> Closed{false};
    std::mutex Lock;
    void Close() {
        std::lock_guard guard(Lock);
        if (Closed.exchange(true)) return;
        ShutdownSend(Client);
        ShutdownSend(Server);
    }
    ~TLink() {
        CloseSocket(Client);
        CloseSocket(Server);
    }
};

TFaultProxy::TFaultProxy(const std::string& host, int port) : FHost(host), FServerPort(port) {
    FListener = Listen(16, FPort);
    FAcceptor = std::thread([this] { AcceptLoop(); });
}

TFaultProxy::~TFaultProxy() {
    FStopping = true;
    if (FAcceptor.joinable()) FAcceptor.join();
    std::vector<std::thread> threads;
    {
        std::lock_guard guard(FLock);
        threads.swap(FThreads);
    }
    for (auto& t : threads) t.join();
    if (FListener != InvalidSocketHandle) CloseSocket(FListener);
}

void TFaultProxy::Arm(TFault fault, std::size_t afterBytes) {
    FBytesLeft = static_cast<long long>(afterBytes);
    FFault = fault;
}

void TFaultProxy::AcceptLoop() {
    while (!FStopping) {
        int error = 0;
        if (WaitReadable(FListener, PollMs, error) <= 0) continue;
        TSocketHandle client = AcceptSocket(FListener, error);
        if (client == InvalidSocketHandle) continue;
        TSocketHandle server = ConnectLoopback(FHost, FServerPort);
        if (server == InvalidSocketHandle) {
            CloseSocket(client);
            continue;
        }
        auto link = std::make_shared<TLink>();
        link->Client = client;
        link->Server = server;
        std::lock_guard guard(FLock);
        FThreads.emplace_back([this, link] { Pump(link, false); });
        FThreads.emplace_back([this, link] { Pump(link, true); });
    }
}

void TFaultProxy::Pump(std::shared_ptr<TLink> link, bool fromServer) {
    TSocketHandle from = fromServer ? link->Server : link->Client;
    TSocketHandle to = fromServer ? link->Client : link->Server;
    char buffer[16384];
    while (!FStopping && !link->Closed) {
        int error = 0;
        int ready = WaitReadable(from, PollMs, error);
        if (ready < 0) break;
        if (ready == 0) continue;
        if (fromServer && FFault == fStall && FBytesLeft <= 0) {  // the reply is held back
            std::this_thread::sleep_for(std::chrono::milliseconds(PollMs));
            continue;
        }
        std::ptrdiff_t n = SocketReceive(from, buffer, sizeof buffer, error);
        if (n <= 0) break;
        std::size_t pass = std::size_t(n);
        int fault = fromServer ? FFault.load() : int(fNone);
        if (fault != fNone) {
            long long left = FBytesLeft;
            std::size_t clean = left > 0 ? std::size_t(std::min<long long>(left, n)) : 0;
            FBytesLeft = left - static_cast<long long>(clean);
            if (clean < pass) {
                if (fault == fCut) {
                    SendAll(to, buffer, clean);
                    break;
                }
                if (fault == fCorrupt)
                    for (std::size_t i = clean; i < pass; ++i) buffer[i] = char(0xA5 ^ (i * 31));
                if (fault == fStall) pass = clean;  // nothing past the stall point ever arrives
            }
        }
        if (pass && !SendAll(to, buffer, pass)) break;
    }
    link->Close();
}

TFullBacklogListener::TFullBacklogListener() {
    FListener = Listen(0, FPort);
    if (FListener == InvalidSocketHandle) return;
    int error = 0;
    TSocketAddress address;
    ResolveAddress("127.0.0.1", FPort, TAddressFamily::IPv4, address);
    // Connect until one attempt no longer completes: the accept queue is full.
    for (int i = 0; i < 64 && !FFull; ++i) {
        TSocketHandle s = CreateStreamSocket(address.Family, error);
        if (s == InvalidSocketHandle) break;
        FFillers.push_back(s);
        if (ConnectSocket(s, address, 200) == SocketTimedOutError) FFull = true;
    }
}

TFullBacklogListener::~TFullBacklogListener() {
    for (TSocketHandle s : FFillers) CloseSocket(s);
    if (FListener != InvalidSocketHandle) CloseSocket(FListener);
}

int ClosedLoopbackPort() {
    int port = 0;
    TSocketHandle s = Listen(1, port);
    if (s != InvalidSocketHandle) CloseSocket(s);
    return port;
}

} // namespace vantrelo::test
