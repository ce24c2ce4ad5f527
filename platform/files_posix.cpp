// File-system operations on POSIX systems. Backslashes in composed paths
// act as separators, so the Windows-shaped paths of the readers work here.
#include "platform/files.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

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

bool RemoveFile(const std::string& path) {
    return unlink(Native(path).c_str()) == 0;
}

bool RemoveFolderTree(const std::string& path) {
    std::string folder = Native(path);
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    DIR* listing = opendir(folder.c_str());
    if (!listing) return false;
    while (dirent* entry = readdir(listing)) {
        std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        std::string child = folder + "/" + name;
        if (FolderExists(child)) RemoveFolderTree(child);
        else unlink(child.c_str());
    }
    closedir(listing);
    return rmdir(folder.c_str()) == 0;
}

}  // namespace kelpo
