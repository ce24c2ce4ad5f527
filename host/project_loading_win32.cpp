// Reading the project out of the executable at start-up.
#include "host/project_loading_win32.h"

#include "host/failure_report.h"
#include "host/host_exceptions.h"
#include "host/instance_folder.h"
#include "host/resources_win32.h"
#include "host/saved_options_win32.h"
#include "host/settings_stream.h"
#include "host/shape_masks.h"
#include "platform/files.h"

namespace kelpo {

namespace {

std::string ExecutablePath() {
    char path[MAX_PATH] = "";
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    return length > 0 && length < sizeof path ? std::string(path, length) : std::string();
}

// The name of the application: the executable's name without extension.
std::string ApplicationName(const std::string& exePath) {
    std::string name = exePath.substr(exePath.find_last_of("\\/") + 1);
    size_t dot = name.find_last_of('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

// Reads a settings stream into the record; false (record zeroed) when the
// stream is damaged.
bool ReadSettings(const std::vector<uint8_t>& stream, ProjectData& project) {
    project.settings = EmptyProjectSettings();
    ByteReader reader = MakeByteReader(stream);
    try {
        ReadSettingsStream(reader, project.settings, project.instanceFolder);
        return true;
    } catch (const CTopBaseException& failure) {
        ReportFailure(failure.what());
        project.settings = EmptyProjectSettings();
        return false;
    }
}

void LoadPackagedSettings(ProjectData& project) {
    std::vector<uint8_t> stream;
    try {
        stream = LoadPackedResource("QANTOR", "ST");
    } catch (const CTopBaseException& failure) {
        ReportFailure(failure.what());
        project.settings = EmptyProjectSettings();
        return;
    }
    if (ReadSettings(stream, project)) SaveProjectSettings(project);
}

}  // namespace

bool LoadProjectIdentity(ProjectData& project) {
    project.exePath = ExecutablePath();
    std::vector<uint8_t> bytes;
    if (!ReadRawResource("QANTOR", "ID", bytes)) return false;
    return ReadIdResource(bytes.data(), bytes.size(), ApplicationName(project.exePath),
                          project.identity);
}

bool PrepareInstanceFolder(ProjectData& project) {
    project.instanceFolder = CreateInstanceFolder();
    return !project.instanceFolder.empty();
}

void LoadProjectSettings(ProjectData& project) {
    project.settings = EmptyProjectSettings();
    std::vector<uint8_t> identity, savedIdentity, saved;
    bool packagedIdentity = ReadRawResource("QANTOR", "CS", identity);
    bool apply = packagedIdentity && ReadSavedValue(project.identity, "crc", savedIdentity) &&
                 savedIdentity == identity;
    if (!apply && packagedIdentity) WriteSavedValue(project.identity, "crc", identity);
    if (apply) apply = ReadSavedValue(project.identity, "Options", saved);
    // Saved options that no longer read fall back to the packaged ones.
    if (apply) apply = ReadSettings(saved, project);
    project.savedOptionsApplied = apply;
    if (!apply) LoadPackagedSettings(project);
}

bool SaveProjectSettings(const ProjectData& project) {
    ByteWriter stream;
    WriteSettingsStream(stream, project.settings);
    return WriteSavedValue(project.identity, "Options", stream);
}

void LoadProjectMasks(ProjectData& project) {
    try {
        std::vector<uint8_t> stream = LoadPackedResource("QANTOR", "RG");
        ReadShapeMasks(stream.data(), stream.size(), project.instanceFolder, project.maskNames);
    } catch (const CTopBaseException& failure) {
        ReportFailure(failure.what());
    }
}

void LoadProjectMovies(ProjectData& project) {
    if (!project.movies.paths.empty()) return;
    try {
        std::vector<uint8_t> stream = LoadPackedResource("QANTOR", "ML");
        ReadMovieList(stream.data(), stream.size(), project.instanceFolder,
                      FolderOfPath(project.exePath), project.movies);
    } catch (const CTopBaseException& failure) {
        ReportFailure(failure.what());
    }
}

HBITMAP LoadAboutPicture(ProjectData& project) {
    if (project.aboutPicturePath.empty()) {
        try {
            std::vector<uint8_t> picture = LoadPackedResource("QANTOR", "BK");
            std::string path = project.instanceFolder + "Qantor.BK";
            if (!WriteWholeFile(path, picture.data(), picture.size())) throw LastErrorException();
            project.aboutPicturePath = path;
        } catch (const CTopBaseException& failure) {
            ReportFailure(failure.what());
            return nullptr;
        }
    }
    return static_cast<HBITMAP>(LoadImageA(nullptr, project.aboutPicturePath.c_str(), IMAGE_BITMAP,
                                           0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
}

void RemoveInstanceFolder(ProjectData& project) {
    DeleteEmbeddedMovies(project.movies);
    if (!project.instanceFolder.empty()) RemoveFolderTree(project.instanceFolder);
}

std::string MessageTitle(const ProjectData& project) {
    if (project.settings.appearance.caption[0]) return project.settings.appearance.caption;
    if (!project.settings.version.productName.empty()) return project.settings.version.productName;
    return ApplicationName(project.exePath);
}

}  // namespace kelpo
