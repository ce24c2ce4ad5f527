// Ping: ICMP echo requests through the system's echo service (ICMP.DLL),
// or through a raw ICMP socket where the service is missing. Every step is
// reported to the progress callback with its kind, value and text; every
// wait has a time limit (5 s an echo through the service, 1 s through the
// raw socket, however much other ICMP traffic arrives meanwhile).
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <iphlpapi.h>
#include <icmpapi.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "netlib/icmp_echo.h"
#include "netlib/inet_win32.h"
#include "netlib/winsock_start_win32.h"

namespace kelpo {
namespace {

enum PingKind { kTimedOut, kUnreachable, kFailed, kStarting, kReply };

constexpr DWORD kEchoTimeoutMs = 5000;
constexpr DWORD kRawTimeoutMs = 1000;
constexpr unsigned char kEchoFill = 0xAA;
// The reply of one echo: the reply record, the echoed data and room for an
// ICMP error, as the service needs it on 32- and 64-bit systems alike.
constexpr DWORD kReplyBufferSize = sizeof(ICMP_ECHO_REPLY) + kEchoDataSize + 8 + 16;

using IcmpCreateFileFn = HANDLE(WINAPI*)();
using IcmpSendEchoFn = DWORD(WINAPI*)(HANDLE, IPAddr, LPVOID, WORD, PIP_OPTION_INFORMATION, LPVOID,
                                      DWORD, DWORD);
using IcmpCloseHandleFn = BOOL(WINAPI*)(HANDLE);

struct EchoService {
    HMODULE module = nullptr;
    IcmpCreateFileFn create = nullptr;
    IcmpSendEchoFn send = nullptr;
    IcmpCloseHandleFn close = nullptr;
};

template <class Fn>
Fn Lookup(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

bool LoadEchoService(EchoService* service) {
    service->module = LoadLibraryA("ICMP.DLL");
    if (service->module == nullptr) return false;
    service->create = Lookup<IcmpCreateFileFn>(service->module, "IcmpCreateFile");
    service->send = Lookup<IcmpSendEchoFn>(service->module, "IcmpSendEcho");
    service->close = Lookup<IcmpCloseHandleFn>(service->module, "IcmpCloseHandle");
    if (service->create != nullptr && service->send != nullptr && service->close != nullptr)
        return true;
    FreeLibrary(service->module);
    service->module = nullptr;
    return false;
}

// The host's IPv4 address: resolved by name, else read as a dotted address.
bool ResolveHost(const std::string& host, in_addr* address) {
    if (host.empty() || !StartWinsock()) return false;
    const hostent* entry = gethostbyname(host.c_str());
    if (entry != nullptr && entry->h_addrtype == AF_INET && entry->h_length == 4 &&
        entry->h_addr_list != nullptr && entry->h_addr_list[0] != nullptr) {
        std::memcpy(&address->s_addr, entry->h_addr_list[0], 4);
        return true;
    }
    const unsigned long dotted = inet_addr(host.c_str());
    if (dotted == INADDR_NONE && host != "255.255.255.255") return false;
    address->s_addr = dotted;
    return true;
}

std::string Format(const char* format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

int PingThroughService(const EchoService& service, const in_addr& address, int64_t count,
                       const PingProgress& progress) {
    HANDLE icmp = service.create();
    if (icmp == INVALID_HANDLE_VALUE) return 0;
    unsigned char data[kEchoDataSize];
    std::memset(data, kEchoFill, sizeof data);
    int replies = 0;
    for (int64_t i = 0; i < count; ++i) {
        alignas(8) unsigned char buffer[kReplyBufferSize];
        const DWORD answered = service.send(icmp, address.s_addr, data, sizeof data, nullptr,
                                            buffer, sizeof buffer, kEchoTimeoutMs);
        const auto* reply = reinterpret_cast<const ICMP_ECHO_REPLY*>(buffer);
        // Only an echo reply counts; an error the service reports (an ICMP
        // unreachable from a router) is no reply.
        if (answered > 0 && reply->Status == IP_SUCCESS) {
            ++replies;
            const unsigned char* from = reinterpret_cast<const unsigned char*>(&reply->Address);
            progress.report(progress.owner, kReply, static_cast<int>(reply->RoundTripTime),
                            Format("Reply from %d.%d.%d.%d: bytes=%d time=%dms TTL=%d", from[0],
                                   from[1], from[2], from[3], static_cast<int>(kEchoDataSize),
                                   static_cast<int>(reply->RoundTripTime),
                                   static_cast<int>(reply->Options.Ttl)));
        } else {
            progress.report(progress.owner, kUnreachable, 0, "Destination host unreachable");
        }
    }
    service.close(icmp);
    return replies;
}

int PingThroughRawSocket(const std::string& host, const in_addr& address, int64_t count,
                         const PingProgress& progress) {
    const protoent* protocol = getprotobyname("icmp");
    if (protocol == nullptr) {
        progress.report(progress.owner, kFailed, 0, "getprotobyname error");
        return 0;
    }
    SOCKET raw = socket(AF_INET, SOCK_RAW, protocol->p_proto);
    if (raw == INVALID_SOCKET) {
        progress.report(progress.owner, kFailed, 0, "socket error");
        return 0;
    }
    DWORD limit = kRawTimeoutMs;
    setsockopt(raw, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&limit), sizeof limit);
    setsockopt(raw, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&limit), sizeof limit);
    sockaddr_in to = {};
    to.sin_family = AF_INET;
    to.sin_addr = address;
    progress.report(progress.owner, kStarting, 0,
                    Format("Pinging %s [%s]: with %d bytes of data:\n\n", host.c_str(),
                           inet_ntoa(address), static_cast<int>(kEchoDataSize)));
    const uint16_t identifier = static_cast<uint16_t>(GetCurrentProcessId() & 0xFFFF);
    int replies = 0;
    for (int64_t i = 0; i < count; ++i) {
        const uint16_t sequence = static_cast<uint16_t>(i);
        const std::string request = BuildEchoRequest(identifier, sequence, GetTickCount());
        if (sendto(raw, request.data(), static_cast<int>(request.size()), 0,
                   reinterpret_cast<const sockaddr*>(&to), sizeof to) == SOCKET_ERROR) {
            progress.report(progress.owner, kUnreachable, 0, "Destination host unreachable");
            continue;
        }
        // Other ICMP traffic arrives on the same socket: it is passed over,
        // within the attempt's time limit.
        const DWORD start = GetTickCount();
        bool answered = false;
        for (;;) {
            const DWORD spent = GetTickCount() - start;
            if (spent >= kRawTimeoutMs) break;
            fd_set readable;
            FD_ZERO(&readable);
            FD_SET(raw, &readable);
            timeval wait = {0, static_cast<long>((kRawTimeoutMs - spent) * 1000)};
            if (select(0, &readable, nullptr, nullptr, &wait) <= 0) break;
            unsigned char datagram[1024];
            sockaddr_in from = {};
            int fromSize = sizeof from;
            const int got = recvfrom(raw, reinterpret_cast<char*>(datagram), sizeof datagram, 0,
                                     reinterpret_cast<sockaddr*>(&from), &fromSize);
            EchoReply reply;
            if (got <= 0 || !ReadEchoReply(datagram, static_cast<size_t>(got), identifier, &reply))
                continue;
            const int time = static_cast<int>(GetTickCount() - reply.tick);
            ++replies;
            answered = true;
            progress.report(progress.owner, kReply, time,
                            Format("Reply from %s: bytes=%d time=%dms TTL=%d icmp_seq=%u",
                                   inet_ntoa(from.sin_addr), static_cast<int>(kEchoDataSize), time,
                                   reply.ttl, static_cast<unsigned>(reply.sequence)));
            break;
        }
        if (!answered)
            progress.report(progress.owner, kTimedOut, static_cast<int>(kRawTimeoutMs),
                            "Request timed out");
    }
    closesocket(raw);
    return replies;
}

void Ignore(void*, int, int, const std::string&) {}

}  // namespace

int PingHost(const std::string& host, int64_t count, const PingProgress& given) {
    PingProgress progress = given;
    if (progress.report == nullptr) progress.report = Ignore;
    in_addr address;
    if (!ResolveHost(host, &address)) {
        progress.report(progress.owner, kFailed, 0, Format("Unkown host %s", host.c_str()));
        return 0;
    }
    EchoService service;
    if (LoadEchoService(&service)) {
        const int replies = PingThroughService(service, address, count, progress);
        FreeLibrary(service.module);
        return replies;
    }
    return PingThroughRawSocket(host, address, count, progress);
}

}  // namespace kelpo
