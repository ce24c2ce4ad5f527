// The File/Folder operations on POSIX systems, with the Windows behaviour
// the header lists rebuilt from modes, links and renames.
#include "platform/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

namespace kelpo {
namespace {

constexpr size_t kMaxPath = 259;
constexpr mode_t kWriteBits = S_IWUSR | S_IWGRP | S_IWOTH;

std::string Native(const std::string& path) {
    std::string native = path;
    for (char& c : native)
        if (c == '\\') c = '/';
    return native;
}

std::string LastName(const std::string& path) {
    size_t end = path.find_last_of('/');
    return end == std::string::npos ? path : path.substr(end + 1);
}

bool IsReadOnlyFile(const std::string& native) {
    struct stat info;
    return lstat(native.c_str(), &info) == 0 && !S_ISDIR(info.st_mode) && !(info.st_mode & S_IWUSR);
}

// Closes a descriptor when the scope ends.
struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0) close(fd);
    }
};

bool CopyBytes(int from, int to) {
    std::vector<char> block(1 << 16);
    for (;;) {
        ssize_t got = read(from, block.data(), block.size());
        if (got == 0) return true;
        if (got < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        for (ssize_t done = 0; done < got;) {
            ssize_t put = write(to, block.data() + done, static_cast<size_t>(got - done));
            if (put < 0) {
                if (errno == EINTR) continue;
                return false;
            }
            done += put;
        }
    }
}

timespec TimespecOfMs(int64_t ms) {
    timespec t;
    int64_t seconds = ms / 1000, rest = ms % 1000;
    if (rest < 0) {
        rest += 1000;
        --seconds;
    }
    t.tv_sec = static_cast<time_t>(seconds);
    t.tv_nsec = static_cast<long>(rest * 1000000);
    return t;
}

int64_t MsOfTimespec(const timespec& t) {
    return static_cast<int64_t>(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

bool BirthTime(const std::string& native, int64_t* ms) {
#if defined(__linux__) && defined(STATX_BTIME)
    struct statx info;
    if (statx(AT_FDCWD, native.c_str(), 0, STATX_BTIME, &info) != 0) return false;
    if (!(info.stx_mask & STATX_BTIME)) return false;
    *ms = static_cast<int64_t>(info.stx_btime.tv_sec) * 1000 + info.stx_btime.tv_nsec / 1000000;
    return true;
#else
    (void)native;
    (void)ms;
    return false;
#endif
}

}  // namespace

uint32_t PathAttributes(const std::string& path) {
    const std::string native = Native(path);
    struct stat info;
    if (native.empty() || stat(native.c_str(), &info) != 0) return kNoAttributes;
    uint32_t attributes = S_ISDIR(info.st_mode) ? kAttributeDirectory : kAttributeArchive;
    if (!S_ISDIR(info.st_mode) && !(info.st_mode & S_IWUSR)) attributes |= kAttributeReadOnly;
    const std::string name = LastName(native);
    if (name.size() > 1 && name[0] == '.' && name != "..") attributes |= kAttributeHidden;
    return attributes;
}

bool SetPathAttributes(const std::string& path, uint32_t attributes) {
    const std::string native = Native(path);
    struct stat info;
    if (stat(native.c_str(), &info) != 0) return false;
    // Folders have no read-only bit on Windows either (it is ignored there).
    if (S_ISDIR(info.st_mode)) return true;
    mode_t mode = info.st_mode & 07777;
    mode = (attributes & kAttributeReadOnly) ? mode & ~kWriteBits : mode | S_IWUSR;
    return chmod(native.c_str(), mode) == 0;
}

size_t PathRootLength(const std::string& path) {
    return !path.empty() && IsPathSeparator(path[0]) ? 1 : 0;
}

bool AbsolutePath(const std::string& path, std::string* out) {
    if (path.empty()) return false;
    std::string full = Native(path);
    if (full[0] != '/') {
        char cwd[4096];
        if (getcwd(cwd, sizeof cwd) == nullptr) return false;
        full = std::string(cwd) + "/" + full;
    }
    // Resolve "." and ".." by text, as the Windows function does: links are
    // not followed.
    std::vector<std::string> parts;
    size_t at = 0;
    while (at <= full.size()) {
        size_t end = full.find('/', at);
        if (end == std::string::npos) end = full.size();
        std::string part = full.substr(at, end - at);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        at = end + 1;
    }
    std::string result;
    for (const std::string& part : parts) result += "/" + part;
    if (result.empty()) result = "/";
    if (result.size() > kMaxPath) return false;
    *out = result;
    return true;
}

bool StoredNameOf(const std::string& path, std::string* name) {
    const std::string native = Native(path);
    struct stat info;
    if (lstat(native.c_str(), &info) != 0) return false;
    *name = LastName(native);
    return true;
}

bool ShortPathOf(const std::string& path, std::string* out) {
    if (PathAttributes(path) == kNoAttributes) return false;
    *out = Native(path);
    return true;
}

bool SamePathText(const std::string& a, const std::string& b) { return Native(a) == Native(b); }

bool ListFolderEntries(const std::string& folder, std::vector<FolderEntry>* entries) {
    entries->clear();
    std::string native = Native(folder);
    if (native.empty()) return false;
    DIR* listing = opendir(native.c_str());
    if (listing == nullptr) return false;
    if (native.back() != '/') native += '/';
    while (dirent* entry = readdir(listing)) {
        std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        const std::string child = native + name;
        struct stat info;
        // A link counts as what it leads to; a dangling one as an empty file.
        if (stat(child.c_str(), &info) != 0 && lstat(child.c_str(), &info) != 0) continue;
        const bool isFolder = S_ISDIR(info.st_mode);
        const uint64_t size =
            isFolder || S_ISLNK(info.st_mode) ? 0 : static_cast<uint64_t>(info.st_size);
        entries->push_back({name, isFolder, size});
    }
    closedir(listing);
    return true;
}

bool PathIdentityOf(const std::string& path, PathIdentity* identity) {
    struct stat info;
    if (stat(Native(path).c_str(), &info) != 0) return false;
    identity->volume = static_cast<uint64_t>(info.st_dev);
    identity->index = static_cast<uint64_t>(info.st_ino);
    return true;
}

bool CreateOneFolder(const std::string& path) {
    const std::string native = Native(path);
    return !native.empty() && mkdir(native.c_str(), 0777) == 0;
}

bool RemoveEmptyFolder(const std::string& path) { return rmdir(Native(path).c_str()) == 0; }

bool DeleteOneFile(const std::string& path) {
    const std::string native = Native(path);
    struct stat info;
    if (lstat(native.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return false;
    if (IsReadOnlyFile(native)) return false;
    return unlink(native.c_str()) == 0;
}

bool CopyOneFile(const std::string& from, const std::string& to, bool replace) {
    const std::string source = Native(from), target = Native(to);
    Descriptor in{open(source.c_str(), O_RDONLY | O_CLOEXEC)};
    if (in.fd < 0) return false;
    struct stat sourceInfo;
    if (fstat(in.fd, &sourceInfo) != 0 || S_ISDIR(sourceInfo.st_mode)) return false;
    struct stat targetInfo;
    if (stat(target.c_str(), &targetInfo) == 0) {
        if (!replace || S_ISDIR(targetInfo.st_mode) || IsReadOnlyFile(target)) return false;
        // Opening the source itself for writing would truncate it.
        if (targetInfo.st_dev == sourceInfo.st_dev && targetInfo.st_ino == sourceInfo.st_ino) {
            return false;
        }
    }
    const int flags = O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | (replace ? 0 : O_EXCL);
    Descriptor out{open(target.c_str(), flags, 0666)};
    if (out.fd < 0) return false;
    bool ok = CopyBytes(in.fd, out.fd);
    if (ok) {
        fchmod(out.fd, sourceInfo.st_mode & 07777);
        const timespec times[2] = {sourceInfo.st_atim, sourceInfo.st_mtim};
        futimens(out.fd, times);
    }
    ok = close(out.fd) == 0 && ok;
    out.fd = -1;
    if (!ok) unlink(target.c_str());
    return ok;
}

bool MovePath(const std::string& from, const std::string& to) {
    const std::string source = Native(from), target = Native(to);
#if defined(__linux__) && defined(RENAME_NOREPLACE)
    if (renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS && errno != EXDEV) return false;
#endif
    struct stat info;
    if (lstat(target.c_str(), &info) == 0) return false;
    if (rename(source.c_str(), target.c_str()) == 0) return true;
    // Another volume: a file moves as a copy and a removal (as the Windows
    // function does for files); folders do not move across volumes.
    if (errno != EXDEV || lstat(source.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    if (!CopyOneFile(source, target, false)) return false;
    if (unlink(source.c_str()) == 0) return true;
    unlink(target.c_str());
    return false;
}

bool FileSizeOf(const std::string& path, uint64_t* size) {
    struct stat info;
    if (stat(Native(path).c_str(), &info) != 0) return false;
    *size = S_ISDIR(info.st_mode) ? 0 : static_cast<uint64_t>(info.st_size);
    return true;
}

bool ReadPathTime(const std::string& path, bool, FileTimeKind kind, int64_t* ms) {
    const std::string native = Native(path);
    if (kind == FileTimeKind::Created) return BirthTime(native, ms);
    struct stat info;
    if (stat(native.c_str(), &info) != 0) return false;
    *ms = MsOfTimespec(kind == FileTimeKind::LastAccessed ? info.st_atim : info.st_mtim);
    return true;
}

bool WritePathTime(const std::string& path, bool, FileTimeKind kind, int64_t ms) {
    if (kind == FileTimeKind::Created) return false;
    // The same range the Windows file times hold (1601 to about 30828).
    if (ms < -11644473600000LL || ms > 910692730085477LL) return false;
    timespec times[2];
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_nsec = UTIME_OMIT;
    times[kind == FileTimeKind::LastAccessed ? 0 : 1] = TimespecOfMs(ms);
    return utimensat(AT_FDCWD, Native(path).c_str(), times, 0) == 0;
}

bool DiskSpaceOf(const std::string& root, DiskSpace* space) {
    struct statvfs info;
    if (statvfs(Native(root).c_str(), &info) != 0) return false;
    const uint64_t unit = info.f_frsize ? info.f_frsize : info.f_bsize;
    space->availableToCaller = static_cast<uint64_t>(info.f_bavail) * unit;
    space->total = static_cast<uint64_t>(info.f_blocks) * unit;
    space->totalFree = static_cast<uint64_t>(info.f_bfree) * unit;
    return true;
}

}  // namespace kelpo
