// The File/Folder class: one class bound under both names. An instance
// stands for one existing file or folder by its normal path (absolute,
// true case; path_names.h); the class object answers only `exists`.
//
// No member raises for bad arguments: a missing or wrongly typed one gives
// the member's failure result (Null, false, NaN, an empty text) with
// nothing done. The file system is reached through platform/file_system.h,
// so the class behaves alike on Windows and elsewhere as far as that layer
// can make it (what differs is listed there).
#include "syslib/classes.h"

#include <cmath>
#include <cstring>

#include "corelib/date_class.h"
#include "platform/file_system.h"
#include "runtime/class_kit.h"
#include "runtime/convert.h"
#include "runtime/native_args.h"
#include "syslib/folder_listing.h"
#include "syslib/path_names.h"

namespace kelpo {
namespace {

struct PathRecord {
    char path[kMaxPathText + 1];
    int32_t isFolder;  // as found at construction; never updated
};

enum Method { kExists, kCopy, kRemove, kMove, kFilesMethod };
const MemberRow kMethodNames[] = {
    {"exists",
     "exists(path) -> Boolean: whether path names an existing file or folder; also on "
     "the class"},
    {"copy",
     "copy(dest) -> Boolean: copies the file (overwriting) or the whole folder to dest; "
     "false on the first failure"},
    {"remove", "remove() -> Boolean: deletes the file, or the folder when it is empty"},
    {"move", "move(dest) -> Boolean: moves to dest; the instance keeps its old path"},
    {"files",
     "files([patterns]) -> Array: the full paths of the files in the folder, or those "
     "matching one of the patterns (\"*.txt;a?c\", case-sensitive)"},
};

enum Property {
    kAttributes,
    kDateCreated,
    kDateLastAccessed,
    kDateLastModified,
    kDrive,
    kIsRootFolder,
    kName,
    kParentPath,
    kPath,
    kShortName,
    kShortPath,
    kSize,
    kSubFolders,
    kFiles,
    kType
};
const MemberRow kPropertyNames[] = {
    {"attributes",
     "Integer: the file attributes (4294967295 when the path is gone); a number sets "
     "them"},
    {"dateCreated",
     "Integer: the creation time in ms since 1970 UTC, NaN when unreadable; a "
     "number or Date sets it"},
    {"dateLastAccessed",
     "Integer: the last access time in ms since 1970 UTC, false when "
     "unreadable; a number or Date sets it"},
    {"dateLastModified",
     "Integer: the last write time in ms since 1970 UTC, false when "
     "unreadable; a number or Date sets it"},
    {"drive", "String, read-only: the drive part of the path (\"C:\"), empty when there is none"},
    {"isRootFolder", "Boolean, read-only: whether the folder is a drive root (folders only)"},
    {"name", "String: the name with its extension; writing a plain name renames it in its folder"},
    {"parentPath", "String, read-only: the path up to its last backslash"},
    {"path", "String, read-only: the full path, in the case stored on disk"},
    {"shortName", "String, read-only: the short (8.3) name"},
    {"shortPath", "String, read-only: the short (8.3) form of the path"},
    {"size",
     "Integer, read-only: a file's bytes (0 when unreadable), a folder's total, a drive "
     "root's bytes in use (NaN on failure)"},
    {"subFolders",
     "Array, read-only: the full paths of the folders directly inside (folders "
     "only)"},
    {"files", "Array, read-only: the full paths of the files directly inside (folders only)"},
    {"type", "Integer, read-only: 1 for a folder, 0 for a file"},
};

void SetRecordPath(PathRecord* record, const std::string& path) {
    // Every path stored here has passed a kMaxPathText bound.
    std::memcpy(record->path, path.c_str(), path.size() + 1);
}

// File(path), new File(path), Folder(...) alike. A path that does not exist
// becomes a new folder (one level: its parent must exist).
void ConstructFile(ScriptContext* context, NativeClass* klass, Value* args, Value* out) {
    *out = MakeNull();
    std::string given, path;
    if (!HasArg(args, 1) || !PathOfValue(context, args[1], &given)) return;
    if (!NormalPath(given, &path)) return;
    if (PathAttributes(path) == kNoAttributes && !CreateOneFolder(path)) return;
    const uint32_t attributes = PathAttributes(path);
    if (attributes == kNoAttributes) return;
    auto* record = NewInstanceOf<PathRecord>(context, klass, out);
    SetRecordPath(record, path);
    record->isFolder = (attributes & kAttributeDirectory) != 0;
}

void CallFile(ScriptContext* context, NativeClass* klass, void*, Value* out, Value* args) {
    ConstructFile(context, klass, args, out);
}

bool Exists(ScriptContext* context, Value* args) {
    std::string path;
    return HasArg(args, 1) && PathOfValue(context, args[1], &path) &&
           PathAttributes(path) != kNoAttributes;
}

bool Copy(ScriptContext* context, const PathRecord* record, Value* args) {
    std::string destination;
    if (!HasArg(args, 1) || !PathOfValue(context, args[1], &destination)) return false;
    if (record->isFolder) return CopyFolderTree(record->path, destination);
    return CopyOneFile(record->path, destination, true);
}

bool Move(ScriptContext* context, const PathRecord* record, Value* args) {
    std::string destination;
    if (!HasArg(args, 1) || !PathOfValue(context, args[1], &destination)) return false;
    return MovePath(record->path, destination);
}

int FileMethod(ScriptContext* context, NativeClass*, void* data, int member, Value* out,
               Value* args) {
    auto* record = static_cast<PathRecord*>(data);
    if (member == kExists) {
        *out = MakeBoolean(Exists(context, args));
        return 1;
    }
    if (record == nullptr) return 0;  // the rest are instance methods
    switch (member) {
        case kCopy: *out = MakeBoolean(Copy(context, record, args)); break;
        case kRemove:
            *out = MakeBoolean(record->isFolder ? RemoveEmptyFolder(record->path)
                                                : DeleteOneFile(record->path));
            break;
        case kMove: *out = MakeBoolean(Move(context, record, args)); break;
        case kFilesMethod:
            if (!record->isFolder) return 0;
            *out =
                ListFolderPaths(context, record->path, false, HasArg(args, 1) ? &args[1] : nullptr);
            break;
    }
    return 1;
}

// ---- Properties ---------------------------------------------------------

FileTimeKind TimeKindOf(int member) {
    switch (member) {
        case kDateCreated: return FileTimeKind::Created;
        case kDateLastAccessed: return FileTimeKind::LastAccessed;
        default: return FileTimeKind::LastModified;
    }
}

// A failed read gives NaN for the creation time and false for the others.
Value ReadTime(const PathRecord* record, int member) {
    int64_t ms = 0;
    if (ReadPathTime(record->path, record->isFolder != 0, TimeKindOf(member), &ms)) {
        return MakeInteger(ms);
    }
    return member == kDateCreated ? MakeNaN() : MakeBoolean(false);
}

// An Integer, a Float or a Date instance; anything else leaves the time.
void WriteTime(const PathRecord* record, int member, const Value& value) {
    double time = 0;
    if (value.tag == ValueTag::Integer)
        time = static_cast<double>(value.integer);
    else if (value.tag == ValueTag::Float)
        time = value.number;
    else if (!DateTimeOf(value, &time))
        return;
    // Beyond this no file time exists; the bound keeps the cast defined.
    if (!(std::fabs(time) < 9.0e15)) return;
    WritePathTime(record->path, record->isFolder != 0, TimeKindOf(member),
                  static_cast<int64_t>(std::trunc(time)));
}

// Writing `name` renames in place: a plain name only (a separator would
// move the entry into another folder).
void Rename(ScriptContext* context, PathRecord* record, const Value& value) {
    std::string name, renamed;
    if (IsDriveRoot(record->path) || !PathOfValue(context, value, &name) || !IsPlainName(name))
        return;
    if (!ChildPath(ParentPartOf(record->path), name, &renamed)) return;
    if (MovePath(record->path, renamed)) SetRecordPath(record, renamed);
}

Value SizeOf(const PathRecord* record) {
    if (record->isFolder && IsDriveRoot(record->path)) {
        DiskSpace space;
        if (!DiskSpaceOf(record->path, &space)) return MakeNaN();
        return MakeInteger(static_cast<int64_t>(space.total - space.availableToCaller));
    }
    if (record->isFolder) return MakeInteger(static_cast<int64_t>(FolderTreeSize(record->path)));
    uint64_t size = 0;
    if (!FileSizeOf(record->path, &size)) size = 0;
    return MakeInteger(static_cast<int64_t>(size));
}

std::string ShortPath(const PathRecord* record) {
    std::string shortPath;
    return ShortPathOf(record->path, &shortPath) ? shortPath : std::string();
}

void WriteProperty(ScriptContext* context, PathRecord* record, int member, const Value& value) {
    switch (member) {
        case kAttributes:
            if (value.tag == ValueTag::Integer || value.tag == ValueTag::Float) {
                SetPathAttributes(record->path, static_cast<uint32_t>(ToInt32(context, value)));
            }
            break;
        case kDateCreated:
        case kDateLastAccessed:
        case kDateLastModified: WriteTime(record, member, value); break;
        case kName: Rename(context, record, value); break;
        default: break;  // read-only: accepted and ignored
    }
}

Value ReadProperty(ScriptContext* context, const PathRecord* record, int member) {
    const std::string path = record->path;
    switch (member) {
        case kAttributes: return MakeInteger(PathAttributes(path));
        case kDateCreated:
        case kDateLastAccessed:
        case kDateLastModified: return ReadTime(record, member);
        case kDrive: return AnsiString(context, DrivePartOf(path));
        case kIsRootFolder: return MakeBoolean(IsDriveRoot(path));
        case kName: return AnsiString(context, NamePartOf(path));
        case kParentPath: return AnsiString(context, ParentPartOf(path));
        case kPath: return AnsiString(context, path);
        case kShortName: return AnsiString(context, NamePartOf(ShortPath(record)));
        case kShortPath: return AnsiString(context, ShortPath(record));
        case kSize: return SizeOf(record);
        case kSubFolders: return ListFolderPaths(context, path, true, nullptr);
        case kFiles: return ListFolderPaths(context, path, false, nullptr);
        case kType: return MakeInteger(record->isFolder);
    }
    return MakeUndefined();
}

int FileProperty(ScriptContext* context, NativeClass*, void* data, int member, int isSet,
                 Value* io) {
    auto* record = static_cast<PathRecord*>(data);
    if (record == nullptr) return 0;  // the class object has no properties
    const bool folderOnly = member == kIsRootFolder || member == kSubFolders || member == kFiles;
    if (folderOnly && !record->isFolder) return 0;
    if (isSet)
        WriteProperty(context, record, member, *io);
    else
        *io = ReadProperty(context, record, member);
    return 1;
}

const ClassSpec kFileClass = {
    .name = "Folder",
    .alias = "File",
    .text = u"[object Folder]",
    .about =
        "A file or folder by its full path: new File(path) (a path that does not exist "
        "becomes a new folder; null when that fails); names, times, sizes, attributes, "
        "copying, moving, renaming and listing",
    .methods = kMethodNames,
    .method = FileMethod,
    .properties = kPropertyNames,
    .property = FileProperty,
    .call = CallFile,
    .construct = ConstructFile,
    .instanceSize = sizeof(PathRecord),
};

}  // namespace

void RegisterFileClass(ScriptContext* context) { DefineClass(context, kFileClass); }

}  // namespace kelpo
