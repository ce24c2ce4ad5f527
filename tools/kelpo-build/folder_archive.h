// The additional-files tree: a folder on disk read whole into archive
// entries, names in a fixed (sorted) order so the same tree always gives the
// same archive.
#pragma once

#include <string>
#include <vector>

#include "host/additional_files.h"

namespace kelpo::build {

// Folders nest at most this deep (the projector refuses deeper archives).
constexpr int kMaxArchiveDepth = 64;

// The entries of everything below `folder`. Throws ProjectError at
// `fieldPath` when the folder or a file in it cannot be read.
std::vector<ArchiveEntry> ReadFolderTree(const std::string& fieldPath, const std::string& folder);

}  // namespace kelpo::build
