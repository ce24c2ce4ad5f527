// The movie list and the shape-mask list: any bytes read as far as they
// go, and every file they name or extract stays inside its folder.
#include <cstdlib>

#include "host/movie_list.h"
#include "host/shape_masks.h"
#include "platform/files.h"
#include "tests/fuzz/project_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kelpo;
    fuzz::ClearScratchFolder();
    const std::string& folder = fuzz::ScratchFolder();
    const std::string exeFolder = folder + "exe" + kPathSeparator;
    MovieList list;
    ReadMovieList(data, size, folder, exeFolder, list);
    for (const std::string& path : list.paths)
        if (!fuzz::IsInside(path, folder)) abort();
    if (list.paths.size() > size) abort();
    StartMovieIndex(list);
    DeleteEmbeddedMovies(list);

    std::vector<std::string> names;
    ReadShapeMasks(data, size, folder, names);
    return 0;
}
