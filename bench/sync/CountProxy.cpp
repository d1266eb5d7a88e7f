// A loopback relay that counts what a program asks of a database server: the exchanges
// (each time the client speaks after the server did) and the bytes each way; with --mysql
// it also reads the client's commands, compressed or not, and counts the statements by
// their first word. The benchmark puts it between each program and each server for one
// counting run, never for a timed one.
//   bench_sync_proxy LISTEN_PORT TARGET_HOST TARGET_PORT [--mysql]
// Prints "ready" once listening and its counts when stopped (SIGTERM or SIGINT).
#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>
#include <zlib.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

volatile sig_atomic_t Stop = 0;

struct TTotals {
    long Connections = 0, Exchanges = 0, ClientBytes = 0, ServerBytes = 0, OtherCommands = 0;
    std::map<std::string, long> Statements;  // by first word
} Totals;

std::uint32_t Le(const std::string& s, std::size_t at, int n) {
    std::uint32_t v = 0;
    for (int i = 0; i < n; ++i) v |= std::uint32_t(std::uint8_t(s[at + std::size_t(i)])) << (8 * i);
    return v;
}

// The MySQL conversation of one connection, as far as counting needs it.
class TMySqlReader {
public:
    void FromClient(const char* data, std::size_t n) {
        FClientRaw.append(data, n);
        if (!FCompressed) {
            Packets(FClientRaw, true);
            return;
        }
        // Compressed frames: 3 bytes length, sequence, 3 bytes length before compression.
        while (FClientRaw.size() >= 7) {
            std::size_t length = Le(FClientRaw, 0, 3), plain = Le(FClientRaw, 4, 3);
            if (FClientRaw.size() < 7 + length) break;
            if (plain == 0) {
                FClientPlain.append(FClientRaw, 7, length);
            } else {
                std::string out(plain, '\0');
                uLongf got = plain;
                uncompress(reinterpret_cast<Bytef*>(out.data()), &got,
                           reinterpret_cast<const Bytef*>(FClientRaw.data() + 7), uLong(length));
                FClientPlain.append(out, 0, got);
            }
            FClientRaw.erase(0, 7 + length);
        }
        Packets(FClientPlain, false);
    }
    void FromServer(const char* data, std::size_t n) {
        if (FCompressed || !FHandshakeSent) return;
        // Before compression: the server's OK to the login switches both ways to it.
        FServerRaw.append(data, n);
        while (FServerRaw.size() >= 4) {
            std::size_t length = Le(FServerRaw, 0, 3);
            if (FServerRaw.size() < 4 + length) break;
            bool ok = length > 0 && FServerRaw[4] == '\0';
            FServerRaw.erase(0, 4 + length);
            if (ok && FClientCompress) {
                FCompressed = true;
                return;
            }
        }
    }

private:
    void Packets(std::string& stream, bool login) {
        while (stream.size() >= 4) {
            std::size_t length = Le(stream, 0, 3);
            if (stream.size() < 4 + length) break;
            std::uint8_t sequence = std::uint8_t(stream[3]);
            if (login) {
                if (!FHandshakeSent && length >= 4) FClientCompress = (Le(stream, 4, 4) & 0x20) != 0;
                FHandshakeSent = true;
            } else if (sequence == 0 && length > 0) {
                Command(stream.substr(4, length));
            }
            stream.erase(0, 4 + length);
        }
    }
    static void Command(const std::string& body) {
        if (body[0] != 0x03) {  // COM_QUERY
            ++Totals.OtherCommands;
            return;
        }
        std::size_t i = 1;
        while (i < body.size() && std::isspace(std::uint8_t(body[i]))) ++i;
        std::string word;
        while (i < body.size() && std::isalpha(std::uint8_t(body[i]))) word += char(std::tolower(std::uint8_t(body[i++])));
        ++Totals.Statements[word];
    }

    std::string FClientRaw, FClientPlain, FServerRaw;
    bool FHandshakeSent = false, FClientCompress = false, FCompressed = false;
};

struct TPair {
    int Client = -1, Server = -1;
    bool ClientSpokeLast = false;
    std::unique_ptr<TMySqlReader> MySql;
};

