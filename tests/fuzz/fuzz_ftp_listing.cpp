// Directory entries of FTP servers as the Internet library hands them to
// the FTP client: any name buffer, attributes, size and time read within
// the record; listings keep no "." or "..", no separators and no more than
// their limit; lookups and percentages hold for any values.
//
// Input: a path (bytes up to the first NUL), then records of 22 bytes of
// header (attributes, size high, size low: 32 bits each; the last write
// time: 64 bits; the name's length: 16 bits; all little-endian) and the
// name's bytes. A length of 260 or more fills the whole 260-byte buffer.
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "netlib/ftp_listing.h"
#include "netlib/ftp_rules.h"

namespace {

uint64_t Little(const uint8_t* bytes, int count) {
    uint64_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = (value << 8) | bytes[i];
    return value;
}

void Check(bool condition) {
    if (!condition) abort();
}

void CheckPath(const std::string& path) {
    using namespace kelpo;
    const std::string folder = FtpFolderOfPath(path);
    const std::string name = FtpNameOfPath(path);
    Check(path.compare(0, folder.size(), folder) == 0);
    Check(path.compare(folder.size(), name.size(), name) == 0);
    Check(name.find_first_of("/\\") == std::string::npos);
    const std::string host = FtpHostOfText(path);
    Check(host.size() <= path.size());
    Check(path.compare(path.size() - host.size(), host.size(), host) == 0);
    Check(IsSendableFtpText(path) == (path.find_first_of("\r\n") == std::string::npos));
    FtpAccessOfProxy(path);
    if (IsFtpFailureReply(path)) Check(path[0] == '4' || path[0] == '5');
}

void CheckPercent(uint64_t done, uint64_t total) {
    const uint64_t percent = kelpo::FtpPercent(done, total);
    if (total == 0) {
        Check(percent == 100);
        return;
    }
    const unsigned __int128 exact = static_cast<unsigned __int128>(done) * 100 / total;
    Check(exact > UINT64_MAX ? percent == UINT64_MAX : percent == exact);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kelpo;
    const uint8_t* end = static_cast<const uint8_t*>(memchr(data, 0, size));
    const size_t pathLength = end != nullptr ? static_cast<size_t>(end - data) : size;
    const std::string path(reinterpret_cast<const char*>(data), pathLength);
    CheckPath(path);
    size_t pos = end != nullptr ? pathLength + 1 : size;

    FtpListing listing;
    size_t added = 0;
    while (size - pos >= 22) {
        const uint8_t* header = data + pos;
        pos += 22;
        size_t nameLength = static_cast<size_t>(Little(header + 20, 2));
        const bool full = nameLength >= 260;
        if (full) nameLength = 260;
        if (nameLength > size - pos) nameLength = size - pos;
        // The buffer is exactly the record's: a read past it is a finding.
        std::vector<char> buffer(260, 'Z');
        memcpy(buffer.data(), data + pos, nameLength);
        if (!full && nameLength < buffer.size()) buffer[nameLength] = '\0';
        pos += nameLength;

        FtpFindRecord record = {static_cast<uint32_t>(Little(header, 4)),
                                static_cast<uint32_t>(Little(header + 4, 4)),
                                static_cast<uint32_t>(Little(header + 8, 4)),
                                Little(header + 12, 8),
                                buffer.data(),
                                buffer.size()};
        FtpEntry entry;
        CheckPercent(record.lastWrite, record.sizeLow | (uint64_t{record.sizeHigh} << 32));
        if (!ReadFtpEntry(record, &entry)) continue;
        Check(!entry.name.empty() && entry.name.size() <= kMaxFtpName);
        for (unsigned char c : entry.name) Check(c >= 0x20 && c != 0x7F);
        Check(entry.modified == entry.modified && entry.modified >= -11644473600000.0 &&
              entry.modified < 9.3e14);
        const int match = FtpEntryMatch(entry.name, path);
        Check(match >= 0 && match <= 2);
        if (AddToFtpListing(&listing, entry)) ++added;
    }
    Check(listing.files.size() + listing.folders.size() <= added);
    for (const std::vector<std::string>* names : {&listing.files, &listing.folders}) {
        for (const std::string& name : *names) {
            Check(name != "." && name != "..");
            Check(name.find_first_of("/\\") == std::string::npos);
        }
    }
    return 0;
}
