// The movie base path of Application.setBasePath: which folder an argument
// names, and the file URL the player's Base property receives for it.
#pragma once

#include <string>

#include "host/project_data.h"

namespace kelpo {

// The folder for setBasePath: no argument gives the executable's folder;
// "movies" (any case) the folder of the first movie of the list;
// "attachments" (any case) the instance folder's "_extra" subfolder,
// created when missing; any other text itself when it names an existing
// folder. False when nothing applies.
bool ChooseBaseFolder(const ProjectData& project, const std::string* argument, std::string& folder);

// "file:///" + the folder with slashes for backslashes and a final slash.
std::string BasePathUrl(const std::string& folder);

}  // namespace kelpo
