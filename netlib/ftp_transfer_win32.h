// Downloads and uploads of the FTP client (Windows only): files move in
// blocks of 512 bytes, and after every block the caller hears the
// percentage done and may stop the transfer. A transfer that stops or fails
// leaves what it moved so far in place, the partial local file of a
// download or the partial server file of an upload.
#pragma once

#include <cstdint>
#include <string>

#include "netlib/ftp_connection_win32.h"

namespace kelpo {

constexpr size_t kFtpBlockSize = 512;

// Hears the percentage after each block; answers false to stop.
struct FtpProgress {
    bool (*report)(void* owner, uint64_t percent);
    void* owner;
};

// Copies the server file into the local file (created, or replaced). True
// only when every byte of the file's size arrived and was written, and the
// server reported no failure at the end.
bool DownloadFtpFile(FtpConnection* connection, const std::string& remote, const std::string& local,
                     const FtpProgress& progress);

// Copies the local file to the server. True only when every byte of the
// local file's length was sent and the server reported no failure at the
// end (a server out of space refuses the data only then).
bool UploadFtpFile(FtpConnection* connection, const std::string& local, const std::string& remote,
                   const FtpProgress& progress);

}  // namespace kelpo
