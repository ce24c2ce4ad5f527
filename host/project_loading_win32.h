// Start-up steps that read the project out of the executable: the identity,
// the instance folder, the settings (packaged or saved), masks and movies;
// and the exit step that removes what they extracted.
#pragma once

#include <windows.h>

#include "host/project_data.h"

namespace kelpo {

// Fills exePath and the identity from the ID resource; false when the
// resource is missing, too short or does not verify (the projector then
// stops with "Invalid application data").
bool LoadProjectIdentity(ProjectData& project);

// Creates this run's instance folder; false when it cannot be created.
bool PrepareInstanceFolder(ProjectData& project);

// Loads the settings: the user's saved options while the packaged settings
// identity ("CS") is unchanged, else the packaged "ST" (which then becomes
// the saved options).
void LoadProjectSettings(ProjectData& project);

// Stores the settings as the saved options (after the user changed them).
bool SaveProjectSettings(const ProjectData& project);

void LoadProjectMasks(ProjectData& project);
// Loads "ML" unless the list already has entries.
void LoadProjectMovies(ProjectData& project);

// Extracts the about picture once and loads it; null when there is none.
HBITMAP LoadAboutPicture(ProjectData& project);

// Deletes the embedded movies, then the instance folder with everything in it.
void RemoveInstanceFolder(ProjectData& project);

// The title of the projector's message boxes.
std::string MessageTitle(const ProjectData& project);

}  // namespace kelpo
