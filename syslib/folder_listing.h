// Listing a folder for scripts (Folder.files, Folder.subFolders) and the
// walks over whole trees (size and copy).
#pragma once

#include <cstdint>
#include <string>

#include "runtime/context.h"

namespace kelpo {

// A dense Array of the full paths of the files (or the subfolders) directly
// in `folder`, in the order the system gives them; empty when it cannot be
// listed. `patterns`, when a String, keeps only the files whose name
// matches one of its ";"-joined patterns.
Value ListFolderPaths(ScriptContext* context, const std::string& folder, bool wantFolders,
                      const Value* patterns);

// The total size of every file below `folder`, at any depth. A folder met
// again through a link (a loop) counts once.
uint64_t FolderTreeSize(const std::string& folder);

// Copies the tree of `source` into `destination` (created when missing;
// existing files are replaced, existing folders merged). False at the
// first failure, with what was copied so far left in place; false at once,
// with nothing done, when the destination is the source or lies inside it.
bool CopyFolderTree(const std::string& source, const std::string& destination);

}  // namespace kelpo
