// Checks on file names that come from project stores or from scripts, made
// before any of them touches the disk: no stored or requested name may write
// or read outside the folder it belongs to.
#pragma once

#include <string>
#include <vector>

namespace kelpo {

// A bare file name: not empty, no path separator, no drive or stream colon,
// not "." or "..", and short enough for a path text.
bool IsBareFileName(const std::string& name);

// A relative path inside its base folder: split at either slash, every
// non-empty part a bare file name; not absolute, no drive letter. Leading
// separators are tolerated (they are removed when the path is used). Fills
// `parts` with the non-empty parts when given.
bool IsContainedRelativePath(const std::string& path, std::vector<std::string>* parts = nullptr);

// Compares two ANSI names without regard to ASCII letter case, as resource
// and archive names are compared.
bool SameNameIgnoringCase(const std::string& a, const std::string& b);

}  // namespace kelpo
