// Resolving and reading the project's input files.
#include "tools/kelpo-build/input_files.h"

#include "platform/files.h"
#include "tools/kelpo-build/project_error.h"

namespace kelpo::build {

namespace {

bool IsAbsolute(const std::string& path) {
    if (!path.empty() && (path[0] == '/' || path[0] == '\\')) return true;
    return path.size() >= 2 && path[1] == ':' &&
           ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

}  // namespace

std::string ResolveInputPath(const std::string& projectFolder, const std::string& path) {
    return IsAbsolute(path) ? path : projectFolder + path;
}

std::vector<uint8_t> ReadInputFile(const std::string& fieldPath, const std::string& filePath) {
    std::vector<uint8_t> bytes;
    if (FolderExists(filePath))
        throw ProjectError(fieldPath, "\"" + filePath + "\" is a folder, not a file");
    if (!FileExists(filePath)) throw ProjectError(fieldPath, "no such file \"" + filePath + "\"");
    if (!ReadWholeFile(filePath, bytes))
        throw ProjectError(fieldPath, "cannot read \"" + filePath + "\"");
    return bytes;
}

std::string BareFileName(const std::string& path) {
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace kelpo::build
