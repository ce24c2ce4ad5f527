// File-system operations through the ANSI Win32 functions.
#include "platform/files.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace kelpo {

namespace {

DWORD Attributes(const std::string& path) { return GetFileAttributesA(path.c_str()); }

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
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                subfolders.push_back(child);
            else
                RemoveFile(child);
        } while (FindNextFileA(search, &found));
        FindClose(search);
        for (const std::string& child : subfolders) RemoveFolderTree(child);
    }
    return RemoveDirectoryA(folder.c_str()) != 0;
}

FILE* OpenStreamFile(const std::string& path, const char* mode) {
    return std::fopen(path.c_str(), mode);
}

namespace {

// The folder of temporary files: TMP, else TEMP, else the Windows folder.
std::string TemporaryFolder() {
    char folder[MAX_PATH];
    for (const char* name : {"TMP", "TEMP"}) {
        DWORD length = GetEnvironmentVariableA(name, folder, MAX_PATH);
        if (length > 0 && length < MAX_PATH) return folder;
    }
    UINT length = GetWindowsDirectoryA(folder, MAX_PATH);
    return length > 0 && length < MAX_PATH ? folder : std::string();
}

}  // namespace

FILE* OpenTemporaryStreamFile() {
    std::string folder = TemporaryFolder();
    if (folder.empty()) return nullptr;
    // GetTempFileNameA uses only the low 16 bits of the number: 1 to FFFF
    // are all the names there are.
    for (UINT number = 1; number <= 0xFFFF; ++number) {
        char path[MAX_PATH];
        if (GetTempFileNameA(folder.c_str(), "~qt", number, path) == 0) return nullptr;
        // Exclusive creation, deleted by the system when the last handle
        // closes: a name another process takes meanwhile is passed over.
        HANDLE handle =
            CreateFileA(path, GENERIC_READ | GENERIC_WRITE,
                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                        FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            DWORD error = GetLastError();
            if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ||
                error == ERROR_ACCESS_DENIED) {
                continue;
            }
            return nullptr;
        }
        int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDWR | _O_BINARY);
        if (fd < 0) {
            CloseHandle(handle);
            return nullptr;
        }
        FILE* file = _fdopen(fd, "w+b");
        if (file == nullptr) _close(fd);
        return file;
    }
    return nullptr;
}

int64_t StreamFilePosition(FILE* file) { return static_cast<int64_t>(ftello64(file)); }

bool SeekStreamFile(FILE* file, int64_t position) {
    return position >= 0 && fseeko64(file, position, SEEK_SET) == 0;
}

namespace {

HANDLE HandleOf(FILE* file) { return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file))); }

}  // namespace

int64_t StreamFileLength(FILE* file) {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(HandleOf(file), &size)) return -1;
    return static_cast<int64_t>(size.QuadPart);
}

bool TruncateStreamFile(FILE* file, int64_t length) {
    if (std::fflush(file) != 0) return false;
    HANDLE handle = HandleOf(file);
    LARGE_INTEGER end;
    end.QuadPart = length;
    bool cut = SetFilePointerEx(handle, end, nullptr, FILE_BEGIN) && SetEndOfFile(handle);
    // Seeking the stream resets its buffer and the handle's position alike.
    return SeekStreamFile(file, 0) && cut;
}

}  // namespace kelpo
