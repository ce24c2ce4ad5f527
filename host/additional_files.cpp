// Looking up and extracting additional files; writing the archive.
//
// Lookups read the executable through a file handle and never load the whole
// archive: entries that do not match are skipped by seeking over them, and a
// file is inflated in 4096-byte steps straight to disk.
#include "host/additional_files.h"

#include <zlib.h>

#include <cstdio>

#include "host/byte_stream.h"
#include "host/counted_text.h"
#include "host/failure_report.h"
#include "host/host_exceptions.h"
#include "host/packed_container.h"
#include "host/safe_names.h"
#include "platform/files.h"

namespace kelpo {

namespace {

constexpr size_t kStepSize = 4096;
constexpr int kMaxFolderDepth = 64;

// The executable opened for lookups; every read is checked against the
// range it belongs to.
class ArchiveFile {
public:
    explicit ArchiveFile(const std::string& path) : file_(std::fopen(path.c_str(), "rb")) {
        if (file_ && std::fseek(file_, 0, SEEK_END) == 0) size_ = std::ftell(file_);
    }
    ~ArchiveFile() {
        if (file_) std::fclose(file_);
    }
    ArchiveFile(const ArchiveFile&) = delete;
    ArchiveFile& operator=(const ArchiveFile&) = delete;

    bool IsOpen() const { return file_ && size_ >= 0; }
    long Size() const { return size_; }

