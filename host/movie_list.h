// The movie list (resource "ML"): u32 flags, u32 count, then per entry a u32
// kind (1 movie, 2 plug-in file), a CountedText file name and, when the files
// are embedded, a u32 length and the file's bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kelpo {

constexpr uint32_t kMovieListRandomStart = 1;
constexpr uint32_t kMovieListEmbedded = 2;
constexpr uint32_t kMovieEntryMovie = 1;
constexpr uint32_t kMovieEntryPlugIn = 2;

struct MovieList {
    uint32_t flags = 0;
    std::vector<std::string> paths;  // full paths, in list order
    std::vector<uint32_t> kinds;     // the entry kind of each path
};

// True when the path at `index` is a movie rather than a plug-in file (a
// path listed without its kind counts as a movie).
inline bool IsMovieAt(const MovieList& list, size_t index) {
    return index >= list.kinds.size() || list.kinds[index] == kMovieEntryMovie;
}

struct MovieListEntry {
    uint32_t kind;
    std::string name;
    std::vector<uint8_t> content;  // written only when the list is embedded
};

// Reads the list from its unpacked stream. Embedded files are written to
// `instanceFolder` (plug-ins to its "Plug_Ins" subfolder); otherwise movies
// are taken from `exeFolder`. A damaged entry is reported and ends the list;
// the entries before it stay.
void ReadMovieList(const uint8_t* bytes, size_t length, const std::string& instanceFolder,
                   const std::string& exeFolder, MovieList& list);
std::vector<uint8_t> WriteMovieList(uint32_t flags, const std::vector<MovieListEntry>& entries);

// The index of the movie to start with: random (seeded from the clock) when
// the list asks for it, else the first.
size_t StartMovieIndex(const MovieList& list);

// Deletes the extracted files of an embedded list (at exit).
void DeleteEmbeddedMovies(const MovieList& list);

}  // namespace kelpo
