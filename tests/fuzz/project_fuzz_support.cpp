// Scratch folders for the project-store fuzz targets.
#include "tests/fuzz/project_fuzz_support.h"

#include <cstdlib>

#include "platform/files.h"
#include "tests/fuzz/fuzz_support.h"

namespace kelpo::fuzz {

const std::string& ScratchFolder() {
    static const std::string folder = [] {
        std::string path = ScratchPath("-stores");
        if (!CreateFolder(path)) abort();
        return path + kPathSeparator;
    }();
    return folder;
}

void ClearScratchFolder() {
    RemoveFolderTree(ScratchFolder());
    if (!CreateFolder(ScratchFolder())) abort();
}

bool IsInside(const std::string& path, const std::string& folder) {
    if (path.compare(0, folder.size(), folder) != 0) return false;
    // No ".." part below the folder ("a..b" is an ordinary name).
    std::string rest = path.substr(folder.size());
    size_t start = 0;
    while (start <= rest.size()) {
        size_t end = rest.find_first_of("\\/", start);
        if (end == std::string::npos) end = rest.size();
        if (rest.compare(start, end - start, "..") == 0 && end - start == 2) return false;
        start = end + 1;
    }
    return true;
}

}  // namespace kelpo::fuzz