    void Read(long position, void* out, size_t count) {
        if (position < 0 || std::fseek(file_, position, SEEK_SET) != 0 ||
            std::fread(out, 1, count, file_) != count)
            throw CTopBaseException("Unexpected end of data");
    }
    uint32_t ReadU32At(long position) {
        uint8_t b[4];
        Read(position, b, 4);
        return LoadU32(b);
    }

private:
    FILE* file_;
    long size_ = -1;
};

// A position inside a listing that may not run past `end`.
struct Cursor {
    long position;
    long end;
};

uint32_t TakeU32(ArchiveFile& file, Cursor& at) {
    if (at.end - at.position < 4) throw CTopBaseException("Unexpected end of data");
    uint32_t value = file.ReadU32At(at.position);
    at.position += 4;
    return value;
}

std::string TakeCountedText(ArchiveFile& file, Cursor& at) {
    uint32_t count = TakeU32(file, at);
    if (count > static_cast<unsigned long>(at.end - at.position) / 2)
        throw CTopBaseException("Unexpected end of data");
    std::vector<uint8_t> bytes(4 + static_cast<size_t>(count) * 2);
    StoreU32(bytes.data(), count);
    if (count) file.Read(at.position, bytes.data() + 4, bytes.size() - 4);
    at.position += static_cast<long>(count) * 2;
    ByteReader reader = MakeByteReader(bytes);
    return ReadCountedText(reader);
}

struct Entry {
    bool folder;
    std::string name;
    Cursor content;
};

// Reads the next entry header; false when the listing is used up or the
// entry's declared size does not fit in what remains.
bool NextEntry(ArchiveFile& file, Cursor& listing, Entry& entry) {
    if (listing.position >= listing.end) return false;
    entry.folder = TakeU32(file, listing) != 0;
    entry.name = TakeCountedText(file, listing);
    uint32_t size = TakeU32(file, listing);
    if (size > static_cast<unsigned long>(listing.end - listing.position)) return false;
    entry.content = Cursor{listing.position, listing.position + static_cast<long>(size)};
    listing.position = entry.content.end;
    return true;
}

// Finds the root listing; false when the executable carries no archive.
bool ReadRootListing(ArchiveFile& file, Cursor& root) {
    long size = file.Size();
    if (size < 8) return false;
    if (file.ReadU32At(size - 4) == 0) return false;
    uint32_t archiveSize = file.ReadU32At(size - 8);
    if (archiveSize > static_cast<unsigned long>(size - 8)) return false;
    Cursor at{size - 8 - static_cast<long>(archiveSize), size - 8};
    uint8_t magic[4];
    if (at.end - at.position < 4) return false;
    file.Read(at.position, magic, 4);
    at.position += 4;
    if (magic[0] != 'S' || magic[1] != 'A' || magic[2] != 'F' || magic[3] != 0) return false;
    if (TakeU32(file, at) == 0) return false;
    if (!SameNameIgnoringCase(TakeCountedText(file, at), "Application")) return false;
    uint32_t listingSize = TakeU32(file, at);
    if (listingSize > static_cast<unsigned long>(at.end - at.position)) return false;
    root = Cursor{at.position, at.position + static_cast<long>(listingSize)};
    return true;
}

// Any mismatch in the trailer or the archive header means there is no archive.
bool FindRootListing(ArchiveFile& file, Cursor& root) {
    try {
        return file.IsOpen() && ReadRootListing(file, root);
    } catch (const CTopBaseException&) {
        return false;
    }
}

// Inflates one file entry to `target` in 4096-byte steps and checks its CRC.
// A file already there is kept as it is.
void ExtractFile(ArchiveFile& file, const Entry& entry, const std::string& target) {
    if (FileExists(target)) return;
    long streamEnd = entry.content.end - 4;
    if (streamEnd < entry.content.position) throw CTopBaseException("Bad compressed data length");
    uint32_t storedCrc = file.ReadU32At(streamEnd);

    FileWriter* out = CreateFileWriter(target);
    if (!out) throw LastErrorException();
    z_stream stream{};
    inflateInit(&stream);
    uint8_t input[kStepSize], output[kStepSize];
    uLong crc = crc32(0L, Z_NULL, 0);
    long position = entry.content.position;
    int code = Z_OK;
    bool written = true;
    try {
        while (code != Z_STREAM_END) {
            if (stream.avail_in == 0) {
                long left = streamEnd - position;
                if (left <= 0) throw CZipException(Z_DATA_ERROR, ZlibErrorMessage(Z_DATA_ERROR));
                size_t step =
                    left < static_cast<long>(kStepSize) ? static_cast<size_t>(left) : kStepSize;
                file.Read(position, input, step);
                position += static_cast<long>(step);
                stream.next_in = input;
                stream.avail_in = static_cast<uInt>(step);
            }
            stream.next_out = output;
            stream.avail_out = kStepSize;
            code = inflate(&stream, Z_NO_FLUSH);
            if (code != Z_OK && code != Z_STREAM_END)
                throw CZipException(code, ZlibErrorMessage(code));
            size_t produced = kStepSize - stream.avail_out;
            crc = crc32(crc, output, static_cast<uInt>(produced));
            written = WriteToFile(out, output, produced) && written;
        }
    } catch (...) {
        inflateEnd(&stream);
        CloseFileWriter(out);
        RemoveFile(target);
        throw;
    }
    inflateEnd(&stream);
    if (!CloseFileWriter(out) || !written) {
        RemoveFile(target);
        throw CTopBaseException("Cannot write " + target);
    }
    if (static_cast<uint32_t>(crc) != storedCrc) {
        RemoveFile(target);
        throw CTopBaseException("CRC error in " + entry.name);
    }
}

void ExtractFolder(ArchiveFile& file, Cursor listing, const std::string& folder, int depth) {
    if (depth > kMaxFolderDepth) throw CTopBaseException("Folder nested too deeply");
    if (!CreateFolder(folder)) throw LastErrorException();
    Entry entry;
    while (NextEntry(file, listing, entry)) {
        if (!IsBareFileName(entry.name))
            throw CTopBaseException("Refused the file name \"" + entry.name + "\"");
        std::string target = folder + kPathSeparator + entry.name;
        if (entry.folder)
            ExtractFolder(file, entry.content, target, depth + 1);
        else
            ExtractFile(file, entry, target);
    }
}

std::string LookUp(ArchiveFile& file, Cursor listing, const std::vector<std::string>& parts,
                   const std::string& instanceFolder) {
    std::string path = instanceFolder + "_extra";
    if (!CreateFolder(path)) throw LastErrorException();
    if (parts.empty()) {
        ExtractFolder(file, listing, path, 0);
        return path + kPathSeparator;
    }
    for (size_t i = 0; i < parts.size(); ++i) {
        bool last = i + 1 == parts.size();
        Entry entry;
        bool found = false;
        while (NextEntry(file, listing, entry)) {
            // A file can only end the path; "a.txt\b" names nothing.
            if (SameNameIgnoringCase(entry.name, parts[i]) && (entry.folder || last)) {
                found = true;
                break;
            }
        }
        if (!found) return std::string();
        // The stored name, so every spelling of a request names one file.
        path += kPathSeparator + entry.name;
        if (!entry.folder) {
            ExtractFile(file, entry, path);
            return path;
        }
        if (last) {
            ExtractFolder(file, entry.content, path, 0);
            return path;
        }
        if (!CreateFolder(path)) throw LastErrorException();
        listing = entry.content;
    }
    return std::string();
}

void WriteListing(ByteWriter& writer, const std::vector<ArchiveEntry>& entries) {
    for (const ArchiveEntry& entry : entries) {
        WriteU32(writer, entry.folder ? 1 : 0);
        WriteCountedText(writer, entry.name);
        ByteWriter content;
        if (entry.folder) {
            WriteListing(content, entry.children);
        } else {
            uLongf bound = compressBound(static_cast<uLong>(entry.content.size()));
            content.resize(bound);
            int code = compress2(content.data(), &bound, entry.content.data(),
                                 static_cast<uLong>(entry.content.size()), Z_BEST_COMPRESSION);
            if (code != Z_OK) throw CZipException(code, ZlibErrorMessage(code));
            content.resize(bound);
            WriteU32(content,
                     static_cast<uint32_t>(
                         crc32(0L, entry.content.data(), static_cast<uInt>(entry.content.size()))));
        }
        WriteU32(writer, static_cast<uint32_t>(content.size()));
        WriteBytes(writer, content.data(), content.size());
    }
}

}  // namespace

std::string GetAdditionalFile(const std::string& exePath, const std::string& instanceFolder,
                              const std::string& request) {
    std::vector<std::string> parts;
    // An empty request (or only separators) names the whole archive.
    const bool whole = request.find_first_not_of("\\/") == std::string::npos;
    if (!whole && !IsContainedRelativePath(request, &parts)) return std::string();
    try {
        ArchiveFile file(exePath);
        Cursor root;
        if (!FindRootListing(file, root)) {
            std::string path = FolderOfPath(exePath);
            for (size_t i = 0; i < parts.size(); ++i)
                path += (i ? std::string(1, kPathSeparator) : "") + parts[i];
            return PathExists(path) ? path : std::string();
        }
        return LookUp(file, root, parts, instanceFolder);
    } catch (const CTopBaseException& failure) {
        ReportFailure(failure.what());
    } catch (const std::bad_alloc&) {
        ReportFailure(ZlibErrorMessage(Z_MEM_ERROR));
    }
    return std::string();
}

std::vector<uint8_t> WriteAdditionalFilesArchive(const std::vector<ArchiveEntry>& root) {
    ByteWriter listing;
    WriteListing(listing, root);
    ByteWriter archive;
    WriteBytes(archive, "SAF", 4);
    WriteU32(archive, 1);
    WriteCountedText(archive, "Application");
    WriteU32(archive, static_cast<uint32_t>(listing.size()));
    WriteBytes(archive, listing.data(), listing.size());
    uint32_t size = static_cast<uint32_t>(archive.size());
    WriteU32(archive, size);
    WriteU32(archive, 1);
    return archive;
}

}  // namespace kelpo
