// The few file-system operations the project-data readers need, on ANSI
// paths: whole-file writes, existence checks, folders, removal.
//
// Windows paths use backslashes; elsewhere (where the readers are tested and
// fuzzed) the native slash is the separator and backslashes in composed
// paths are taken as separators too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kelpo {

#ifdef _WIN32
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

// Creates or replaces the file with exactly these bytes; false on failure
// (a partly written file is removed).
bool WriteWholeFile(const std::string& path, const uint8_t* bytes, size_t length);
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes);
bool FileExists(const std::string& path);    // a file, not a folder
bool FolderExists(const std::string& path);
bool PathExists(const std::string& path);    // a file or a folder
// Creates one folder; true when it exists afterwards.
bool CreateFolder(const std::string& path);
bool RemoveFile(const std::string& path);
// Removes the files, then the subfolders, then the folder itself.
bool RemoveFolderTree(const std::string& path);

// Streaming writes for extraction in steps.
struct FileWriter;
FileWriter* CreateFileWriter(const std::string& path);
bool WriteToFile(FileWriter* writer, const uint8_t* bytes, size_t length);
bool CloseFileWriter(FileWriter* writer);  // false when a write was lost

// The folder part of a path, with its final separator ("" without one).
std::string FolderOfPath(const std::string& path);

}  // namespace kelpo
