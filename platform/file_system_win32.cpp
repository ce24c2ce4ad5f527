// The File/Folder operations through the ANSI Win32 functions.
#include "platform/file_system.h"

#include <windows.h>

namespace kelpo {
namespace {

constexpr size_t kMaxPath = 259;

// 100-nanosecond ticks since 1601 minus this many are ticks since 1970.
constexpr int64_t kTicksBefore1970 = 116444736000000000LL;
constexpr int64_t kTicksPerMs = 10000;

uint64_t Join(DWORD high, DWORD low) { return (static_cast<uint64_t>(high) << 32) | low; }

HANDLE OpenForTimes(const std::string& path, bool isFolder, DWORD access) {
    const DWORD flags =
        isFolder ? FILE_FLAG_BACKUP_SEMANTICS | FILE_ATTRIBUTE_NORMAL : FILE_ATTRIBUTE_NORMAL;
    return CreateFileA(path.c_str(), access, 0, nullptr, OPEN_EXISTING, flags, nullptr);
}

FILETIME* TimeOf(FileTimeKind kind, FILETIME* created, FILETIME* accessed, FILETIME* written) {
    switch (kind) {
        case FileTimeKind::Created: return created;
        case FileTimeKind::LastAccessed: return accessed;
        default: return written;
    }
}

}  // namespace

uint32_t PathAttributes(const std::string& path) { return GetFileAttributesA(path.c_str()); }

bool SetPathAttributes(const std::string& path, uint32_t attributes) {
    return SetFileAttributesA(path.c_str(), attributes) != 0;
}

size_t PathRootLength(const std::string& path) {
    if (path.size() >= 2 && path[1] == ':') {
        return path.size() >= 3 && IsPathSeparator(path[2]) ? 3 : 2;
    }
    if (path.size() >= 2 && IsPathSeparator(path[0]) && IsPathSeparator(path[1])) {
        // \\server\share\ : the root runs through the share's separator.
        size_t at = 2;
        for (int part = 0; part < 2 && at < path.size(); ++part) {
            while (at < path.size() && !IsPathSeparator(path[at])) ++at;
            if (at < path.size()) ++at;
        }
        return at;
    }
    return !path.empty() && IsPathSeparator(path[0]) ? 1 : 0;
}

bool AbsolutePath(const std::string& path, std::string* out) {
    if (path.empty()) return false;
    char buffer[MAX_PATH];
    DWORD length = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
    if (length == 0 || length > kMaxPath) return false;
    out->assign(buffer, length);
    return true;
}

bool StoredNameOf(const std::string& path, std::string* name) {
    // A wildcard would find some other entry's name.
    if (path.find_first_of("*?") != std::string::npos) return false;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    *name = found.cFileName;
    return true;
}

bool ShortPathOf(const std::string& path, std::string* out) {
    char buffer[MAX_PATH];
    DWORD length = GetShortPathNameA(path.c_str(), buffer, sizeof buffer);
    if (length == 0 || length > kMaxPath) return false;
    out->assign(buffer, length);
    return true;
}

bool SamePathText(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    std::string x = a, y = b;
    if (!x.empty()) CharUpperBuffA(&x[0], static_cast<DWORD>(x.size()));
    if (!y.empty()) CharUpperBuffA(&y[0], static_cast<DWORD>(y.size()));
    for (size_t i = 0; i < x.size(); ++i) {
        bool separators = IsPathSeparator(x[i]) && IsPathSeparator(y[i]);
        if (x[i] != y[i] && !separators) return false;
    }
    return true;
}

bool ListFolderEntries(const std::string& folder, std::vector<FolderEntry>* entries) {
    entries->clear();
    std::string pattern = folder;
    if (pattern.empty() || !IsPathSeparator(pattern.back())) pattern += '\\';
    pattern += '*';
    if (pattern.size() > kMaxPath) return false;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    do {
        std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        const bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        entries->push_back(
            {name, isFolder, isFolder ? 0 : Join(found.nFileSizeHigh, found.nFileSizeLow)});
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return true;
}

bool PathIdentityOf(const std::string& path, PathIdentity* identity) {
    // No access asked: only the identity is read, whoever holds the entry.
    HANDLE handle =
        CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION info;
    const bool ok = GetFileInformationByHandle(handle, &info) != 0;
    CloseHandle(handle);
    if (!ok) return false;
    identity->volume = info.dwVolumeSerialNumber;
    identity->index = Join(info.nFileIndexHigh, info.nFileIndexLow);
    return true;
}

bool CreateOneFolder(const std::string& path) {
    return CreateDirectoryA(path.c_str(), nullptr) != 0;
}

bool RemoveEmptyFolder(const std::string& path) { return RemoveDirectoryA(path.c_str()) != 0; }

bool DeleteOneFile(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }

bool CopyOneFile(const std::string& from, const std::string& to, bool replace) {
    // Checked here rather than trusted to the system: a copy onto its own
    // source must never truncate it.
    PathIdentity a, b;
    if (PathIdentityOf(from, &a) && PathIdentityOf(to, &b) && a == b) return false;
    const uint32_t existing = PathAttributes(to);
    if (existing != kNoAttributes && (existing & kAttributeReadOnly)) return false;
    return CopyFileA(from.c_str(), to.c_str(), replace ? FALSE : TRUE) != 0;
}

bool MovePath(const std::string& from, const std::string& to) {
    return MoveFileA(from.c_str(), to.c_str()) != 0;
}

bool FileSizeOf(const std::string& path, uint64_t* size) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return false;
    *size = Join(data.nFileSizeHigh, data.nFileSizeLow);
    return true;
}

bool ReadPathTime(const std::string& path, bool isFolder, FileTimeKind kind, int64_t* ms) {
    HANDLE handle = OpenForTimes(path, isFolder, GENERIC_READ);
    if (handle == INVALID_HANDLE_VALUE) return false;
    FILETIME created, accessed, written;
    const bool ok = GetFileTime(handle, &created, &accessed, &written) != 0;
    CloseHandle(handle);
    if (!ok) return false;
    const FILETIME* time = TimeOf(kind, &created, &accessed, &written);
    const int64_t ticks = static_cast<int64_t>(Join(time->dwHighDateTime, time->dwLowDateTime));
    *ms = (ticks - kTicksBefore1970) / kTicksPerMs;
    return true;
}

bool WritePathTime(const std::string& path, bool isFolder, FileTimeKind kind, int64_t ms) {
    // FILETIME counts from 1601 in 63 bits: refuse what it cannot hold
    // rather than wrap into another time.
    const int64_t msBefore1970 = kTicksBefore1970 / kTicksPerMs;
    if (ms < -msBefore1970 || ms > INT64_MAX / kTicksPerMs - msBefore1970) return false;
    const uint64_t ticks = static_cast<uint64_t>(ms + msBefore1970) * kTicksPerMs;
    FILETIME value;
    value.dwLowDateTime = static_cast<DWORD>(ticks);
    value.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    HANDLE handle = OpenForTimes(path, isFolder, GENERIC_WRITE);
    if (handle == INVALID_HANDLE_VALUE) return false;
    const bool ok = SetFileTime(handle, kind == FileTimeKind::Created ? &value : nullptr,
                                kind == FileTimeKind::LastAccessed ? &value : nullptr,
                                kind == FileTimeKind::LastModified ? &value : nullptr) != 0;
    CloseHandle(handle);
    return ok;
}

bool DiskSpaceOf(const std::string& root, DiskSpace* space) {
    ULARGE_INTEGER available, total, free;
    if (GetDiskFreeSpaceExA(root.c_str(), &available, &total, &free)) {
        *space = {available.QuadPart, total.QuadPart, free.QuadPart};
        return true;
    }
    // The older form counts clusters.
    DWORD sectorsPerCluster, bytesPerSector, freeClusters, totalClusters;
    if (!GetDiskFreeSpaceA(root.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters,
                           &totalClusters)) {
        return false;
    }
    const uint64_t cluster = static_cast<uint64_t>(sectorsPerCluster) * bytesPerSector;
    space->availableToCaller = freeClusters * cluster;
    space->totalFree = freeClusters * cluster;
    space->total = totalClusters * cluster;
    return true;
}

}  // namespace kelpo
