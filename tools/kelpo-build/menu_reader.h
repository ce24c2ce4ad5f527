// Menus of a project file: a JSON tree of items, each with "name",
// "caption", "icon", the flags by name ("checked", "grayed", "disabled",
// "default", "separator": true) or as a number ("flags"), and "items" for a
// pop-up.
#pragma once

#include <string>
#include <vector>

#include "host/stored_menu.h"
#include "tools/kelpo-build/project_fields.h"

namespace kelpo::build {

// Reads an array of items at `path`. Throws ProjectError.
std::vector<StoredMenuItem> ReadMenuItems(const Json& value, const std::string& path);

}  // namespace kelpo::build
