// Downloads and HTTP header queries through WinINet. Every session opens
// with the same agent text and the system's proxy settings, and gets time
// limits for connecting, sending and receiving, so that a peer that stops
// answering cannot hold the user-interface thread for ever. Header texts
// come from the peer: they are read within the sizes WinINet reports, and
// numbers in them are parsed strictly.
#include <windows.h>
#include <wininet.h>

#include <cstdio>
#include <string>
#include <vector>

#include "corelib/date_calendar.h"
#include "netlib/http_text.h"
#include "netlib/inet_win32.h"
#include "netlib/wininet_binding_win32.h"

namespace kelpo {
namespace {

const char kAgent[] = "Mozilla/4.0 (compatible; MSIE 5.00; Windows 98)";
constexpr DWORD kCanonicalBuffer = 2084;
constexpr DWORD kBrowserMode = 0x2000000;     // ICU_BROWSER_MODE
constexpr DWORD kDecode = 0x10000000;         // ICU_DECODE
constexpr DWORD kReloadNoCache = 0x84000000;  // reload, no cache write
constexpr DWORD kRequestFlags = 0x84400000;   // and keep the connection
constexpr DWORD kSecureFlag = 0x00800000;
constexpr DWORD kBlockSize = 512;
// Connecting, sending and each wait for data.
constexpr DWORD kTimeLimitMs = 30000;
// No URL, header name or header value is taken longer than this.
constexpr DWORD kMaxUrlText = 1 << 16;
constexpr DWORD kMaxHeaderText = 1 << 20;

// Closes a WinINet handle when the scope ends.
class InternetHandle {
public:
    InternetHandle(const WinInetApi* api, HINTERNET handle) : api_(api), handle_(handle) {}
    ~InternetHandle() {
        if (handle_ != nullptr) api_->closeHandle(handle_);
    }
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
    HINTERNET get() const { return handle_; }

private:
    const WinInetApi* api_;
    HINTERNET handle_;
};

bool Canonicalize(const WinInetApi* api, const std::string& url, std::string* out) {
    std::vector<char> buffer(kCanonicalBuffer);
    DWORD size = kCanonicalBuffer;
    if (!api->canonicalizeUrl(url.c_str(), buffer.data(), &size, kBrowserMode)) {
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size == 0 || size > kMaxUrlText)
            return false;
        buffer.assign(size + 1, '\0');
        size = static_cast<DWORD>(buffer.size());
        if (!api->canonicalizeUrl(url.c_str(), buffer.data(), &size, kBrowserMode)) return false;
    }
    out->assign(buffer.data(), size < buffer.size() ? size : buffer.size() - 1);
    return true;
}

HINTERNET OpenSession(const WinInetApi* api) {
    HINTERNET internet = api->open(kAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (internet != nullptr && api->setOption != nullptr) {
        DWORD limit = kTimeLimitMs;
        for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                             INTERNET_OPTION_RECEIVE_TIMEOUT})
            api->setOption(internet, option, &limit, sizeof limit);
    }
    return internet;
}

// A header of the response as text; false when it is missing or too long.
bool QueryText(const WinInetApi* api, HINTERNET request, DWORD level, std::string* text) {
    std::vector<char> buffer(256);
    DWORD size = static_cast<DWORD>(buffer.size());
    if (!api->queryInfo(request, level, buffer.data(), &size, nullptr)) {
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size == 0 || size > kMaxHeaderText)
            return false;
        buffer.assign(size + 1, '\0');
        size = static_cast<DWORD>(buffer.size());
        if (!api->queryInfo(request, level, buffer.data(), &size, nullptr)) return false;
    }
    text->assign(buffer.data(), size < buffer.size() ? size : buffer.size());
    return true;
}

