// MX lookups over TCP and the configured DNS servers (Windows only).
//
// The lookup talks to port 53 of the server on a non-blocking socket: each
// wait (connecting, sending, each piece of the reply) lasts at most 10 s,
// and the whole exchange at most 30 s, so a server that trickles its reply
// cannot hold the user-interface thread. The reply is read whole (its
// 16-bit length first) and parsed by dns_mx.h.
//
// The DNS servers are the "NameServer" settings of the TCP/IP service in
// the registry: the transient ones, the service's own, then each
// interface's, in that order and with repeats kept.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "netlib/http_text.h"
#include "netlib/inet_win32.h"
#include "netlib/winsock_start_win32.h"

namespace kelpo {
namespace {

constexpr DWORD kWaitMs = 10000;
constexpr DWORD kExchangeMs = 30000;
constexpr u_short kDnsPort = 53;

bool ResolveServer(const std::string& server, in_addr* address) {
    const unsigned long dotted = inet_addr(server.c_str());
    if (dotted != INADDR_NONE) {
        address->s_addr = dotted;
        return true;
    }
    const hostent* entry = gethostbyname(server.c_str());
    if (entry == nullptr || entry->h_addrtype != AF_INET || entry->h_length != 4 ||
        entry->h_addr_list == nullptr || entry->h_addr_list[0] == nullptr)
        return false;
    std::memcpy(&address->s_addr, entry->h_addr_list[0], 4);
    return true;
}

// A TCP connection whose every wait ends by its deadline.
class TimedConnection {
public:
    TimedConnection() : start_(GetTickCount()) {}
    ~TimedConnection() {
        if (socket_ != INVALID_SOCKET) closesocket(socket_);
    }
    TimedConnection(const TimedConnection&) = delete;
    TimedConnection& operator=(const TimedConnection&) = delete;

    bool Connect(const in_addr& address, u_short port) {
        socket_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        u_long nonBlocking = 1;
        if (socket_ == INVALID_SOCKET || ioctlsocket(socket_, FIONBIO, &nonBlocking) != 0)
            return false;
        sockaddr_in peer = {};
        peer.sin_family = AF_INET;
        peer.sin_port = htons(port);
        peer.sin_addr = address;
        if (connect(socket_, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == 0)
            return true;
        if (WSAGetLastError() != WSAEWOULDBLOCK || !Wait(false)) return false;
        int failure = 0;
        int size = sizeof failure;
        return getsockopt(socket_, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&failure),
                          &size) == 0 &&
               failure == 0;
    }

    bool SendAll(const std::string& bytes) {
        size_t done = 0;
        while (done < bytes.size()) {
            if (!Wait(false)) return false;
            const int sent =
                send(socket_, bytes.data() + done, static_cast<int>(bytes.size() - done), 0);
            if (sent == SOCKET_ERROR) {
                if (WSAGetLastError() == WSAEWOULDBLOCK) continue;
                return false;
            }
            done += static_cast<size_t>(sent);
        }
        return true;
    }

    bool ReceiveExactly(size_t count, std::string* bytes) {
        bytes->assign(count, '\0');
        size_t done = 0;
        while (done < count) {
            if (!Wait(true)) return false;
            const int got = recv(socket_, &(*bytes)[done], static_cast<int>(count - done), 0);
            if (got == 0) return false;  // the server closed before the end
            if (got == SOCKET_ERROR) {
                if (WSAGetLastError() == WSAEWOULDBLOCK) continue;
                return false;
            }
            done += static_cast<size_t>(got);
        }
        return true;
    }

private:
    // Waits until the socket can be read (or written, or its connect ends).
    bool Wait(bool forReading) {
        const DWORD spent = GetTickCount() - start_;
        if (spent >= kExchangeMs) return false;
        DWORD limit = kExchangeMs - spent;
        if (limit > kWaitMs) limit = kWaitMs;
        fd_set ready, failed;
        FD_ZERO(&ready);
        FD_ZERO(&failed);
        FD_SET(socket_, &ready);
        FD_SET(socket_, &failed);
        timeval wait = {static_cast<long>(limit / 1000), static_cast<long>(limit % 1000 * 1000)};
        const int count = forReading ? select(0, &ready, nullptr, &failed, &wait)
                                     : select(0, nullptr, &ready, &failed, &wait);
        return count > 0 && FD_ISSET(socket_, &ready);
    }

    DWORD start_;
    SOCKET socket_ = INVALID_SOCKET;
};

// The "NameServer" text of a key, when it holds one.
void AddNameServers(HKEY root, const std::string& path, std::vector<std::string>* servers) {
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return;
    DWORD type = 0, size = 0;
    // A setting holds a few addresses; a larger value is no address list.
    constexpr DWORD kMaxSetting = 1 << 16;
    if (RegQueryValueExA(key, "NameServer", nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        type == REG_SZ && size > 0 && size <= kMaxSetting) {
        std::string text(size, '\0');
        if (RegQueryValueExA(key, "NameServer", nullptr, &type, reinterpret_cast<BYTE*>(&text[0]),
                             &size) == ERROR_SUCCESS &&
            type == REG_SZ) {
            text.resize(size < text.size() ? size : text.size());
            text.resize(std::strlen(text.c_str()));
            for (std::string& address : SplitNameServers(text))
                servers->push_back(std::move(address));
        }
    }
    RegCloseKey(key);
}

}  // namespace

bool LookUpMx(const std::string& domain, const std::string& server,
              std::vector<MxRecord>* records) {
    records->clear();
    std::string query;
    in_addr address;
    if (!BuildMxQuery(domain, kMxQueryId, &query) || server.empty() || !StartWinsock() ||
        !ResolveServer(server, &address))
        return false;
    TimedConnection connection;
    std::string length, reply;
    if (!connection.Connect(address, kDnsPort) || !connection.SendAll(query) ||
        !connection.ReceiveExactly(2, &length))
        return false;
    const size_t size = static_cast<uint8_t>(length[0]) << 8 | static_cast<uint8_t>(length[1]);
    if (!connection.ReceiveExactly(size, &reply)) return false;
    return ParseMxReply(reinterpret_cast<const uint8_t*>(reply.data()), reply.size(), kMxQueryId,
                        records);
}

std::vector<std::string> ConfiguredDnsServers() {
    const std::string service = "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\parameters";
    std::vector<std::string> servers;
    HKEY parameters;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, service.c_str(), 0, KEY_READ, &parameters) !=
        ERROR_SUCCESS)
        return servers;
    AddNameServers(HKEY_LOCAL_MACHINE, service + "\\Transient", &servers);
    AddNameServers(parameters, "", &servers);
    HKEY interfaces;
    if (RegOpenKeyExA(parameters, "Interfaces", 0, KEY_READ, &interfaces) == ERROR_SUCCESS) {
        for (DWORD i = 0;; ++i) {
            char name[256];
            DWORD size = sizeof name;
            const LONG status =
                RegEnumKeyExA(interfaces, i, name, &size, nullptr, nullptr, nullptr, nullptr);
            if (status == ERROR_NO_MORE_ITEMS) break;
            if (status == ERROR_SUCCESS) AddNameServers(interfaces, name, &servers);
        }
        RegCloseKey(interfaces);
    }
    RegCloseKey(parameters);
    return servers;
}

}  // namespace kelpo
