// Special folders by name (Windows only): "desktop", "my documents",
// "system", "temp" and the rest of the table in shell_folders_win32.cpp.
#pragma once

#include <string>

namespace kelpo {

// The path of the special folder `name` (any letter case). False for an
// unknown name, for "recycle bin" (a folder with no path), and when the
// system cannot give the path.
bool NamedFolderPath(const std::string& name, std::string* path);

}  // namespace kelpo