// The system's message for a failure, WinINet's own codes included.
std::string ErrorMessage(const WinInetApi* api, DWORD code) {
    char text[512];
    const DWORD langId = 0x800;  // the system's default language
    DWORD written = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, code, langId, text, sizeof text, nullptr);
    if (written == 0)
        written = FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS,
                                 api->module, code, langId, text, sizeof text, nullptr);
    if (written == 0) {
        std::snprintf(text, sizeof text, "Error %lu", static_cast<unsigned long>(code));
        return text;
    }
    std::string message(text, written);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r'))
        message.pop_back();
    return message;
}

// A GET of an http or https URL, sent; the handles close with it.
class HttpGet {
public:
    explicit HttpGet(const WinInetApi* api) : api_(api) {}
    ~HttpGet() {
        for (HINTERNET handle : {request_, connection_, internet_})
            if (handle != nullptr) api_->closeHandle(handle);
    }
    HttpGet(const HttpGet&) = delete;
    HttpGet& operator=(const HttpGet&) = delete;

    bool Send(const std::string& url) {
        std::string canonical;
        if (!Canonicalize(api_, url, &canonical)) return false;
        // A component is never longer than the URL it is cut from.
        const DWORD room = static_cast<DWORD>(canonical.size() + 1);
        std::vector<char> host(room), user(room), password(room), path(room), extra(room),
            scheme(room);
        URL_COMPONENTSA parts = {};
        parts.dwStructSize = sizeof parts;
        parts.lpszScheme = scheme.data();
        parts.dwSchemeLength = room;
        parts.lpszHostName = host.data();
        parts.dwHostNameLength = room;
        parts.lpszUserName = user.data();
        parts.dwUserNameLength = room;
        parts.lpszPassword = password.data();
        parts.dwPasswordLength = room;
        parts.lpszUrlPath = path.data();
        parts.dwUrlPathLength = room;
        parts.lpszExtraInfo = extra.data();
        parts.dwExtraInfoLength = room;
        if (!api_->crackUrl(canonical.c_str(), static_cast<DWORD>(canonical.size()), kDecode,
                            &parts))
            return false;
        if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS)
            return false;
        const DWORD flags =
            kRequestFlags | (parts.nScheme == INTERNET_SCHEME_HTTPS ? kSecureFlag : 0);
        internet_ = OpenSession(api_);
        if (internet_ == nullptr) return false;
        connection_ = api_->connect(internet_, host.data(), parts.nPort, nullptr, nullptr,
                                    INTERNET_SERVICE_HTTP, kRequestFlags, 0);
        if (connection_ == nullptr) return false;
        const std::string object = std::string(path.data()) + extra.data();
        const char* accept[] = {"*/*", nullptr};
        request_ = api_->openRequest(connection_, "GET", object.c_str(), nullptr, nullptr, accept,
                                     flags, 0);
        return request_ != nullptr && api_->sendRequest(request_, nullptr, 0, nullptr, 0);
    }

    HINTERNET request() const { return request_; }

private:
    const WinInetApi* api_;
    HINTERNET internet_ = nullptr;
    HINTERNET connection_ = nullptr;
    HINTERNET request_ = nullptr;
};

bool QueryDecimal(const std::string& url, DWORD level, int64_t* value) {
    WinInetReference binding;
    if (binding.api() == nullptr) return false;
    HttpGet get(binding.api());
    std::string text;
    if (!get.Send(url) || !QueryText(binding.api(), get.request(), level, &text)) return false;
    *value = ParseHeaderDecimal(text);
    return *value >= 0;
}

// An HTTP response with an error status is no download: its body is the
// server's error page. Other schemes have no status and pass.
bool RefusedStatus(const WinInetApi* api, HINTERNET url, std::string* message) {
    std::string code;
    if (!QueryText(api, url, HTTP_QUERY_STATUS_CODE, &code)) return false;
    const int64_t status = ParseHeaderDecimal(code);
    if (status >= 0 && status < 400) return false;
    std::string reason;
    QueryText(api, url, HTTP_QUERY_STATUS_TEXT, &reason);
    *message = "HTTP status " + code + (reason.empty() ? "" : " " + reason);
    return true;
}

}  // namespace

