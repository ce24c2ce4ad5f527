// Private-profile files on Windows (see profile.h): the system's
// private-profile functions, given a full path so that a relative name
// means the current folder rather than the Windows folder.
#include "platform/profile.h"

#include <windows.h>

namespace kelpo {

struct ProfileState {
    std::string path;
};

namespace {

// Results larger than this are cut (far beyond any INI file in practice).
constexpr DWORD kMaxBuffer = 64u << 20;

std::string FullPath(const char* path) {
    char full[MAX_PATH];
    DWORD n = GetFullPathNameA(path, MAX_PATH, full, nullptr);
    if (n == 0 || n >= MAX_PATH) return path;
    return std::string(full, n);
}

}  // namespace

ProfileFile::ProfileFile(const char* path) : state_(new ProfileState) {
    state_->path = FullPath(path);
}

ProfileFile::~ProfileFile() { Close(); }

std::string ProfileFile::Read(const char* section, const char* key, const char* fallback) {
    std::string buffer(1024, '\0');
    for (;;) {
        DWORD size = static_cast<DWORD>(buffer.size());
        DWORD n = GetPrivateProfileStringA(section, key, fallback, &buffer[0], size,
                                           state_->path.c_str());
        // A result that fills the buffer may have been cut: try a larger one.
        if (n + 1 < size || size >= kMaxBuffer) {
            buffer.resize(n);
            return buffer;
        }
        buffer.resize(static_cast<size_t>(size) * 2);
    }
}

std::vector<std::string> ProfileFile::SectionNames() {
    std::string buffer(1024, '\0');
    DWORD n;
    for (;;) {
        DWORD size = static_cast<DWORD>(buffer.size());
        n = GetPrivateProfileSectionNamesA(&buffer[0], size, state_->path.c_str());
        // The list did not fit when the result is the buffer size less two.
        if (n + 2 != size || size >= kMaxBuffer) break;
        buffer.resize(static_cast<size_t>(size) * 2);
    }
    std::vector<std::string> names;
    for (size_t at = 0; at < n && buffer[at] != '\0';) {
        size_t end = buffer.find('\0', at);
        if (end == std::string::npos || end > n) end = n;
        names.emplace_back(buffer, at, end - at);
        at = end + 1;
    }
    return names;
}

void ProfileFile::Write(const char* section, const char* key, const char* value) {
    WritePrivateProfileStringA(section, key, value, state_->path.c_str());
}

bool ProfileFile::Close() {
    // Flushes the system's cache of the file.
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, state_->path.c_str());
    return true;
}

bool DeleteProfileFile(const char* path) { return DeleteFileA(path) != 0; }

}  // namespace kelpo
