// Reading and writing the movie list.
#include "host/movie_list.h"

#include <cstdlib>
#include <ctime>

#include "host/byte_stream.h"
#include "host/counted_text.h"
#include "host/failure_report.h"
#include "host/host_exceptions.h"
#include "host/safe_names.h"
#include "platform/files.h"

namespace kelpo {

namespace {

// Reads one embedded entry and extracts it; the target path or "" when the
// name was refused.
std::string ExtractEntry(ByteReader& reader, uint32_t kind, const std::string& name,
                         const std::string& instanceFolder, bool& plugInFolderMade) {
    uint32_t length = ReadU32(reader);
    const uint8_t* content = ReadBytes(reader, length);
    if (!IsBareFileName(name))
        throw CTopBaseException("Refused the movie file name \"" + name + "\"");
    std::string folder = instanceFolder;
    if (kind == kMovieEntryPlugIn) {
        folder += std::string("Plug_Ins") + kPathSeparator;
        if (!plugInFolderMade) {
            CreateFolder(folder);
            plugInFolderMade = true;
        }
    }
    std::string target = folder + name;
    if (!WriteWholeFile(target, content, length)) throw LastErrorException();
    return target;
}

}  // namespace

void ReadMovieList(const uint8_t* bytes, size_t length, const std::string& instanceFolder,
                   const std::string& exeFolder, MovieList& list) {
    ByteReader reader = MakeByteReader(bytes, length);
    try {
        list.flags = ReadU32(reader);
        uint32_t count = ReadU32(reader);
        bool plugInFolderMade = false;
        for (uint32_t i = 0; i < count; ++i) {
            uint32_t kind = ReadU32(reader);
            std::string name = ReadCountedText(reader);
            if (list.flags & kMovieListEmbedded) {
                list.paths.push_back(
                    ExtractEntry(reader, kind, name, instanceFolder, plugInFolderMade));
                list.kinds.push_back(kind);
            } else if (kind == kMovieEntryMovie) {
                if (!IsContainedRelativePath(name))
                    throw CTopBaseException("Refused the movie file name \"" + name + "\"");
                list.paths.push_back(exeFolder + name);
                list.kinds.push_back(kind);
            }
        }
    } catch (const CTopBaseException& failure) {
        ReportFailure(failure.what());
    }
}

std::vector<uint8_t> WriteMovieList(uint32_t flags, const std::vector<MovieListEntry>& entries) {
    ByteWriter writer;
    WriteU32(writer, flags);
    WriteU32(writer, static_cast<uint32_t>(entries.size()));
    for (const MovieListEntry& entry : entries) {
        WriteU32(writer, entry.kind);
        WriteCountedText(writer, entry.name);
        if (flags & kMovieListEmbedded) {
            WriteU32(writer, static_cast<uint32_t>(entry.content.size()));
            WriteBytes(writer, entry.content.data(), entry.content.size());
        }
    }
    return writer;
}

size_t StartMovieIndex(const MovieList& list) {
    if (list.paths.empty() || !(list.flags & kMovieListRandomStart)) return 0;
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    return static_cast<size_t>(std::rand()) % list.paths.size();
}

void DeleteEmbeddedMovies(const MovieList& list) {
    if (!(list.flags & kMovieListEmbedded)) return;
    for (const std::string& path : list.paths) RemoveFile(path);
}

}  // namespace kelpo