bool DownloadUrl(const std::string& url, const std::string& path,
                 const DownloadProgress& progress) {
    WinInetReference binding;
    const WinInetApi* api = binding.api();
    if (api == nullptr) return false;
    auto report = [&](int kind, const std::string& text) {
        return progress.report == nullptr || progress.report(progress.owner, kind, text);
    };
    std::string canonical;
    if (!Canonicalize(api, url, &canonical)) {
        report(0, ErrorMessage(api, GetLastError()));
        return false;
    }
    InternetHandle internet(api, OpenSession(api));
    if (internet.get() == nullptr) return false;
    InternetHandle source(
        api, api->openUrl(internet.get(), canonical.c_str(), nullptr, 0, kReloadNoCache, 0));
    if (source.get() == nullptr) {
        report(0, ErrorMessage(api, GetLastError()));
        return false;
    }
    std::string refusal;
    if (RefusedStatus(api, source.get(), &refusal)) {
        report(0, refusal);
        return false;
    }
    // When the response states its length, fewer bytes mean a cut transfer.
    std::string lengthText;
    const int64_t expected = QueryText(api, source.get(), HTTP_QUERY_CONTENT_LENGTH, &lengthText)
                                 ? ParseHeaderDecimal(lengthText)
                                 : -1;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool complete = false;
    int64_t written = 0;
    for (;;) {
        char block[kBlockSize];
        DWORD got = 0;
        if (!api->readFile(source.get(), block, sizeof block, &got)) break;
        if (got == 0) {
            complete = expected < 0 || written == expected;
            break;
        }
        DWORD put = 0;
        if (!WriteFile(file, block, got, &put, nullptr) || put != got) break;
        written += got;
        if (!report(1, std::to_string(written))) break;
    }
    CloseHandle(file);
    return complete;
}

bool HttpStatusCode(const std::string& url, int64_t* status) {
    return QueryDecimal(url, HTTP_QUERY_STATUS_CODE, status);
}

bool HttpContentLength(const std::string& url, int64_t* length) {
    return QueryDecimal(url, HTTP_QUERY_CONTENT_LENGTH, length);
}

bool HttpLastModified(const std::string& url, double* time) {
    WinInetReference binding;
    if (binding.api() == nullptr) return false;
    HttpGet get(binding.api());
    if (!get.Send(url)) return false;
    SYSTEMTIME when = {};
    DWORD size = sizeof when;
    if (!binding.api()->queryInfo(get.request(),
                                  HTTP_QUERY_LAST_MODIFIED | HTTP_QUERY_FLAG_SYSTEMTIME, &when,
                                  &size, nullptr))
        return false;
    *time = ComposeTime(when.wYear, when.wMonth - 1, when.wDay, when.wHour, when.wMinute,
                        when.wSecond, when.wMilliseconds);
    return InTimeRange(*time);
}

bool HttpHeader(const std::string& url, const std::string& name, std::string* value) {
    WinInetReference binding;
    const WinInetApi* api = binding.api();
    if (api == nullptr || name.empty() || name.size() >= kMaxHeaderText) return false;
    HttpGet get(api);
    if (!get.Send(url)) return false;
    // The name goes in the buffer the value comes back in.
    std::vector<char> buffer(name.size() + 1 < 20 ? 20 : name.size() + 1, '\0');
    name.copy(buffer.data(), name.size());
    DWORD size = static_cast<DWORD>(buffer.size());
    if (!api->queryInfo(get.request(), HTTP_QUERY_CUSTOM, buffer.data(), &size, nullptr)) {
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size == 0 || size > kMaxHeaderText)
            return false;
        buffer.assign(size + 1 > name.size() + 1 ? size + 1 : name.size() + 1, '\0');
        name.copy(buffer.data(), name.size());
        size = static_cast<DWORD>(buffer.size());
        if (!api->queryInfo(get.request(), HTTP_QUERY_CUSTOM, buffer.data(), &size, nullptr))
            return false;
    }
    value->assign(buffer.data(), size < buffer.size() ? size : buffer.size());
    return true;
}

}  // namespace kelpo
