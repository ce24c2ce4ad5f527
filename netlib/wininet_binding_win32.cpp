#include "netlib/wininet_binding_win32.h"

namespace kelpo {
namespace {

// Every operation runs on the user-interface thread, so the count needs no
// lock.
WinInetApi gApi;
int gReferences = 0;

template <class Fn>
bool Bind(HMODULE module, const char* name, Fn* fn) {
    *fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    return *fn != nullptr;
}

}  // namespace

const WinInetApi* AcquireWinInet() {
    if (gReferences > 0) {
        ++gReferences;
        return &gApi;
    }
    HMODULE module = LoadLibraryA("wininet.dll");
    if (module == nullptr) return nullptr;
    WinInetApi api = {};
    api.module = module;
    const bool bound = Bind(module, "InternetCanonicalizeUrlA", &api.canonicalizeUrl) &&
                       Bind(module, "InternetOpenA", &api.open) &&
                       Bind(module, "InternetOpenUrlA", &api.openUrl) &&
                       Bind(module, "InternetReadFile", &api.readFile) &&
                       Bind(module, "InternetCloseHandle", &api.closeHandle) &&
                       Bind(module, "InternetCrackUrlA", &api.crackUrl) &&
                       Bind(module, "InternetConnectA", &api.connect) &&
                       Bind(module, "HttpOpenRequestA", &api.openRequest) &&
                       Bind(module, "HttpSendRequestA", &api.sendRequest) &&
                       Bind(module, "HttpQueryInfoA", &api.queryInfo);
    if (!bound) {
        FreeLibrary(module);
        return nullptr;
    }
    Bind(module, "InternetSetOptionA", &api.setOption);
    gApi = api;
    gReferences = 1;
    return &gApi;
}

void ReleaseWinInet() {
    if (gReferences <= 0 || --gReferences > 0) return;
    FreeLibrary(gApi.module);
    gApi = {};
}

}  // namespace kelpo
