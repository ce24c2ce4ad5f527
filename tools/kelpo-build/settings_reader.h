// The settings groups of a project file ("version", "appearance",
// "sizeAndPos", "interaction", "behaviour", "misc", "about", and the carried
// "reserved" and "trailing"), read over the builder's defaults.
#pragma once

#include <string>

#include "host/project_settings.h"
#include "tools/kelpo-build/project_fields.h"

namespace kelpo::build {

// The settings of a project that names none: a normal resizable window
// titled with the product name, with minimize, maximize and system-menu
// icons, shown at movie size in the screen centre with show-all scaling;
// playing at once, the context menu's items enabled, Esc exits.
ProjectSettings DefaultSettings(const std::string& productName);

// Reads the settings groups present in `project` into `settings`. Embedded
// files (misc.helpFile, about.picture) are resolved against `projectFolder`
// and must exist. Throws ProjectError.
void ReadSettingsGroups(ObjectFields& project, const std::string& projectFolder,
                        ProjectSettings& settings);

}  // namespace kelpo::build
