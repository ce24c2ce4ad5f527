// Movie headers as the host reads them: any bytes give information or a
// refusal, as a movie and as an executable with a movie appended.
#include <cstdlib>

#include "host/movie_info.h"
#include "platform/files.h"
#include "tests/fuzz/project_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kelpo;
    MovieInfo info;
    if (ReadMovieInfo(data, size, info) && info.width != info.right - info.left) abort();
    const std::string path = fuzz::ScratchFolder() + "movie.exe";
    if (!WriteWholeFile(path, data, size)) abort();
    ReadMovieInfoFromFile(path, info);
    return 0;
}
