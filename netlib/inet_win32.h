// The operations behind the Inet class (Windows only): HTTP downloads and
// header queries through WinINet, ping through the system's echo service
// (or a raw ICMP socket where it is missing), MX lookups over TCP, the
// configured DNS servers and the interface table of the SNMP agent. They
// know nothing of scripts: progress goes to the callbacks given, and the
// class turns it into events.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "netlib/dns_mx.h"
#include "netlib/interface_table.h"

namespace kelpo {

// --- HTTP (inet_http_win32.cpp) ---

// What a download reports: kind 1 after each block with the bytes written
// so far (answering false stops the transfer), kind 0 with the system's
// message when the URL cannot be opened (the answer is ignored).
struct DownloadProgress {
    bool (*report)(void* owner, int kind, const std::string& text) = nullptr;
    void* owner = nullptr;
};

// Downloads url into the file (created anew; a partial file stays when the
// transfer fails or is stopped). True when every byte arrived.
bool DownloadUrl(const std::string& url, const std::string& path, const DownloadProgress& progress);

// The response to a GET of an http or https URL. Each answers false when
// the URL cannot be asked or the response lacks what is asked for.
bool HttpStatusCode(const std::string& url, int64_t* status);
bool HttpContentLength(const std::string& url, int64_t* length);
// Last-Modified as a time value (milliseconds since 1970-01-01 UTC).
bool HttpLastModified(const std::string& url, double* time);
bool HttpHeader(const std::string& url, const std::string& name, std::string* value);

// --- Ping (inet_ping_win32.cpp) ---

struct PingProgress {
    void (*report)(void* owner, int kind, int value, const std::string& text) = nullptr;
    void* owner = nullptr;
};

// Sends `count` echo requests to the host (a name or a dotted address) and
// answers the number of replies.
int PingHost(const std::string& host, int64_t count, const PingProgress& progress);

// --- DNS (inet_dns_win32.cpp) ---

// The MX records of the domain asked from the server (a name or a dotted
// address) over TCP port 53; false when the server cannot be reached in
// time or its reply is malformed.
bool LookUpMx(const std::string& domain, const std::string& server, std::vector<MxRecord>* records);

// The configured DNS server addresses, in the order of the settings.
std::vector<std::string> ConfiguredDnsServers();

// --- Interfaces (snmp_interfaces_win32.cpp) ---

// The interface table of the MIB-II SNMP agent; empty when the agent or the
// SNMP helper library is not available.
InterfaceTable ReadInterfaceTable();

}  // namespace kelpo
