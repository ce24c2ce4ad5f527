// The few file-system operations the project-data readers need, on ANSI
// paths: whole-file writes, existence checks, folders, removal.
//
// Windows paths use backslashes; elsewhere (where the readers are tested and
// fuzzed) the native slash is the separator and backslashes in composed
// paths are taken as separators too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
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
bool FileExists(const std::string& path);  // a file, not a folder
bool FolderExists(const std::string& path);
bool PathExists(const std::string& path);  // a file or a folder
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

// Stream files: the standard library's buffered streams on ANSI paths, with
// 64-bit positions, for the script classes that read and write files byte
// by byte. Windows opens the path in the ANSI code page; elsewhere
// backslashes act as separators as above.
//
// Opens `path` with a standard-library mode ("rb", "w+b", ...); null on
// failure.
FILE* OpenStreamFile(const std::string& path, const char* mode);
// A new empty file opened for reading and writing in binary mode, which no
// name refers to once it is closed: in the folder named by TMP, else TEMP,
// else the system's own (the Windows folder there, /tmp elsewhere), named
// "~qt" with a hexadecimal number 1 to FFFF and ".tmp", the first such name
// not taken. Windows deletes it when it is closed; elsewhere its name is
// removed at once. Null when no file could be made.
FILE* OpenTemporaryStreamFile();
// The position of the stream, -1 on failure.
int64_t StreamFilePosition(FILE* file);
// Moves to `position` from the start; false on failure.
bool SeekStreamFile(FILE* file, int64_t position);
// The length of the file as the system has it (flush pending writes
// first); -1 on failure.
int64_t StreamFileLength(FILE* file);
// Cuts the file to `length` bytes and moves to position 0 (pending writes
// are flushed first); false on failure.
bool TruncateStreamFile(FILE* file, int64_t length);

// The folder part of a path, with its final separator ("" without one).
std::string FolderOfPath(const std::string& path);

}  // namespace kelpo
