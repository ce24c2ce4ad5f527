// The file-system operations behind the File/Folder class, on ANSI paths
// that the caller has already bounded (at most 259 bytes).
//
// Windows answers through the ANSI Win32 functions. Elsewhere the same
// observable behaviour is given where the system allows it:
//   - "/" is the separator and "\" counts as one too (as in files.h); the
//     root is "/"; names compare with case, so true case is the identity;
//   - attributes are made from the mode: 0x10 for a folder, 0x20 (archive,
//     what Windows shows for a new file) for anything else, 0x01 when the
//     owner may not write, 0x02 for a name beginning with "."; writing them
//     changes only the read-only bit (the owner's write permission);
//   - a read-only file cannot be deleted and is not replaced by a copy,
//     as on Windows (checked here, so it holds for root as well);
//   - moves and renames never replace an existing entry;
//   - the creation time is the birth time where the file system keeps one
//     and cannot be written; there is no short (8.3) form: the short path
//     is the path itself; no open file blocks another process.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kelpo {

// Attribute bits as the Windows file system reports them.
constexpr uint32_t kAttributeReadOnly = 0x01;
constexpr uint32_t kAttributeHidden = 0x02;
constexpr uint32_t kAttributeDirectory = 0x10;
constexpr uint32_t kAttributeArchive = 0x20;
// What the attribute query answers for a path that is gone.
constexpr uint32_t kNoAttributes = 0xFFFFFFFFu;

uint32_t PathAttributes(const std::string& path);
bool SetPathAttributes(const std::string& path, uint32_t attributes);

// True for a separator of this platform ("\" and "/" on both).
inline bool IsPathSeparator(char c) { return c == '\\' || c == '/'; }

// How many leading bytes form the root that names no entry of its own:
// "C:\" (3) or "C:" (2), "\\server\share\" on Windows; "/" (1) elsewhere.
// 0 for a relative path.
size_t PathRootLength(const std::string& path);

// The absolute form of a path: relative to the current folder, "." and ".."
// resolved, separators made native. False when it cannot be formed (an
// empty path, or a result longer than 259 bytes).
bool AbsolutePath(const std::string& path, std::string* out);

// The name an existing entry has on disk (its true case), from its full
// path; false when it is not found. The identity outside Windows.
bool StoredNameOf(const std::string& path, std::string* name);

// The short (8.3) form of a path; false on failure.
bool ShortPathOf(const std::string& path, std::string* out);

// Two paths that name the same place as texts (without case on Windows).
bool SamePathText(const std::string& a, const std::string& b);

struct FolderEntry {
    std::string name;
    bool isFolder;
    uint64_t size;  // 0 for a folder
};

// The entries of a folder except "." and "..", in the order the system
// gives them; false when it cannot be listed. Links are followed.
bool ListFolderEntries(const std::string& folder, std::vector<FolderEntry>* entries);

// Which file or folder a path leads to, after links: equal identities are
// the same entry, however reached.
struct PathIdentity {
    uint64_t volume;
    uint64_t index;
    bool operator==(const PathIdentity& other) const {
        return volume == other.volume && index == other.index;
    }
};
bool PathIdentityOf(const std::string& path, PathIdentity* identity);

bool CreateOneFolder(const std::string& path);  // false when it existed
bool RemoveEmptyFolder(const std::string& path);
bool DeleteOneFile(const std::string& path);  // a read-only file stays
// Copies a file with its attributes and last write time; an existing
// destination is replaced when `replace` is set (never when it is
// read-only or the source itself). A failed copy leaves no partial file.
bool CopyOneFile(const std::string& from, const std::string& to, bool replace);
// Moves or renames a file or folder; never replaces an existing entry.
bool MovePath(const std::string& from, const std::string& to);

bool FileSizeOf(const std::string& path, uint64_t* size);

enum class FileTimeKind { Created, LastAccessed, LastModified };

// The three times in milliseconds since 1970-01-01 UTC. On Windows the
// entry is opened without sharing (so a file another process holds open
// fails); `isFolder` says how it is opened.
bool ReadPathTime(const std::string& path, bool isFolder, FileTimeKind kind, int64_t* ms);
bool WritePathTime(const std::string& path, bool isFolder, FileTimeKind kind, int64_t ms);

// Space on the volume of a root: bytes free for the caller, total bytes
// and total free bytes.
struct DiskSpace {
    uint64_t availableToCaller;
    uint64_t total;
    uint64_t totalFree;
};
bool DiskSpaceOf(const std::string& root, DiskSpace* space);

}  // namespace kelpo
