// The instance folder: a fresh folder per run, named by a GUID, inside the
// temporary folder (TMP, else TEMP, else the Windows directory). Everything
// the projector extracts goes into it; it is removed at exit.
#pragma once

#include <string>

namespace kelpo {

// The folder path for a run: the first usable base (not empty, at most 259
// characters), a backslash when the base does not end in one (a trailing
// slash becomes a backslash), the GUID text and a final backslash.
std::string ComposeInstanceFolder(const std::string& tmp, const std::string& temp,
                                  const std::string& windowsFolder, const std::string& guidText);

#ifdef _WIN32
// Composes the folder from the environment and a new GUID and creates it;
// "" when it cannot be created.
std::string CreateInstanceFolder();
#endif

}  // namespace kelpo
