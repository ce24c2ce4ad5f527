// The identity records of up to four ATA disks, read once with the ATA
// IDENTIFY DEVICE command and kept for the life of the process (Windows
// only).
#pragma once

#include <cstdint>

namespace kelpo {

struct DiskIdentity {
    char model[44];      // identify words 27 to 46
    char serial[24];     // words 10 to 19
    char revision[12];   // words 23 to 26
    char driveType[12];  // "Removable", "Fixed" or "Unknown"
    int32_t bufferSize;  // word 21 times 512
    int32_t cylinders;   // word 1
    int32_t heads;       // word 3
    int32_t sectors;     // word 6: sectors per track
    int32_t valid;       // 1 once filled
};

constexpr int kDiskPositions = 4;

// The process-wide table, by disk position.
DiskIdentity* DiskIdentities();

// Empties every record.
void ForgetDiskIdentities();

// Asks the system for every disk that answers and fills its record. True
// when at least one record was filled.
bool DetectDisks();

// Fills a record from the 256 words of an identify reply.
void FillDiskIdentity(DiskIdentity* record, const uint16_t* words);

}  // namespace kelpo
