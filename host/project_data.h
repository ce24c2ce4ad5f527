// The process-wide project record: where the projector runs from, its
// instance folder, registry identity, settings, shape masks and movie list.
// Created at start-up, alive for the whole run.
#pragma once

#include <string>
#include <vector>

#include "host/id_resource.h"
#include "host/movie_list.h"
#include "host/project_settings.h"

namespace kelpo {

struct ProjectData {
    std::string exePath;         // full path of the running executable
    std::string instanceFolder;  // ends in a backslash; "" until created
    ProjectIdentity identity;    // from the ID resource
    ProjectSettings settings;
    bool savedOptionsApplied = false;
    std::vector<std::string> maskNames;
    MovieList movies;
    std::string aboutPicturePath;  // "Qantor.BK" once extracted
};

ProjectData& TheProject();

// The file or folder an additional-files request names, extracted on demand
// into the instance folder; "" when there is none.
std::string GetAdditionalFile(const std::string& request);

}  // namespace kelpo
