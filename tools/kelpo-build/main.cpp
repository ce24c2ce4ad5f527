// kelpo-build: makes a projector executable from a project file.
//
//   kelpo-build PROJECT.json [-o OUTPUT.exe] [--template PROJECTOR.exe]
//
// The output defaults to the project file's name with ".exe"; the template
// to kelpo-projector.exe beside kelpo-build.exe. A failure is one line on
// standard error and exit status 1 (2 for a wrong command line), and leaves
// no output behind.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "platform/files.h"
#include "tools/kelpo-build/executable_writer.h"
#include "tools/kelpo-build/input_files.h"
#include "tools/kelpo-build/project_error.h"
#include "tools/kelpo-build/project_reader.h"
#include "tools/kelpo-build/resource_plan.h"

namespace {

using namespace kelpo::build;

const char kUsage[] =
    "usage: kelpo-build PROJECT.json [-o OUTPUT.exe] [--template PROJECTOR.exe]\n"
    "Builds a projector executable from a project file (see docs/project-file.md).\n"
    "  -o OUTPUT.exe          the executable to write (default: PROJECT with .exe)\n"
    "  --template FILE.exe    the projector to copy (default: kelpo-projector.exe\n"
    "                         beside kelpo-build.exe)\n";

std::string DefaultTemplatePath() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return "kelpo-projector.exe";
    return kelpo::FolderOfPath(path) + "kelpo-projector.exe";
}

std::string DefaultOutputPath(const std::string& projectPath) {
    std::string output = projectPath;
    size_t dot = output.find_last_of('.');
    size_t slash = output.find_last_of("\\/");
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) output.resize(dot);
    return output + ".exe";
}

int Build(int argc, char** argv) {
    std::string project, output, templatePath;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            fputs(kUsage, stdout);
            return 0;
        }
        bool takesValue = std::strcmp(arg, "-o") == 0 || std::strcmp(arg, "--template") == 0;
        if (takesValue && i + 1 >= argc) {
            fprintf(stderr, "kelpo-build: %s needs a file name\n", arg);
            return 2;
        }
        if (std::strcmp(arg, "-o") == 0)
            output = argv[++i];
        else if (std::strcmp(arg, "--template") == 0)
            templatePath = argv[++i];
        else if (arg[0] == '-') {
            fprintf(stderr, "kelpo-build: unknown option %s\n", arg);
            return 2;
        } else if (project.empty())
            project = arg;
        else {
            fputs("kelpo-build: only one project file\n", stderr);
            return 2;
        }
    }
    if (project.empty()) {
        fputs(kUsage, stderr);
        return 2;
    }
    if (output.empty()) output = DefaultOutputPath(project);
    if (templatePath.empty()) templatePath = DefaultTemplatePath();

    BuildPlan plan;
    try {
        plan = PlanBuild(ReadProjectFile(project));
    } catch (const ProjectError& error) {
        fprintf(stderr, "%s: %s\n", project.c_str(), error.what());
        return 1;
    }
    std::string error;
    if (!WriteProjectorExecutable(templatePath, output, plan, error)) {
        fprintf(stderr, "kelpo-build: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return Build(argc, argv);
    } catch (const std::exception& error) {
        // Out of memory or a store too large for its format.
        fprintf(stderr, "kelpo-build: %s\n", error.what());
        return 1;
    }
}
