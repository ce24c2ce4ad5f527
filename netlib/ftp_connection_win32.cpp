#include "netlib/ftp_connection_win32.h"

#include <cstring>
#include <new>

#include "netlib/ftp_rules.h"

namespace kelpo {
namespace {

const char kUserAgent[] = "Mozilla/4.0 (compatible; MSIE 5.00; Windows 98)";

// Connecting, and every send and receive on the command and data
// connections, gives up after this long without progress. (Wine's library
// ignores these for FTP: it waits a minute for a reply, and on a data
// connection as long as the server keeps it open.)
constexpr DWORD kTimeLimitMs = 30000;

// Reload from the server and keep nothing in the cache (listings).
constexpr DWORD kFindFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE;

template <class Function>
bool Bind(HMODULE library, const char* name, Function& slot) {
    slot = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
    return slot != nullptr;
}

bool LoadBinding(WinInetFtp* binding) {
    *binding = {};
    binding->library = LoadLibraryA("wininet.dll");
    HMODULE library = binding->library;
    if (library == nullptr) return false;
    const bool complete =
        Bind(library, "InternetOpenA", binding->InternetOpenA) &&
        Bind(library, "InternetReadFile", binding->InternetReadFile) &&
        Bind(library, "InternetCloseHandle", binding->InternetCloseHandle) &&
        Bind(library, "InternetSetOptionA", binding->InternetSetOptionA) &&
        Bind(library, "InternetConnectA", binding->InternetConnectA) &&
        Bind(library, "FtpFindFirstFileA", binding->FtpFindFirstFileA) &&
        Bind(library, "FtpOpenFileA", binding->FtpOpenFileA) &&
        Bind(library, "FtpGetCurrentDirectoryA", binding->FtpGetCurrentDirectoryA) &&
        Bind(library, "FtpSetCurrentDirectoryA", binding->FtpSetCurrentDirectoryA) &&
        Bind(library, "FtpCreateDirectoryA", binding->FtpCreateDirectoryA) &&
        Bind(library, "FtpRemoveDirectoryA", binding->FtpRemoveDirectoryA) &&
        Bind(library, "FtpDeleteFileA", binding->FtpDeleteFileA) &&
        Bind(library, "FtpRenameFileA", binding->FtpRenameFileA) &&
        Bind(library, "InternetFindNextFileA", binding->InternetFindNextFileA) &&
        Bind(library, "InternetWriteFile", binding->InternetWriteFile) &&
        Bind(library, "FtpGetFileSize", binding->FtpGetFileSize);
    Bind(library, "InternetQueryOptionA", binding->InternetQueryOptionA);
    Bind(library, "InternetGetLastResponseInfoA", binding->InternetGetLastResponseInfoA);
    if (!complete) {
        FreeLibrary(library);
        *binding = {};
    }
    return complete;
}

void CloseHandles(FtpConnection* connection) {
    const WinInetFtp& api = connection->binding;
    if (connection->connection != nullptr) api.InternetCloseHandle(connection->connection);
    if (connection->internet != nullptr) api.InternetCloseHandle(connection->internet);
    connection->connection = nullptr;
    connection->internet = nullptr;
}

void SetOption(FtpConnection* connection, DWORD option, const void* value, DWORD size) {
    connection->binding.InternetSetOptionA(connection->internet, option, const_cast<void*>(value),
                                           size);
}

void SetTimeLimits(FtpConnection* connection) {
    const DWORD options[] = {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                             INTERNET_OPTION_RECEIVE_TIMEOUT, INTERNET_OPTION_DATA_SEND_TIMEOUT,
                             INTERNET_OPTION_DATA_RECEIVE_TIMEOUT};
    for (DWORD option : options) SetOption(connection, option, &kTimeLimitMs, sizeof kTimeLimitMs);
}

const char* TextOrNone(const std::string& text) { return text.empty() ? nullptr : text.c_str(); }

bool Sendable(const std::string& path) { return !path.empty() && IsSendableFtpText(path); }

FtpFindRecord RecordOf(const WIN32_FIND_DATAA& data) {
    FtpFindRecord record;
    record.attributes = data.dwFileAttributes;
    record.sizeHigh = data.nFileSizeHigh;
    record.sizeLow = data.nFileSizeLow;
    record.lastWrite = (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                       data.ftLastWriteTime.dwLowDateTime;
    record.name = data.cFileName;
    record.nameCapacity = sizeof data.cFileName;
    return record;
}

// Calls `take` with each readable entry of the listing of `pattern` (the
// whole current folder when null) until it answers false, for at most
// kMaxFtpListEntries records. Only one listing can be open on a connection:
// its handle is closed before this returns.
template <class Take>
void ForEachFtpEntry(FtpConnection* connection, const char* pattern, Take&& take) {
    const WinInetFtp& api = connection->binding;
    WIN32_FIND_DATAA data = {};
    HINTERNET find = api.FtpFindFirstFileA(connection->connection, pattern, &data, kFindFlags, 0);
    if (find == nullptr) return;
    for (size_t seen = 1; seen <= kMaxFtpListEntries; ++seen) {
        FtpEntry entry;
        if (ReadFtpEntry(RecordOf(data), &entry) && !take(entry)) break;
        data = {};
        if (!api.InternetFindNextFileA(find, &data)) break;
    }
    api.InternetCloseHandle(find);
}

}  // namespace

FtpConnection* NewFtpConnection(const FtpOptions& options) {
    auto* connection = new (std::nothrow) FtpConnection();
    if (connection == nullptr) return nullptr;
    if (!LoadBinding(&connection->binding)) {
        delete connection;
        return nullptr;
    }
    connection->options = options;
    return connection;
}

void FreeFtpConnection(FtpConnection* connection) {
    if (connection == nullptr) return;
    CloseHandles(connection);
    FreeLibrary(connection->binding.library);
    delete connection;
}

bool ConnectFtp(FtpConnection* connection) {
    if (connection->transferring) return false;
    CloseHandles(connection);
    const FtpOptions& options = connection->options;
    if (!FtpOptionsUsable(options)) return false;
    const WinInetFtp& api = connection->binding;
    const FtpAccess access = FtpAccessOfProxy(options.proxy);
    const bool named = access == FtpAccess::NamedProxy;
    connection->internet = api.InternetOpenA(kUserAgent, static_cast<DWORD>(access),
                                             named ? options.proxy.c_str() : nullptr, nullptr, 0);
    if (connection->internet == nullptr) return false;
    SetTimeLimits(connection);
    if (named && !options.proxyUser.empty() && !options.proxyPassword.empty()) {
        SetOption(connection, INTERNET_OPTION_PROXY_USERNAME, options.proxyUser.c_str(),
                  static_cast<DWORD>(options.proxyUser.size() + 1));
        SetOption(connection, INTERNET_OPTION_PROXY_PASSWORD, options.proxyPassword.c_str(),
                  static_cast<DWORD>(options.proxyPassword.size() + 1));
    }
    DWORD flags = INTERNET_FLAG_RELOAD | FTP_TRANSFER_TYPE_BINARY;
    if (options.passive) flags |= INTERNET_FLAG_PASSIVE;
    connection->connection = api.InternetConnectA(
        connection->internet, options.host.c_str(), static_cast<INTERNET_PORT>(options.port),
        TextOrNone(options.user), TextOrNone(options.password), INTERNET_SERVICE_FTP, flags, 0);
    if (connection->connection == nullptr) {
        CloseHandles(connection);
        return false;
    }
    return true;
}

void CloseFtp(FtpConnection* connection) {
    if (connection->transferring) {
        connection->closeRequested = true;
        return;
    }
    CloseHandles(connection);
}

bool FtpReady(const FtpConnection* connection) {
    return connection->connection != nullptr && !connection->transferring;
}

bool RunFtpPathCommand(FtpConnection* connection, FtpPathCommand command, const std::string& path) {
    if (!FtpReady(connection) || !Sendable(path)) return false;
    const WinInetFtp& api = connection->binding;
    HINTERNET session = connection->connection;
    switch (command) {
        case FtpPathCommand::CreateFolder: return api.FtpCreateDirectoryA(session, path.c_str());
        case FtpPathCommand::RemoveFolder: return api.FtpRemoveDirectoryA(session, path.c_str());
        case FtpPathCommand::DeleteFile: return api.FtpDeleteFileA(session, path.c_str());
    }
    return false;
}

bool RenameFtpFile(FtpConnection* connection, const std::string& from, const std::string& to) {
    if (!FtpReady(connection) || !Sendable(from) || !Sendable(to)) return false;
    return connection->binding.FtpRenameFileA(connection->connection, from.c_str(), to.c_str());
}

bool FindFtpEntry(FtpConnection* connection, const std::string& path, FtpEntry* entry) {
    if (!FtpReady(connection) || !Sendable(path)) return false;
    int best = 0;
    auto take = [&](const FtpEntry& found) {
        const int match = FtpEntryMatch(found.name, path);
        if (match > best) {
            best = match;
            *entry = found;
        }
        return best < 2;
    };
    ForEachFtpEntry(connection, path.c_str(), take);
    // A folder's path may have listed its contents: look for the folder in
    // its parent's listing.
    if (best == 0 && !HasFtpWildcard(path)) {
        const std::string folder = FtpFolderOfPath(path);
        ForEachFtpEntry(connection, TextOrNone(folder), take);
    }
    return best > 0;
}

FtpListing ListFtpFolder(FtpConnection* connection) {
    FtpListing listing;
    if (!FtpReady(connection)) return listing;
    ForEachFtpEntry(connection, "*",
                    [&](const FtpEntry& entry) { return AddToFtpListing(&listing, entry); });
    return listing;
}

bool GetFtpCurrentFolder(FtpConnection* connection, std::string* path) {
    if (!FtpReady(connection)) return false;
    // 260 bytes for the library, one more that stays a terminator whatever
    // it writes and whatever length it reports.
    char buffer[MAX_PATH + 1] = {};
    DWORD length = MAX_PATH;
    if (!connection->binding.FtpGetCurrentDirectoryA(connection->connection, buffer, &length))
        return false;
    path->assign(buffer, strnlen(buffer, MAX_PATH));
    return true;
}

bool SetFtpCurrentFolder(FtpConnection* connection, const std::string& path) {
    if (!FtpReady(connection) || !Sendable(path)) return false;
    return connection->binding.FtpSetCurrentDirectoryA(connection->connection, path.c_str());
}

}  // namespace kelpo
