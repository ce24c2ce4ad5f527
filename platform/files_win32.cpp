// File-system operations through the ANSI Win32 functions.
#include "platform/files.h"

#include <windows.h>

namespace kelpo {

namespace {

DWORD Attributes(const std::string& path) {
    return GetFileAttributesA(path.c_str());
}

}  // namespace

bool FileExists(const std::string& path) {
    DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::string& path) {
    DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool CreateFolder(const std::string& path) {
    return CreateDirectoryA(path.c_str(), nullptr) || FolderExists(path);
}

bool RemoveFile(const std::string& path) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    return DeleteFileA(path.c_str()) != 0;
}

bool RemoveFolderTree(const std::string& path) {
    std::string folder = path;
    while (folder.size() > 3 && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        // Files first, then the subfolders.
        std::vector<std::string> subfolders;
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            std::string child = folder + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) subfolders.push_back(child);
            else RemoveFile(child);
        } while (FindNextFileA(search, &found));
        FindClose(search);
        for (const std::string& child : subfolders) RemoveFolderTree(child);
    }
    return RemoveDirectoryA(folder.c_str()) != 0;
}

}  // namespace kelpo
