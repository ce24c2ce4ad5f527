// What the FTP client makes of the directory entries the Internet library
// hands back. An entry arrives as a find record filled in from the server's
// listing: its name buffer need not hold a terminator, and its attributes,
// size and time are whatever the server claimed. Everything here reads
// within the record's bounds and takes any values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kelpo {

// Names are ANSI texts of at most 259 characters, like local paths.
constexpr size_t kMaxFtpName = 259;
// A listing keeps at most this many entries: a server that never ends its
// listing cannot grow the script's arrays without bound.
constexpr size_t kMaxFtpListEntries = size_t{1} << 20;
// FILE_ATTRIBUTE_DIRECTORY.
constexpr uint32_t kFtpFolderAttribute = 0x10;

// The fields of a find record (WIN32_FIND_DATAA) the client reads.
struct FtpFindRecord {
    uint32_t attributes;
    uint32_t sizeHigh;
    uint32_t sizeLow;
    uint64_t lastWrite;  // 100-nanosecond units since 1601-01-01 UTC
    const char* name;    // the record's name buffer
    size_t nameCapacity;
};

struct FtpEntry {
    std::string name;
    bool isFolder;
    uint64_t size;
    double modified;  // a time value (milliseconds since 1970 UTC)
};

// The entry of a record; false when its name is empty, fills the buffer
// without a terminator, or holds a control character (such a name could
// not be sent back to the server).
bool ReadFtpEntry(const FtpFindRecord& record, FtpEntry* entry);

// The names of one folder's listing, files and folders apart, without the
// folder's own "." and "..".
struct FtpListing {
    std::vector<std::string> files;
    std::vector<std::string> folders;
};

// Adds an entry. A folder's "." and "..", and names with a path separator
// (no entry of this folder), are left out. False once the listing holds
// kMaxFtpListEntries names: the entry is dropped and the listing should end.
bool AddToFtpListing(FtpListing* listing, const FtpEntry& entry);

// A file time as a time value, by way of the calendar fields the system
// makes of it (whole milliseconds, taken as UTC). The system converts no
// time from 2^63 on: those give 0.
double TimeValueOfFileTime(uint64_t fileTime);

// The last part of a server path: what follows its last "/" or "\"
// (separators at the end do not count: "a/b/" names b).
std::string FtpNameOfPath(const std::string& path);
// The path up to and with the separator before that last part; empty when
// it has none.
std::string FtpFolderOfPath(const std::string& path);
bool HasFtpWildcard(const std::string& path);

// How well a listing entry of that name answers a question about `path`:
// 2 the same name, 1 the same name but for letter case, or any entry when
// the path has wildcards (the server chose it), 0 another entry. Listing a
// folder's path gives the folder's contents on most servers, so the first
// entry is not always the one asked about.
int FtpEntryMatch(const std::string& entryName, const std::string& path);

}  // namespace kelpo
