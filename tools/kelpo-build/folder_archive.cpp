// Reading a folder tree for the additional-files archive.
#include "tools/kelpo-build/folder_archive.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "tools/kelpo-build/input_files.h"
#include "tools/kelpo-build/project_error.h"

namespace kelpo::build {

namespace {

namespace fs = std::filesystem;

std::vector<ArchiveEntry> ReadListing(const std::string& fieldPath, const fs::path& folder,
                                      int depth) {
    if (depth > kMaxArchiveDepth)
        throw ProjectError(fieldPath, "folders nest deeper than " +
                                          std::to_string(kMaxArchiveDepth) + " levels at \"" +
                                          folder.string() + "\"");
    std::error_code error;
    fs::directory_iterator it(folder, error);
    if (error) throw ProjectError(fieldPath, "cannot list the folder \"" + folder.string() + "\"");
    std::vector<ArchiveEntry> entries;
    for (; it != fs::directory_iterator(); it.increment(error)) {
        const fs::path& path = it->path();
        ArchiveEntry entry;
        entry.name = path.filename().string();
        if (it->is_directory(error)) {
            entry.folder = true;
            entry.children = ReadListing(fieldPath, path, depth + 1);
        } else {
            entry.content = ReadInputFile(fieldPath, path.string());
        }
        entries.push_back(std::move(entry));
    }
    if (error) throw ProjectError(fieldPath, "cannot list the folder \"" + folder.string() + "\"");
    std::sort(entries.begin(), entries.end(),
              [](const ArchiveEntry& a, const ArchiveEntry& b) { return a.name < b.name; });
    return entries;
}

}  // namespace

std::vector<ArchiveEntry> ReadFolderTree(const std::string& fieldPath, const std::string& folder) {
    std::error_code error;
    if (!fs::is_directory(folder, error))
        throw ProjectError(fieldPath, "no such folder \"" + folder + "\"");
    try {
        return ReadListing(fieldPath, fs::path(folder), 1);
    } catch (const ProjectError&) {
        throw;
    } catch (const std::exception& failure) {
        // A name the narrow code page cannot hold, or a folder that changed
        // while it was read.
        throw ProjectError(fieldPath,
                           "cannot read the folder \"" + folder + "\": " + failure.what());
    }
}

}  // namespace kelpo::build
