// The FTP client's rules that need no server: what a host argument names,
// which texts may be sent in a command, which proxy a connection takes,
// and the percentages its transfers report.
#pragma once

#include <cstdint>
#include <string>

namespace kelpo {

// The server of a host argument: a leading "ftp://" or "ftp:\\" (in any
// letter case) is dropped, and nothing else, so a host name that begins
// with f, t or p keeps its letters.
std::string FtpHostOfText(const std::string& text);

// Whether a text can go into a command line to the server: a carriage
// return, line feed or NUL in a path or a name would end the command early
// and start another one of the caller's making.
bool IsSendableFtpText(const std::string& text);

// Whether a server reply reports a failure: it starts with a code of three
// digits whose first is 4 (try again later) or 5 (refused). Replies are
// read from the start only; any text is accepted.
bool IsFtpFailureReply(const std::string& reply);

// How the Internet handle reaches the server (the access types of
// InternetOpen): an empty proxy takes the system's settings, "direct" (in
// any letter case) none, anything else names the proxy.
enum class FtpAccess : uint32_t { Preconfigured = 0, Direct = 1, NamedProxy = 3 };
FtpAccess FtpAccessOfProxy(const std::string& proxy);

// The percentage of `done` out of `total`, rounded down: 100 when the total
// is 0. Exact for every pair of 64-bit counts (done may pass the total when
// a file grows meanwhile: the percentage passes 100 too).
uint64_t FtpPercent(uint64_t done, uint64_t total);

}  // namespace kelpo
