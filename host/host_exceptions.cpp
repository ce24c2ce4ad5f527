// The exception for a failed system call.
#include "host/host_exceptions.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <cstring>
#endif

namespace kelpo {

CTopBaseException LastErrorException() {
#ifdef _WIN32
    char text[256] = "";
    DWORD length = FormatMessageA(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, GetLastError(),
        MAKELANGID(LANG_NEUTRAL, SUBLANG_SYS_DEFAULT), text, sizeof text - 1, nullptr);
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r'))
        text[--length] = '\0';
    return CTopBaseException(text);
#else
    return CTopBaseException(std::strerror(errno));
#endif
}

}  // namespace kelpo