int ConnectTo(const char* host, const char* port) {
    addrinfo hints{}, *found = nullptr;
    hints.ai_socktype = SOCK_STREAM;
    if (getaddrinfo(host, port, &hints, &found) != 0) return -1;
    int fd = socket(found->ai_family, SOCK_STREAM, 0);
    if (connect(fd, found->ai_addr, found->ai_addrlen) != 0) {
        close(fd);
        fd = -1;
    }
    freeaddrinfo(found);
    int one = 1;
    if (fd >= 0) setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return fd;
}

bool SendAll(int fd, const char* data, std::size_t n) {
    while (n > 0) {
        ssize_t k = send(fd, data, n, MSG_NOSIGNAL);
        if (k <= 0) return false;
        data += k;
        n -= std::size_t(k);
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: bench_sync_proxy LISTEN_PORT TARGET_HOST TARGET_PORT [--mysql]\n");
        return 2;
    }
    bool mysql = argc > 4 && std::strcmp(argv[4], "--mysql") == 0;
    signal(SIGTERM, [](int) { Stop = 1; });
    signal(SIGINT, [](int) { Stop = 1; });

    int listener = socket(AF_INET, SOCK_STREAM, 0);
    int one = 1;
    setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(std::uint16_t(std::atoi(argv[1])));
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(listener, 8) != 0) {
        std::perror("bench_sync_proxy: listen");
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);

    std::vector<TPair> pairs;
    std::vector<char> buffer(1 << 16);
    while (!Stop) {
        std::vector<pollfd> fds{{listener, POLLIN, 0}};
        for (const auto& p : pairs) {
            fds.push_back({p.Client, POLLIN, 0});
            fds.push_back({p.Server, POLLIN, 0});
        }
        if (poll(fds.data(), fds.size(), 200) <= 0) continue;
        if (fds[0].revents & POLLIN) {
            int client = accept(listener, nullptr, nullptr);
            int server = client >= 0 ? ConnectTo(argv[2], argv[3]) : -1;
            if (server < 0) {
                if (client >= 0) close(client);
            } else {
                setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
                TPair p{client, server, false, mysql ? std::make_unique<TMySqlReader>() : nullptr};
                pairs.push_back(std::move(p));
                ++Totals.Connections;
            }
        }
        std::vector<std::size_t> closed;
        for (std::size_t i = 0; i < pairs.size() && 1 + 2 * i + 1 < fds.size(); ++i) {
            TPair& p = pairs[i];
            bool gone = false;
            for (int side = 0; side < 2 && !gone; ++side) {
                if (!(fds[1 + 2 * i + std::size_t(side)].revents & (POLLIN | POLLHUP | POLLERR))) continue;
                bool fromClient = side == 0;
                ssize_t n = recv(fromClient ? p.Client : p.Server, buffer.data(), buffer.size(), 0);
                if (n <= 0 || !SendAll(fromClient ? p.Server : p.Client, buffer.data(), std::size_t(n))) {
                    gone = true;
                    break;
                }
                if (fromClient) {
                    if (!p.ClientSpokeLast) ++Totals.Exchanges;
                    Totals.ClientBytes += n;
                    if (p.MySql) p.MySql->FromClient(buffer.data(), std::size_t(n));
                } else {
                    Totals.ServerBytes += n;
                    if (p.MySql) p.MySql->FromServer(buffer.data(), std::size_t(n));
                }
                p.ClientSpokeLast = fromClient;
            }
            if (gone) closed.push_back(i);
        }
        for (auto it = closed.rbegin(); it != closed.rend(); ++it) {
            close(pairs[*it].Client);
            close(pairs[*it].Server);
            pairs.erase(pairs.begin() + long(*it));
        }
    }
    std::printf("connections %ld exchanges %ld client_bytes %ld server_bytes %ld", Totals.Connections,
                Totals.Exchanges, Totals.ClientBytes, Totals.ServerBytes);
    if (mysql) {
        long total = 0;
        for (const auto& [word, n] : Totals.Statements) total += n;
        std::printf(" statements %ld (", total);
        const char* sep = "";
        for (const auto& [word, n] : Totals.Statements) {
            std::printf("%s%s %ld", sep, word.c_str(), n);
            sep = ", ";
        }
        std::printf(") other_commands %ld", Totals.OtherCommands);
    }
    std::printf("\n");
    return 0;
}
