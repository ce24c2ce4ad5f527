// Path helpers and whole-file operations shared by every platform.
#include "platform/files.h"

#include <cstdio>

namespace kelpo {

std::string FolderOfPath(const std::string& path) {
    size_t end = path.find_last_of("\\/");
    return end == std::string::npos ? std::string() : path.substr(0, end + 1);
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes) {
    bytes.clear();
    if (!FileExists(path)) return false;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    uint8_t block[4096];
    size_t got;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0)
        bytes.insert(bytes.end(), block, block + got);
    bool ok = !std::ferror(file);
    std::fclose(file);
    return ok;
}

struct FileWriter {
    FILE* file;
    std::string path;
    bool failed;
};

FileWriter* CreateFileWriter(const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return nullptr;
    return new FileWriter{file, path, false};
}

bool WriteToFile(FileWriter* writer, const uint8_t* bytes, size_t length) {
    if (length && std::fwrite(bytes, 1, length, writer->file) != length) writer->failed = true;
    return !writer->failed;
}

bool CloseFileWriter(FileWriter* writer) {
    bool ok = std::fclose(writer->file) == 0 && !writer->failed;
    delete writer;
    return ok;
}

bool WriteWholeFile(const std::string& path, const uint8_t* bytes, size_t length) {
    FileWriter* writer = CreateFileWriter(path);
    if (!writer) return false;
    WriteToFile(writer, bytes, length);
    if (CloseFileWriter(writer)) return true;
    RemoveFile(path);
    return false;
}

bool PathExists(const std::string& path) { return FileExists(path) || FolderExists(path); }

}  // namespace kelpo
