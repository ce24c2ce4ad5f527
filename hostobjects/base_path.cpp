#include "hostobjects/base_path.h"

#include "host/safe_names.h"
#include "platform/files.h"

namespace kelpo {

bool ChooseBaseFolder(const ProjectData& project, const std::string* argument,
                      std::string& folder) {
    folder.clear();
    if (argument == nullptr) {
        folder = FolderOfPath(project.exePath);
    } else if (SameNameIgnoringCase(*argument, "movies")) {
        const MovieList& movies = project.movies;
        for (size_t i = 0; i < movies.paths.size(); ++i) {
            if (IsMovieAt(movies, i)) {
                folder = FolderOfPath(movies.paths[i]);
                break;
            }
        }
    } else if (SameNameIgnoringCase(*argument, "attachments")) {
        if (!project.instanceFolder.empty()) {
            folder = project.instanceFolder + "_extra" + kPathSeparator;
            if (!CreateFolder(folder)) folder.clear();
        }
    } else if (!argument->empty() && FolderExists(*argument)) {
        folder = *argument;
    }
    return !folder.empty();
}

std::string BasePathUrl(const std::string& folder) {
    std::string url = folder;
    for (char& c : url) {
        if (c == '\\') c = '/';
    }
    if (url.empty() || url.back() != '/') url += '/';
    return "file:///" + url;
}

}  // namespace kelpo
