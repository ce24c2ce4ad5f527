// WinINet, loaded when an HTTP operation first needs it (Windows only).
// Each operation takes a reference for its duration; the library is
// unloaded when the last one is released.
#pragma once

#include <windows.h>
#include <wininet.h>

namespace kelpo {

struct WinInetApi {
    decltype(&::InternetCanonicalizeUrlA) canonicalizeUrl;
    decltype(&::InternetOpenA) open;
    decltype(&::InternetOpenUrlA) openUrl;
    decltype(&::InternetReadFile) readFile;
    decltype(&::InternetCloseHandle) closeHandle;
    decltype(&::InternetCrackUrlA) crackUrl;
    decltype(&::InternetConnectA) connect;
    decltype(&::HttpOpenRequestA) openRequest;
    decltype(&::HttpSendRequestA) sendRequest;
    decltype(&::HttpQueryInfoA) queryInfo;
    // Optional: sets the time limits of a session where present.
    decltype(&::InternetSetOptionA) setOption;
    HMODULE module;
};

// Takes a reference: the bound functions, or null (and no reference) when
// the library or one of its functions is missing.
const WinInetApi* AcquireWinInet();
void ReleaseWinInet();

// Holds one reference for a scope.
class WinInetReference {
public:
    WinInetReference() : api_(AcquireWinInet()) {}
    ~WinInetReference() {
        if (api_ != nullptr) ReleaseWinInet();
    }
    WinInetReference(const WinInetReference&) = delete;
    WinInetReference& operator=(const WinInetReference&) = delete;
    const WinInetApi* api() const { return api_; }

private:
    const WinInetApi* api_;
};

}  // namespace kelpo
