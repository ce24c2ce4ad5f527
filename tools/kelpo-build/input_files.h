// Input files named by a project file: paths relative to the project file's
// folder, read whole, with complaints that name the field and the file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kelpo::build {

// `path` made absolute against `projectFolder` (which ends in a separator)
// unless it already is absolute.
std::string ResolveInputPath(const std::string& projectFolder, const std::string& path);

// The file's bytes; ProjectError at `fieldPath` naming the file when it
// cannot be read.
std::vector<uint8_t> ReadInputFile(const std::string& fieldPath, const std::string& filePath);

// The last component of a path (either slash).
std::string BareFileName(const std::string& path);

}  // namespace kelpo::build
