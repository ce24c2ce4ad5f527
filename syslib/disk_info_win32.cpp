// The DiskInfo class (Windows only): read-only identity of the ATA disk at
// one of four positions, from the records of disk_identify_win32.cpp.
#include "syslib/classes.h"

#include "runtime/class_kit.h"
#include "runtime/native_args.h"
#include "runtime/strings.h"
#include "syslib/disk_identify.h"

namespace kelpo {
namespace {

struct DiskInfoRecord {
    int32_t position;
};

enum Property {
    kModelNumber,
    kSerialNumber,
    kRevisionNumber,
    kDriveType,
    kBufferSize,
    kCylinders,
    kHeads,
    kSectors
};
const MemberRow kPropertyNames[] = {
    {"modelNumber", "String, read-only: the disk's model"},
    {"serialNumber", "String, read-only: the disk's serial number"},
    {"revisionNumber", "String, read-only: the firmware revision"},
    {"driveType", "String, read-only: \"Removable\", \"Fixed\" or \"Unknown\""},
    {"bufferSize", "Integer, read-only: the disk's buffer size in bytes"},
    {"cylinders", "Integer, read-only: the number of cylinders"},
    {"heads", "Integer, read-only: the number of heads"},
    {"sectors", "Integer, read-only: the sectors per track"},
};

// DiskInfo(n): n an Integer from 0 to 3, 0 when missing. Null when no disk
// at all answers; a position without a disk, when another has one, gives
// an instance of empty texts and zeros.
void ConstructDiskInfo(ScriptContext* context, NativeClass* klass, Value* args, Value* out) {
    *out = MakeNull();
    int64_t position = 0;
    if (HasArg(args, 1)) {
        if (!IsIntegerArg(args, 1)) return;
        position = args[1].integer;
    }
    if (position < 0 || position >= kDiskPositions) return;
    const DiskIdentity& record = DiskIdentities()[position];
    if (!record.valid && !DetectDisks() && !record.valid) return;
    NewInstanceOf<DiskInfoRecord>(context, klass, out)->position = static_cast<int32_t>(position);
}

void CallDiskInfo(ScriptContext* context, NativeClass* klass, void*, Value* out, Value* args) {
    ConstructDiskInfo(context, klass, args, out);
}

Value ReadDiskInfo(ScriptContext* context, const DiskIdentity& disk, int member) {
    switch (member) {
        case kModelNumber: return NewStringFromCString(context, disk.model);
        case kSerialNumber: return NewStringFromCString(context, disk.serial);
        case kRevisionNumber: return NewStringFromCString(context, disk.revision);
        case kDriveType: return NewStringFromCString(context, disk.driveType);
        case kBufferSize: return MakeInteger(disk.bufferSize);
        case kCylinders: return MakeInteger(disk.cylinders);
        case kHeads: return MakeInteger(disk.heads);
        case kSectors: return MakeInteger(disk.sectors);
    }
    return MakeUndefined();
}

// Every property is read-only: writes are accepted and ignored.
int DiskInfoProperty(ScriptContext* context, NativeClass*, void* data, int member, int isSet,
                     Value* io) {
    auto* info = static_cast<DiskInfoRecord*>(data);
    if (info == nullptr) return 0;
    if (!isSet) *io = ReadDiskInfo(context, DiskIdentities()[info->position], member);
    return 1;
}

const ClassSpec kDiskInfoClass = {
    .name = "DiskInfo",
    .text = u"[object DiskInfo]",
    .about =
        "The identity of ATA hard disk n (0-3): new DiskInfo([n]) reads model, serial "
        "number, firmware and geometry; null when n is no Integer 0-3 or no disk answers",
    .properties = kPropertyNames,
    .property = DiskInfoProperty,
    .call = CallDiskInfo,
    .construct = ConstructDiskInfo,
    .instanceSize = sizeof(DiskInfoRecord),
};

}  // namespace

void RegisterDiskInfoClass(ScriptContext* context) {
    ForgetDiskIdentities();
    DefineClass(context, kDiskInfoClass);
}

}  // namespace kelpo
