// File-system operations on POSIX systems. Backslashes in composed paths
// act as separators, so the Windows-shaped paths of the readers work here.
#define _FILE_OFFSET_BITS 64  // 64-bit file positions on 32-bit systems too
#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace kelpo {

namespace {

std::string Native(const std::string& path) {
    std::string native = path;
    for (char& c : native)
        if (c == '\\') c = '/';
    return native;
}

}  // namespace

bool FileExists(const std::string& path) {
    struct stat info;
    return stat(Native(path).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool FolderExists(const std::string& path) {
    struct stat info;
    return stat(Native(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool CreateFolder(const std::string& path) {
    return mkdir(Native(path).c_str(), 0777) == 0 || FolderExists(path);
}

bool RemoveFile(const std::string& path) { return unlink(Native(path).c_str()) == 0; }

bool RemoveFolderTree(const std::string& path) {
    std::string folder = Native(path);
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    DIR* listing = opendir(folder.c_str());
    if (!listing) return false;
    while (dirent* entry = readdir(listing)) {
        std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        std::string child = folder + "/" + name;
        if (FolderExists(child))
            RemoveFolderTree(child);
        else
            unlink(child.c_str());
    }
    closedir(listing);
    return rmdir(folder.c_str()) == 0;
}

FILE* OpenStreamFile(const std::string& path, const char* mode) {
    FILE* file = std::fopen(Native(path).c_str(), mode);
    // A folder opens for reading here but not on Windows: refuse it alike.
    struct stat info;
    if (file != nullptr && (fstat(fileno(file), &info) != 0 || S_ISDIR(info.st_mode))) {
        std::fclose(file);
        return nullptr;
    }
    return file;
}

FILE* OpenTemporaryStreamFile() {
    const char* folder = std::getenv("TMP");
    if (folder == nullptr || *folder == '\0') folder = std::getenv("TEMP");
    if (folder == nullptr || *folder == '\0') folder = "/tmp";
    std::string base = Native(folder);
    if (base.back() != '/') base += '/';
    for (unsigned number = 1; number <= 0xFFFF; ++number) {
        char name[16];
        std::snprintf(name, sizeof name, "~qt%X.tmp", number);
        std::string path = base + name;
        // Exclusive creation: a name another process takes meanwhile is
        // passed over, never opened twice.
        int fd = open(path.c_str(), O_RDWR | O_CREAT | O_EXCL, 0600);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return nullptr;
        }
        unlink(path.c_str());
        FILE* file = fdopen(fd, "w+b");
        if (file == nullptr) close(fd);
        return file;
    }
    return nullptr;
}

int64_t StreamFilePosition(FILE* file) { return static_cast<int64_t>(ftello(file)); }

bool SeekStreamFile(FILE* file, int64_t position) {
    return position >= 0 && fseeko(file, static_cast<off_t>(position), SEEK_SET) == 0;
}

int64_t StreamFileLength(FILE* file) {
    struct stat info;
    if (fstat(fileno(file), &info) != 0) return -1;
    return static_cast<int64_t>(info.st_size);
}

bool TruncateStreamFile(FILE* file, int64_t length) {
    if (std::fflush(file) != 0) return false;
    bool cut = ftruncate(fileno(file), static_cast<off_t>(length)) == 0;
    return SeekStreamFile(file, 0) && cut;
}

}  // namespace kelpo
