// The Drive class (Windows only): an instance stands for one logical drive
// by its root ("C:\"); the class object lists the drives. Every query asks
// the system afresh, so a drive that goes away answers its failure result.
#include "syslib/classes.h"

#include <windows.h>

#include <cstdio>

#include "platform/file_system.h"
#include "runtime/array.h"
#include "runtime/class_kit.h"
#include "runtime/native_args.h"
#include "runtime/strings.h"

namespace kelpo {
namespace {

struct DriveRecord {
    char root[4];  // letter, ':', '\', NUL
};

enum Property {
    kAvailableSpace,
    kDriveLetter,
    kDriveType,
    kFileSystem,
    kFreeSpace,
    kIsReady,
    kPath,
    kRootFolder,
    kSerialNumber,
    kTotalSize,
    kVolumeName,
    kDrives
};
const MemberRow kPropertyNames[] = {
    {"availableSpace", "Integer, read-only: the bytes free for this user; NaN on failure"},
    {"driveLetter", "String, read-only: the drive's letter, upper case"},
    {"driveType",
     "String, read-only: \"removable\", \"fixed\", \"network\", \"cdrom\", \"ram "
     "disk\", \"no root dir\" or \"unknown\""},
    {"fileSystem", "String, read-only: the file system's name (\"NTFS\"); false on failure"},
    {"freeSpace", "Integer, read-only: the free bytes; NaN on failure"},
    {"isReady", "Boolean, read-only: false only when the drive reports that it is not ready"},
    {"path", "String, read-only: the root: letter, colon and backslash"},
    {"rootFolder", "String, read-only: the root, as path"},
    {"serialNumber", "String, read-only: the volume serial number in decimal; empty on failure"},
    {"totalSize", "Integer, read-only: the drive's size in bytes; NaN on failure"},
    {"volumeName", "String: the volume label (empty on failure); setting it relabels the drive"},
    {"drives", "Array, read-only: the roots of every drive, from A; also on the class"},
};

// By GetDriveTypeA's answer; anything past the table is "unknown".
const char* const kDriveTypeNames[] = {
    "unknown", "no root dir", "removable", "fixed", "network", "cdrom", "ram disk",
};

// Drive(root): a String whose second character is ":" and whose first
// names a present drive; the rest of the text is not looked at.
void ConstructDrive(ScriptContext* context, NativeClass* klass, Value* args, Value* out) {
    *out = MakeNull();
    if (!IsStringArg(args, 1) || args[1].string->length < 2) return;
    const char16_t letter = args[1].string->chars[0];
    if (args[1].string->chars[1] != u':') return;
    int index = -1;
    if (letter >= u'A' && letter <= u'Z') index = letter - u'A';
    if (letter >= u'a' && letter <= u'z') index = letter - u'a';
    if (index < 0 || !(GetLogicalDrives() & (1u << index))) return;
    auto* record = NewInstanceOf<DriveRecord>(context, klass, out);
    std::snprintf(record->root, sizeof record->root, "%c:\\", 'A' + index);
}

void CallDrive(ScriptContext* context, NativeClass* klass, void*, Value* out, Value* args) {
    ConstructDrive(context, klass, args, out);
}

Value DriveList(ScriptContext* context) {
    const DWORD present = GetLogicalDrives();
    Value list = NewArray(context, 0);
    uint64_t count = 0;
    for (int i = 0; i < 26; ++i) {
        if (!(present & (1u << i))) continue;
        char root[4] = {static_cast<char>('A' + i), ':', '\\', 0};
        ArraySet(context, list, AnsiString(context, root), count++);
    }
    list.array->length = count;  // ArraySet leaves the length to its caller
    return list;
}

// One of the three space figures, NaN when the system has none.
Value Space(const DriveRecord* drive, int member) {
    DiskSpace space;
    if (!DiskSpaceOf(drive->root, &space)) return MakeNaN();
    uint64_t bytes = member == kAvailableSpace ? space.availableToCaller
                     : member == kTotalSize    ? space.total
                                               : space.totalFree;
    return MakeInteger(static_cast<int64_t>(bytes));
}

// Only a drive that says "not ready" (an empty floppy or CD drive) is not
// ready; any other failure to open the root leaves it counted as ready.
bool IsReady(const DriveRecord* drive) {
    // No message box for an empty drive while asking.
    const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    HANDLE handle = CreateFileA(drive->root, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_ALWAYS, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    const DWORD error = handle == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    SetErrorMode(oldMode);
    return error != ERROR_NOT_READY;
}

struct VolumeFacts {
    char label[128];
    char fileSystem[128];
    DWORD serial;
};

bool Volume(const DriveRecord* drive, VolumeFacts* facts) {
    DWORD longestName = 0, flags = 0;
    return GetVolumeInformationA(drive->root, facts->label, sizeof facts->label, &facts->serial,
                                 &longestName, &flags, facts->fileSystem,
                                 sizeof facts->fileSystem) != 0;
}

Value ReadDrive(ScriptContext* context, const DriveRecord* drive, int member) {
    VolumeFacts facts = {};
    switch (member) {
        case kAvailableSpace:
        case kFreeSpace:
        case kTotalSize: return Space(drive, member);
        case kDriveLetter: return AnsiString(context, std::string(1, drive->root[0]));
        case kDriveType: {
            const UINT type = GetDriveTypeA(drive->root);
            return NewStringFromCString(context, type < 7 ? kDriveTypeNames[type] : "unknown");
        }
        case kFileSystem:
            if (!Volume(drive, &facts)) return MakeBoolean(false);
            return NewStringFromCString(context, facts.fileSystem);
        case kIsReady: return MakeBoolean(IsReady(drive));
        case kPath:
        case kRootFolder: return NewStringFromCString(context, drive->root);
        case kSerialNumber: {
            if (!Volume(drive, &facts)) return NewStringFromCString(context, "");
            char text[16];
            std::snprintf(text, sizeof text, "%lu", static_cast<unsigned long>(facts.serial));
            return NewStringFromCString(context, text);
        }
        case kVolumeName:
            return NewStringFromCString(context, Volume(drive, &facts) ? facts.label : "");
        case kDrives: return DriveList(context);
    }
    return MakeUndefined();
}

int DriveProperty(ScriptContext* context, NativeClass*, void* data, int member, int isSet,
                  Value* io) {
    auto* drive = static_cast<DriveRecord*>(data);
    if (drive == nullptr) {
        // The class object answers only the list.
        if (member != kDrives) return 0;
        if (!isSet) *io = DriveList(context);
        return 1;
    }
    if (!isSet) {
        *io = ReadDrive(context, drive, member);
    } else if (member == kVolumeName) {
        // Volume labels are short (32 bytes on the widest file system).
        SetVolumeLabelA(drive->root, AnsiOfValue(context, *io, 127).c_str());
    }
    return 1;
}

const ClassSpec kDriveClass = {
    .name = "Drive",
    .text = u"[Object Drive]",
    .about =
        "A logical drive: new Drive(\"C:\") (null when there is no such drive); its type, "
        "file system, label, serial number and space; Drive.drives lists them",
    .properties = kPropertyNames,
    .property = DriveProperty,
    .call = CallDrive,
    .construct = ConstructDrive,
    .instanceSize = sizeof(DriveRecord),
};

}  // namespace

void RegisterDriveClass(ScriptContext* context) { DefineClass(context, kDriveClass); }

}  // namespace kelpo
