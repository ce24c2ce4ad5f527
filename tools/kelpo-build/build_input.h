// BuildInput: everything a projector executable carries, read from a project
// file and its input files, before any of it is turned into resources.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "host/additional_files.h"
#include "host/movie_list.h"
#include "host/project_settings.h"
#include "host/shape_masks.h"
#include "host/stored_menu.h"

namespace kelpo::build {

struct CompiledScript {
    std::string name;            // resource name, uppercase
    std::vector<uint8_t> image;  // a KS1b image
};

struct StoredMenu {
    std::string name;  // resource name, uppercase
    std::vector<StoredMenuItem> items;
};

// An icon file's content, checked to be a well-formed .ico.
struct IconInput {
    uint16_t groupId;
    std::vector<uint8_t> icoFile;
};

// The support DLLs, in resource order "$1".."$4".
constexpr std::array<const char*, 4> kSupportFileNames = {"MSVCRT.DLL", "OLEAUT32.DLL",
                                                          "URLMON.DLL", "WININET.DLL"};

struct OptionalFile {
    bool present = false;
    std::vector<uint8_t> content;
};

struct BuildInput {
    ProjectSettings settings;
    uint32_t movieListFlags = 0;
    std::vector<MovieListEntry> movies;
    std::vector<ShapeMask> masks;
    std::vector<CompiledScript> scripts;
    std::vector<StoredMenu> menus;
    std::vector<IconInput> icons;
    OptionalFile aboutPicture;
    OptionalFile player;
    std::array<OptionalFile, kSupportFileNames.size()> support;
    std::string registryText;
    bool hasAdditionalFiles = false;
    std::vector<ArchiveEntry> additionalFiles;
};

}  // namespace kelpo::build
