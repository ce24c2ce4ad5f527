// The project file: a JSON document naming the settings and every input of
// a projector (movies, scripts, menus, masks, pictures, icons, the player
// control, support files, the registry location and the additional files).
// docs/project-file.md describes it for users.
#pragma once

#include <string>

#include "tools/kelpo-build/build_input.h"

namespace kelpo::build {

// Reads the project file and every input it names. Throws ProjectError whose
// message starts with the JSON path of the faulty field (without the project
// file's name).
BuildInput ReadProjectFile(const std::string& projectPath);

// The same from text: relative paths resolve against `projectFolder` (which
// ends in a separator) and `defaultProductName` names an unnamed product.
BuildInput ReadProjectText(const std::string& jsonText, const std::string& projectFolder,
                           const std::string& defaultProductName);

}  // namespace kelpo::build
