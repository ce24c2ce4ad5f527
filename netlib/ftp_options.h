// The settings of an FTP object, read from the arguments of its
// construction: (host [, port [, user, password [, passive [, proxy
// [, proxyUser, proxyPassword]]]]]). Each argument after the host counts
// only when every earlier one is present with its type, so a port given as
// a String leaves the port and everything after it at their defaults.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/context.h"

namespace kelpo {

struct FtpOptions {
    std::string host;  // without a leading "ftp://" or "ftp:\\"
    int64_t port = 21;
    std::string user;  // empty: anonymous
    std::string password;
    bool passive = false;
    std::string proxy;  // empty: the system's settings; "direct": none
    std::string proxyUser;
    std::string proxyPassword;
    // False when a text argument held a NUL character, which the ANSI form
    // would silently cut off.
    bool textsWhole = true;
};

// Host names are at most 255 characters; user names, passwords and proxy
// texts at most 259.
constexpr size_t kMaxFtpHostText = 255;
constexpr size_t kMaxFtpOptionText = 259;

// False when the host argument is not a String (no object is made).
bool ReadFtpOptions(ScriptContext* context, const Value* args, FtpOptions* options);

// Whether a connection can be tried with these settings: a host, a port
// from 0 (the service's own) to 65535, and texts that fit their bounds and
// can be sent to the server.
bool FtpOptionsUsable(const FtpOptions& options);

}  // namespace kelpo
