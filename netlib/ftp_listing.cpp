#include "netlib/ftp_listing.h"

#include <cstring>

namespace kelpo {
namespace {

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

// ASCII letters compared without case; other bytes as they are (ANSI names
// of other scripts keep their case).
bool SameWithoutCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

// The end of a path without the separators that close it.
size_t TrimmedEnd(const std::string& path) {
    size_t end = path.size();
    while (end > 0 && IsSeparator(path[end - 1])) --end;
    return end;
}

// Where the last part of the path starts.
size_t NameStart(const std::string& path, size_t end) {
    size_t start = end;
    while (start > 0 && !IsSeparator(path[start - 1])) --start;
    return start;
}

}  // namespace

bool ReadFtpEntry(const FtpFindRecord& record, FtpEntry* entry) {
    if (record.name == nullptr || record.nameCapacity == 0) return false;
    const void* end = std::memchr(record.name, '\0', record.nameCapacity);
    if (end == nullptr) return false;
    const size_t length = static_cast<size_t>(static_cast<const char*>(end) - record.name);
    if (length == 0 || length > kMaxFtpName) return false;
    for (size_t i = 0; i < length; ++i) {
        if (IsControl(static_cast<unsigned char>(record.name[i]))) return false;
    }
    entry->name.assign(record.name, length);
    entry->isFolder = (record.attributes & kFtpFolderAttribute) != 0;
    entry->size = (static_cast<uint64_t>(record.sizeHigh) << 32) | record.sizeLow;
    entry->modified = TimeValueOfFileTime(record.lastWrite);
    return true;
}

bool AddToFtpListing(FtpListing* listing, const FtpEntry& entry) {
    if (entry.name == "." || entry.name == "..") return true;
    for (char c : entry.name) {
        if (IsSeparator(c)) return true;
    }
    if (listing->files.size() + listing->folders.size() >= kMaxFtpListEntries) return false;
    (entry.isFolder ? listing->folders : listing->files).push_back(entry.name);
    return true;
}

double TimeValueOfFileTime(uint64_t fileTime) {
    if (fileTime >= (uint64_t{1} << 63)) return 0;
    // 11644473600000 milliseconds lie between 1601-01-01 and 1970-01-01;
    // the calendar fields keep whole milliseconds.
    const int64_t ms = static_cast<int64_t>(fileTime / 10000);
    return static_cast<double>(ms - INT64_C(11644473600000));
}

std::string FtpNameOfPath(const std::string& path) {
    const size_t end = TrimmedEnd(path);
    const size_t start = NameStart(path, end);
    return path.substr(start, end - start);
}

std::string FtpFolderOfPath(const std::string& path) {
    return path.substr(0, NameStart(path, TrimmedEnd(path)));
}

bool HasFtpWildcard(const std::string& path) {
    return FtpNameOfPath(path).find_first_of("*?") != std::string::npos;
}

int FtpEntryMatch(const std::string& entryName, const std::string& path) {
    const std::string asked = FtpNameOfPath(path);
    const std::string found = FtpNameOfPath(entryName);
    if (asked.empty() || found.empty()) return 0;
    if (found == asked) return 2;
    if (SameWithoutCase(found, asked) || HasFtpWildcard(path)) return 1;
    return 0;
}

}  // namespace kelpo
