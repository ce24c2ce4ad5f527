// The additional-files archive appended to the executable. From the end of
// the file: a u32 present flag, a u32 archive size S, and S bytes before them
// starting with "SAF\0", a non-zero u32 version, the CountedText root name
// "Application", the u32 size of the root listing and the listing.
//
// A listing is a run of entries filling exactly its size: u32 is-folder,
// CountedText name, u32 size, then the content: for a folder a listing, for
// a file its zlib stream followed by the u32 CRC-32 of the file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kelpo {

struct ArchiveEntry {
    bool folder = false;
    std::string name;
    std::vector<uint8_t> content;        // files: the uncompressed bytes
    std::vector<ArchiveEntry> children;  // folders
};

// Finds `request` (either slash, any letter case) in the archive appended to
// `exePath` and extracts it below instanceFolder + "_extra". A file gives
// the extracted file's path; a folder is extracted whole and gives the
// folder's path; an empty request extracts the whole archive and gives the
// "_extra" folder (with its final separator). Without an archive the file
// or folder beside the executable is returned when it exists (the
// executable's folder for an empty request). "" when nothing is found, the
// request would leave its folder, or extraction fails (a file whose CRC
// does not match is deleted again).
std::string GetAdditionalFile(const std::string& exePath, const std::string& instanceFolder,
                              const std::string& request);

// The bytes to append to an executable: the archive with its trailer.
std::vector<uint8_t> WriteAdditionalFilesArchive(const std::vector<ArchiveEntry>& root);

}  // namespace kelpo
