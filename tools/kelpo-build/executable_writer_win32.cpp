// The Windows half of a build: resources through BeginUpdateResource /
// UpdateResource / EndUpdateResource, language neutral.
#include "tools/kelpo-build/executable_writer.h"

#include <windows.h>

#include <cstdio>
#include <vector>

#include "platform/files.h"

namespace kelpo::build {

namespace {

std::string SystemMessage(DWORD code) {
    char* text = nullptr;
    DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = length != 0 && text != nullptr ? std::string(text, length)
                                                         : "error " + std::to_string(code);
    if (text != nullptr) LocalFree(text);
    while (!message.empty() &&
           (message.back() == '\n' || message.back() == '\r' || message.back() == '.'))
        message.pop_back();
    return message;
}

const char* NameArgument(const ResourceName& name) {
    return name.text.empty() ? MAKEINTRESOURCEA(name.id) : name.text.c_str();
}

std::string Describe(const PlannedResource& resource) {
    auto part = [](const ResourceName& n) {
        return n.text.empty() ? "#" + std::to_string(n.id) : n.text;
    };
    return part(resource.type) + "/" + part(resource.name);
}

// A temporary name in the output's folder, so the final move is a rename on
// one volume.
std::string TemporaryPathFor(const std::string& outputPath) {
    return outputPath + ".building-" + std::to_string(GetCurrentProcessId()) + ".tmp";
}

bool WriteResources(const std::string& path, const BuildPlan& plan, std::string& error) {
    HANDLE update = BeginUpdateResourceA(path.c_str(), FALSE);
    if (update == nullptr) {
        error = "cannot add resources to \"" + path + "\": " + SystemMessage(GetLastError());
        return false;
    }
    for (const PlannedResource& resource : plan.resources) {
        if (!UpdateResourceA(update, NameArgument(resource.type), NameArgument(resource.name),
                             MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
                             const_cast<uint8_t*>(resource.bytes.data()),
                             static_cast<DWORD>(resource.bytes.size()))) {
            error = "cannot write the resource " + Describe(resource) + ": " +
                    SystemMessage(GetLastError());
            EndUpdateResourceA(update, TRUE);
            return false;
        }
    }
    if (!EndUpdateResourceA(update, FALSE)) {
        error =
            "cannot write the resources into \"" + path + "\": " + SystemMessage(GetLastError());
        return false;
    }
    return true;
}

bool AppendBytes(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error) {
    if (bytes.empty()) return true;
    FILE* file = std::fopen(path.c_str(), "ab");
    bool ok = file != nullptr && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (file != nullptr && std::fclose(file) != 0) ok = false;
    if (!ok) error = "cannot append the additional files to \"" + path + "\"";
    return ok;
}

}  // namespace

bool WriteProjectorExecutable(const std::string& templatePath, const std::string& outputPath,
                              const BuildPlan& plan, std::string& error) {
    std::vector<uint8_t> image;
    if (!FileExists(templatePath) || !ReadWholeFile(templatePath, image)) {
        error = "cannot read the template executable \"" + templatePath + "\"";
        return false;
    }
    if (image.size() < 2 || image[0] != 'M' || image[1] != 'Z') {
        error = "\"" + templatePath + "\" is not a Windows executable";
        return false;
    }
    std::string temporary = TemporaryPathFor(outputPath);
    if (!WriteWholeFile(temporary, image.data(), image.size())) {
        error = "cannot write \"" + outputPath + "\": " + SystemMessage(GetLastError());
        return false;
    }
    bool ok =
        WriteResources(temporary, plan, error) && AppendBytes(temporary, plan.appendix, error);
    if (ok && !MoveFileExA(temporary.c_str(), outputPath.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = "cannot write \"" + outputPath + "\": " + SystemMessage(GetLastError());
        ok = false;
    }
    if (!ok) DeleteFileA(temporary.c_str());
    return ok;
}

}  // namespace kelpo::build
