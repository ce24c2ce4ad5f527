// The FTP connection behind one script object (Windows only): its own load
// of the Internet library "wininet.dll", its Internet and connection
// handles, and the server operations of the class on them.
//
// Every call that waits for the server is bounded: the Internet handle
// carries time limits for connecting and for each send and receive on the
// command and data connections. Entries the server lists are read through
// ftp_listing.h, within their records. Texts that go into a command (paths
// and names) are refused when they could end the command early.
//
// A transfer calls back into script after every block; meanwhile the
// connection is busy: every other operation fails, and a close waits until
// the transfer has stopped.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <string>

#include "netlib/ftp_listing.h"
#include "netlib/ftp_options.h"

namespace kelpo {

// The library's functions the client uses; a load without any of them is
// no binding, except the last two: they only serve to remove cache copies
// the library should not have made and to hear the server's verdict on a
// finished transfer (ftp_transfer_win32.cpp), and may be missing.
struct WinInetFtp {
    HMODULE library;
    decltype(&::InternetOpenA) InternetOpenA;
    decltype(&::InternetReadFile) InternetReadFile;
    decltype(&::InternetCloseHandle) InternetCloseHandle;
    decltype(&::InternetSetOptionA) InternetSetOptionA;
    decltype(&::InternetConnectA) InternetConnectA;
    decltype(&::FtpFindFirstFileA) FtpFindFirstFileA;
    decltype(&::FtpOpenFileA) FtpOpenFileA;
    decltype(&::FtpGetCurrentDirectoryA) FtpGetCurrentDirectoryA;
    decltype(&::FtpSetCurrentDirectoryA) FtpSetCurrentDirectoryA;
    decltype(&::FtpCreateDirectoryA) FtpCreateDirectoryA;
    decltype(&::FtpRemoveDirectoryA) FtpRemoveDirectoryA;
    decltype(&::FtpDeleteFileA) FtpDeleteFileA;
    decltype(&::FtpRenameFileA) FtpRenameFileA;
    decltype(&::InternetFindNextFileA) InternetFindNextFileA;
    decltype(&::InternetWriteFile) InternetWriteFile;
    decltype(&::FtpGetFileSize) FtpGetFileSize;
    decltype(&::InternetQueryOptionA) InternetQueryOptionA;                  // may be null
    decltype(&::InternetGetLastResponseInfoA) InternetGetLastResponseInfoA;  // may be null
};

struct FtpConnection {
    FtpOptions options;  // host, port, user, password, passive, proxy, ...
    WinInetFtp binding;
    HINTERNET internet;    // null until connect
    HINTERNET connection;  // null until connect
    bool transferring;     // a download or upload is running
    bool closeRequested;   // close was asked for during the transfer
};

// A connection with these settings and its own binding; null when the
// library or one of its functions is missing. Nothing is connected yet.
FtpConnection* NewFtpConnection(const FtpOptions& options);
// Closes the handles and releases the binding.
void FreeFtpConnection(FtpConnection* connection);

// Closes any open handles, then connects and logs in; true when the
// connection handle was obtained. Refused during a transfer.
bool ConnectFtp(FtpConnection* connection);
// Closes the connection and Internet handles (after the transfer, when one
// is running).
void CloseFtp(FtpConnection* connection);
// Connected, and no transfer running.
bool FtpReady(const FtpConnection* connection);

enum class FtpPathCommand { CreateFolder, RemoveFolder, DeleteFile };
bool RunFtpPathCommand(FtpConnection* connection, FtpPathCommand command, const std::string& path);
bool RenameFtpFile(FtpConnection* connection, const std::string& from, const std::string& to);

// The entry the path names; false when there is none.
bool FindFtpEntry(FtpConnection* connection, const std::string& path, FtpEntry* entry);
// The names in the current folder; empty when nothing can be listed.
FtpListing ListFtpFolder(FtpConnection* connection);

bool GetFtpCurrentFolder(FtpConnection* connection, std::string* path);
bool SetFtpCurrentFolder(FtpConnection* connection, const std::string& path);

}  // namespace kelpo
