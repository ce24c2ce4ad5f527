// Scratch folders for the project-store fuzz targets: readers that extract
// files write them into a private folder, emptied after every input.
#pragma once

#include <string>

namespace kelpo::fuzz {

// A private folder (ending in the separator), created on first use.
const std::string& ScratchFolder();
// Removes everything the last input left in the scratch folder.
void ClearScratchFolder();
// True when `path` lies inside `folder`: it starts with the folder and no
// part below it is "..".
bool IsInside(const std::string& path, const std::string& folder);

}  // namespace kelpo::fuzz
