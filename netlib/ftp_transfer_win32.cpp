#include "netlib/ftp_transfer_win32.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "netlib/ftp_rules.h"
#include "platform/files.h"

namespace kelpo {
namespace {

// Binary transfers straight from the server. Nothing goes into the
// Internet cache: left to itself the library keeps a copy of every file
// downloaded there, which no one removes.
constexpr DWORD kTransferFlags =
    INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | FTP_TRANSFER_TYPE_BINARY;

// Marks the connection busy for the transfer's lifetime; a close asked for
// meanwhile (by an event handler) happens when the transfer is over.
class TransferScope {
public:
    explicit TransferScope(FtpConnection* connection) : connection_(connection) {
        connection_->transferring = true;
        connection_->closeRequested = false;
    }
    ~TransferScope() {
        connection_->transferring = false;
        if (connection_->closeRequested) {
            connection_->closeRequested = false;
            CloseFtp(connection_);
        }
    }
    TransferScope(const TransferScope&) = delete;
    TransferScope& operator=(const TransferScope&) = delete;

private:
    FtpConnection* connection_;
};

// Reports a block; false when the transfer is to stop: the handler asked
// to, or it closed the connection.
bool GoOn(FtpConnection* connection, const FtpProgress& progress, uint64_t done, uint64_t total) {
    if (!progress.report(progress.owner, FtpPercent(done, total))) return false;
    return !connection->closeRequested;
}

// The size of the server file. The library's answer for the open file is
// taken when it gives one; some implementations answer 0 for every file,
// and then the size the server lists for it counts.
uint64_t ServerFileSize(const WinInetFtp& api, HINTERNET file, bool listed, const FtpEntry& entry) {
    DWORD high = 0;
    SetLastError(NO_ERROR);
    const DWORD low = api.FtpGetFileSize(file, &high);
    const bool answered = !(low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR);
    const uint64_t size = answered ? (static_cast<uint64_t>(high) << 32) | low : 0;
    if (size == 0 && listed) return entry.size;
    return size;
}

// The server's last reply on this thread, as far as it fits 64 KB.
std::string LastReply(const WinInetFtp& api) {
    if (api.InternetGetLastResponseInfoA == nullptr) return std::string();
    std::vector<char> text(512);
    DWORD code = 0;
    DWORD length = static_cast<DWORD>(text.size() - 1);
    if (!api.InternetGetLastResponseInfoA(&code, text.data(), &length)) {
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || length > 65536) return std::string();
        text.assign(length + 2, '\0');
        length = static_cast<DWORD>(text.size() - 1);
        if (!api.InternetGetLastResponseInfoA(&code, text.data(), &length)) return std::string();
    }
    return std::string(text.data(), strnlen(text.data(), text.size() - 1));
}

// Closes a server file; false when the server's closing reply reports that
// the transfer failed (data it lost or refused to keep, a transfer it
// aborted). Closing the handle reads that reply, which becomes the
// thread's last one; a library that leaves it unread leaves the reply that
// opened the transfer, which reports no failure.
//
// Asked not to, Wine's library still copies every FTP download into the
// Internet cache, where it stays: the copy, when there is one, is removed.
bool CloseServerFile(const WinInetFtp& api, HINTERNET file) {
    char copy[MAX_PATH + 1] = {};
    DWORD length = MAX_PATH;
    const bool cached =
        api.InternetQueryOptionA != nullptr &&
        api.InternetQueryOptionA(file, INTERNET_OPTION_DATAFILE_NAME, copy, &length) &&
        copy[0] != '\0';
    api.InternetCloseHandle(file);
    if (cached) DeleteFileA(copy);
    return !IsFtpFailureReply(LastReply(api));
}

}  // namespace

bool DownloadFtpFile(FtpConnection* connection, const std::string& remote, const std::string& local,
                     const FtpProgress& progress) {
    if (!FtpReady(connection) || remote.empty() || !IsSendableFtpText(remote) || local.empty())
        return false;
    const WinInetFtp& api = connection->binding;
    // The listing is asked before the file is opened: a connection has one
    // operation open at a time.
    FtpEntry entry;
    const bool listed = FindFtpEntry(connection, remote, &entry) && !entry.isFolder;
    HINTERNET file =
        api.FtpOpenFileA(connection->connection, remote.c_str(), GENERIC_READ, kTransferFlags, 0);
    if (file == nullptr) return false;
    const uint64_t size = ServerFileSize(api, file, listed, entry);
    FILE* out = OpenStreamFile(local, "wb");
    if (out == nullptr) {
        CloseServerFile(api, file);
        return false;
    }
    uint64_t total = 0;
    bool written = true;
    {
        TransferScope scope(connection);
        char block[kFtpBlockSize];
        for (;;) {
            DWORD got = 0;
            if (!api.InternetReadFile(file, block, sizeof block, &got) || got == 0) break;
            if (got > sizeof block || fwrite(block, 1, got, out) != got) {
                written = false;
                break;
            }
            total += got;
            if (!GoOn(connection, progress, total, size)) break;
        }
        if (!CloseServerFile(api, file)) written = false;
    }
    if (fclose(out) != 0) written = false;
    return written && total == size;
}

bool UploadFtpFile(FtpConnection* connection, const std::string& local, const std::string& remote,
                   const FtpProgress& progress) {
    if (!FtpReady(connection) || remote.empty() || !IsSendableFtpText(remote) || local.empty())
        return false;
    const WinInetFtp& api = connection->binding;
    FILE* in = OpenStreamFile(local, "rb");
    if (in == nullptr) return false;
    const int64_t length = StreamFileLength(in);
    HINTERNET file = length < 0 ? nullptr
                                : api.FtpOpenFileA(connection->connection, remote.c_str(),
                                                   GENERIC_WRITE, kTransferFlags, 0);
    if (file == nullptr) {
        fclose(in);
        return false;
    }
    uint64_t sent = 0;
    bool complete = true;
    {
        TransferScope scope(connection);
        char block[kFtpBlockSize];
        for (;;) {
            const size_t got = fread(block, 1, sizeof block, in);
            // A read error ends the upload as the end of the file does;
            // the count then falls short of the length.
            if (got == 0) break;
            size_t done = 0;
            while (done < got && complete) {
                DWORD wrote = 0;
                const DWORD rest = static_cast<DWORD>(got - done);
                if (!api.InternetWriteFile(file, block + done, rest, &wrote) || wrote == 0 ||
                    wrote > rest) {
                    complete = false;
                } else {
                    done += wrote;
                }
            }
            if (!complete) break;
            sent += got;
            if (!GoOn(connection, progress, sent, static_cast<uint64_t>(length))) break;
        }
        if (!CloseServerFile(api, file)) complete = false;
    }
    fclose(in);
    return complete && sent == static_cast<uint64_t>(length);
}

}  // namespace kelpo
