// The process-wide project record.
#include "host/project_data.h"

#include "host/additional_files.h"

namespace kelpo {

ProjectData& TheProject() {
    static ProjectData project;
    return project;
}

std::string GetAdditionalFile(const std::string& request) {
    const ProjectData& project = TheProject();
    return GetAdditionalFile(project.exePath, project.instanceFolder, request);
}

}  // namespace kelpo
