// Reading the ATA identify records through the two driver interfaces a
// process may use: the SMART interface of the physical drives and the SCSI
// miniport of the disk controllers. Both need administrator rights; where
// the system refuses (or, as under Wine, has neither) nothing is filled.
//
// Direct access to the controller's ports is not attempted: it needs port
// rights no ordinary process has (a port driver on the NT family), and
// without them it finds nothing.
//
// The records exchanged with the drivers are laid out here, packed as the
// system defines them, so their sizes do not depend on the headers of the
// compiler at hand; the static_asserts pin them.
#include "syslib/disk_identify.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

namespace kelpo {
namespace {

constexpr DWORD kSmartGetVersion = 0x74080;
constexpr DWORD kSmartReceiveDriveData = 0x7C088;
constexpr DWORD kScsiMiniport = 0x4D008;
constexpr DWORD kMiniportIdentify = 0x1B0501;
constexpr BYTE kIdentifyDevice = 0xEC;
constexpr BYTE kIdentifyPacketDevice = 0xA1;
constexpr DWORD kIdentifyBytes = 512;

#pragma pack(push, 1)
struct SmartVersion {
    BYTE version;
    BYTE revision;
    BYTE reserved;
    BYTE ideDeviceMap;
    DWORD capabilities;
    DWORD reserved2[4];
};

struct AtaRegisters {
    BYTE features;
    BYTE sectorCount;
    BYTE sectorNumber;
    BYTE cylinderLow;
    BYTE cylinderHigh;
    BYTE driveHead;
    BYTE command;
    BYTE reserved;
};

// The command block without its one-byte data buffer.
struct SendCommandIn {
    DWORD bufferSize;
    AtaRegisters registers;
    BYTE driveNumber;
    BYTE reserved[3];
    DWORD reserved2[4];
};

struct SendCommandOutHeader {
    DWORD bufferSize;
    BYTE driverError;
    BYTE ideError;
    BYTE reserved[2];
    DWORD reserved2[2];
};

struct SmartReply {
    SendCommandOutHeader header;
    BYTE data[kIdentifyBytes];
};

struct SrbIoControl {
    ULONG headerLength;
    char signature[8];
    ULONG timeout;
    ULONG controlCode;
    ULONG returnCode;
    ULONG length;
};

struct MiniportRequest {
    SrbIoControl control;
    SendCommandIn command;
};

// The reply's length counts the one-byte buffer the system's record ends in.
struct MiniportReply {
    SrbIoControl control;
    SendCommandOutHeader header;
    BYTE data[kIdentifyBytes];
    BYTE pad;
};
#pragma pack(pop)

static_assert(sizeof(SmartVersion) == 24, "GETVERSIONINPARAMS");
static_assert(sizeof(SendCommandIn) == 32, "SENDCMDINPARAMS without its buffer");
static_assert(sizeof(SmartReply) == 528, "SENDCMDOUTPARAMS with the identify data");
static_assert(sizeof(SrbIoControl) == 28, "SRB_IO_CONTROL");
static_assert(sizeof(MiniportRequest) == 60, "miniport identify request");
static_assert(sizeof(MiniportReply) == 557, "miniport identify reply");

DiskIdentity gDisks[kDiskPositions];

// Closes a handle when the scope ends.
struct Handle {
    HANDLE h;
    ~Handle() {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
};

HANDLE OpenDevice(const char* name) {
    return CreateFileA(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       nullptr, OPEN_EXISTING, 0, nullptr);
}

void WordsOf(const BYTE* bytes, uint16_t* words) {
    for (int i = 0; i < 256; ++i)
        words[i] = static_cast<uint16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
}

bool ReadBySmart(int position) {
    char name[32];
    std::snprintf(name, sizeof name, "\\\\.\\PhysicalDrive%d", position);
    Handle device{OpenDevice(name)};
    if (device.h == INVALID_HANDLE_VALUE) return false;
    SmartVersion version = {};
    DWORD returned = 0;
    if (!DeviceIoControl(device.h, kSmartGetVersion, nullptr, 0, &version, sizeof version,
                         &returned, nullptr) ||
        version.ideDeviceMap == 0) {
        return false;
    }
    SendCommandIn in = {};
    in.bufferSize = kIdentifyBytes;
    in.registers.sectorCount = 1;
    in.registers.sectorNumber = 1;
    in.registers.driveHead = static_cast<BYTE>(0xA0 | ((position & 1) << 4));
    in.registers.command =
        (version.ideDeviceMap >> (4 + position)) & 1 ? kIdentifyPacketDevice : kIdentifyDevice;
    in.driveNumber = static_cast<BYTE>(position);
    SmartReply reply = {};
    if (!DeviceIoControl(device.h, kSmartReceiveDriveData, &in, sizeof in, &reply, sizeof reply,
                         &returned, nullptr)) {
        return false;
    }
    uint16_t words[256];
    WordsOf(reply.data, words);
    FillDiskIdentity(&gDisks[position], words);
    return true;
}

bool ReadByMiniport(int controller, int target) {
    char name[32];
    std::snprintf(name, sizeof name, "\\\\.\\Scsi%d:", controller);
    Handle device{OpenDevice(name)};
    if (device.h == INVALID_HANDLE_VALUE) return false;
    // One buffer carries the request in and the reply out.
    union {
        MiniportRequest request;
        MiniportReply reply;
    } buffer;
    std::memset(&buffer, 0, sizeof buffer);
    SrbIoControl& control = buffer.request.control;
    control.headerLength = sizeof(SrbIoControl);
    std::memcpy(control.signature, "SCSIDISK", 8);
    control.timeout = 10000;
    control.controlCode = kMiniportIdentify;
    control.length = sizeof(MiniportReply) - sizeof(SrbIoControl);
    buffer.request.command.registers.command = kIdentifyDevice;
    buffer.request.command.driveNumber = static_cast<BYTE>(target);
    DWORD returned = 0;
    if (!DeviceIoControl(device.h, kScsiMiniport, &buffer, sizeof(MiniportRequest), &buffer,
                         sizeof(MiniportReply), &returned, nullptr)) {
        return false;
    }
    uint16_t words[256];
    WordsOf(buffer.reply.data, words);
    if ((words[27] & 0xFF) == 0) return false;  // no model: no disk there
    FillDiskIdentity(&gDisks[target + 2 * controller], words);
    return true;
}

// Each string field takes its words high byte first; trailing blanks go,
// but never the first character.
void CopyIdentifyText(char* out, size_t capacity, const uint16_t* words, int first, int last) {
    size_t n = 0;
    for (int w = first; w <= last && n + 2 < capacity; ++w) {
        out[n++] = static_cast<char>(words[w] >> 8);
        out[n++] = static_cast<char>(words[w] & 0xFF);
    }
    out[n] = '\0';
    for (size_t end = std::strlen(out); end > 1 && out[end - 1] == ' '; --end) out[end - 1] = '\0';
}

}  // namespace

DiskIdentity* DiskIdentities() { return gDisks; }

void ForgetDiskIdentities() { std::memset(gDisks, 0, sizeof gDisks); }

void FillDiskIdentity(DiskIdentity* record, const uint16_t* words) {
    CopyIdentifyText(record->model, sizeof record->model, words, 27, 46);
    CopyIdentifyText(record->serial, sizeof record->serial, words, 10, 19);
    CopyIdentifyText(record->revision, sizeof record->revision, words, 23, 26);
    const char* type = (words[0] & 0x80) ? "Removable" : (words[0] & 0x40) ? "Fixed" : "Unknown";
    std::snprintf(record->driveType, sizeof record->driveType, "%s", type);
    record->bufferSize = words[21] * 512;
    record->cylinders = words[1];
    record->heads = words[3];
    record->sectors = words[6];
    record->valid = 1;
}

bool DetectDisks() {
    // No message box from a device that is not ready while asking.
    const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    bool found = false;
    for (int position = 0; position < kDiskPositions; ++position) found |= ReadBySmart(position);
    if (!found) {
        for (int controller = 0; controller < 2; ++controller) {
            for (int target = 0; target < 2; ++target) found |= ReadByMiniport(controller, target);
        }
    }
    SetErrorMode(oldMode);
    return found;
}

}  // namespace kelpo
