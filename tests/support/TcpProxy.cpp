#include "tests/support/TcpProxy.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace vantrelo::test {

TTcpProxy::TTcpProxy(std::string targetHost, int targetPort)
    : FTargetHost(std::move(targetHost)), FTargetPort(targetPort) {
    FListener = ::socket(AF_INET, SOCK_STREAM, 0);
    int one = 1;
    ::setsockopt(FListener, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(FListener, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(FListener, 16) != 0)
        throw std::runtime_error("proxy: cannot listen on loopback");
    socklen_t len = sizeof a;
    ::getsockname(FListener, reinterpret_cast<sockaddr*>(&a), &len);
    FPort = ntohs(a.sin_port);
    FAcceptor = std::thread([this] { AcceptLoop(); });
}

TTcpProxy::~TTcpProxy() {
    FStopping = true;
    Cut();
    ::shutdown(FListener, SHUT_RDWR);
    ::close(FListener);
    FAcceptor.join();
    for (auto& t : FThreads) t.join();
    for (int s : FSockets) ::close(s);
}

void TTcpProxy::Cut() {
    FCut = true;
    std::lock_guard lock(FLock);
    for (int s : FSockets) ::shutdown(s, SHUT_RDWR);
}

void TTcpProxy::Restore() { FCut = false; }

void TTcpProxy::AcceptLoop() {
    while (!FStopping) {
        pollfd p{FListener, POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0) continue;
        int client = ::accept(FListener, nullptr, nullptr);
        if (client < 0) continue;
        if (FCut) {
            ::close(client);
            continue;
        }
        int server = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(std::uint16_t(FTargetPort));
        ::inet_pton(AF_INET, FTargetHost == "localhost" ? "127.0.0.1" : FTargetHost.c_str(), &a.sin_addr);
        if (::connect(server, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
            ::close(client);
            ::close(server);
            continue;
        }
        std::lock_guard lock(FLock);
        FSockets.push_back(client);
        FSockets.push_back(server);
        FThreads.emplace_back([this, client, server] { Pump(client, server); });
        FThreads.emplace_back([this, client, server] { Pump(server, client); });
    }
}

// Copies one direction until either side ends; then both sides go down.
void TTcpProxy::Pump(int from, int to) {
    char buffer[65536];
    while (true) {
        ssize_t n = ::recv(from, buffer, sizeof buffer, 0);
        if (n <= 0 || FCut) break;
        ssize_t sent = 0;
        while (sent < n) {
            ssize_t m = ::send(to, buffer + sent, std::size_t(n - sent), MSG_NOSIGNAL);
            if (m <= 0) break;
            sent += m;
        }
        if (sent < n) break;
    }
    ::shutdown(from, SHUT_RDWR);
    ::shutdown(to, SHUT_RDWR);
}

} // namespace vantrelo::test
