#include "netlib/winsock_start_win32.h"

#include <winsock2.h>

namespace kelpo {

bool StartWinsock() {
    // A function-local static starts it once, even with threads racing.
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

}  // namespace kelpo
