#pragma once
// Loopback peers for the MySQL tests: a fake server that plays a script on one connection,
// and a proxy in front of the real server that can cut, stall or corrupt its replies.
#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/Socket.h"

namespace vantrelo::test {

// One end of a loopback connection, closed when it goes.
class TPeerSocket {
public:
    explicit TPeerSocket(TSocketHandle socket) : FSocket(socket) {}
    ~TPeerSocket() { Close(); }
    TPeerSocket(const TPeerSocket&) = delete;
    TPeerSocket& operator=(const TPeerSocket&) = delete;

    bool Send(std::string_view bytes);
    // Exactly count bytes, or what came before the peer closed (waits at most 10 s).
    std::string Receive(std::size_t count);
    // One plain packet: its payload, and its sequence number when asked.
    std::string ReceivePacket(int* sequence = nullptr);
    // Everything until the peer closes.
    std::string ReceiveAll();
    void Close();
    TSocketHandle Handle() const noexcept { return FSocket; }

private:
    TSocketHandle FSocket;
};

// A fake server on 127.0.0.1: accepts one connection and runs the script on it.
class TFakeServer {
public:
    explicit TFakeServer(std::function<void(TPeerSocket&)> script);
    ~TFakeServer();
    int Port() const noexcept { return FPort; }
    void Join();  // waits for the script to end

private:
    TSocketHandle FListener = InvalidSocketHandle;
    int FPort = 0;
    std::thread FThread;
};

// A proxy on 127.0.0.1 in front of a server. Faults strike the server's replies once the
// given number of further reply bytes has passed.
class TFaultProxy {
public:
    enum TFault { fNone, fCut, fStall, fCorrupt };

    TFaultProxy(const std::string& host, int port);
    ~TFaultProxy();
    int Port() const noexcept { return FPort; }
    void Arm(TFault fault, std::size_t afterBytes = 0);

private:
    struct TLink;
    void AcceptLoop();
    void Pump(std::shared_ptr<TLink> link, bool fromServer);

    std::string FHost;
    int FServerPort;
    TSocketHandle FListener = InvalidSocketHandle;
    int FPort = 0;
    std::atomic<bool> FStopping{false};
    std::atomic<int> FFault{fNone};
    std::atomic<long long> FBytesLeft{0};
    std::mutex FLock;
    std::vector<std::thread> FThreads;
    std::thread FAcceptor;
};

// A listener on 127.0.0.1 whose backlog is full: a connect to it hangs until its time-out.
class TFullBacklogListener {
public:
    TFullBacklogListener();
    ~TFullBacklogListener();
    int Port() const noexcept { return FPort; }
    bool Full() const noexcept { return FFull; }

private:
    TSocketHandle FListener = InvalidSocketHandle;
    int FPort = 0;
    bool FFull = false;
    std::vector<TSocketHandle> FFillers;
};

// A loopback port nobody listens on.
int ClosedLoopbackPort();

} // namespace vantrelo::test
