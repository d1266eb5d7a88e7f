#pragma once
// A loopback TCP proxy in front of a test server, which a test can cut (every open
// connection dropped, new ones refused) and restore, to play a peer that goes away.
#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vantrelo::test {

class TTcpProxy {
public:
    TTcpProxy(std::string targetHost, int targetPort);
    ~TTcpProxy();
    TTcpProxy(const TTcpProxy&) = delete;
    TTcpProxy& operator=(const TTcpProxy&) = delete;

    int Port() const noexcept { return FPort; }
    void Cut();      // drops every connection; new ones are closed at once
    void Restore();  // passes connections through again

private:
    void AcceptLoop();
    void Pump(int from, int to);

    std::string FTargetHost;
    int FTargetPort;
    int FListener = -1;
    int FPort = 0;
    std::atomic<bool> FStopping{false}, FCut{false};
    std::mutex FLock;
    std::vector<int> FSockets;
    std::vector<std::thread> FThreads;
    std::thread FAcceptor;
};

} // namespace vantrelo::test
