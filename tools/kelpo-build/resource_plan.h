// The resources of a projector executable, planned from a BuildInput
// without touching any file: the portable half of a build, so that what
// goes into an executable is tested on every platform.
//
// Type and resource names are text in uppercase (resource lookup compares
// names without case only because they are stored uppercase); icons use
// the numeric types and ids Windows looks them up by.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/kelpo-build/build_input.h"

namespace kelpo::build {

struct ResourceName {
    std::string text;  // used when not numeric
    uint16_t id = 0;   // used when text is empty
};

struct PlannedResource {
    ResourceName type;
    ResourceName name;
    std::vector<uint8_t> bytes;
};

struct BuildPlan {
    std::vector<PlannedResource> resources;
    std::vector<uint8_t> appendix;  // bytes appended to the file after the resources
};

// Icon images are numbered from groupId * kIconIdsPerGroup, clear of the
// low ids a template's own icons use.
constexpr uint16_t kIconIdsPerGroup = 100;

BuildPlan PlanBuild(const BuildInput& input);

// The settings stream of a BuildInput's settings (before packing).
std::vector<uint8_t> SettingsStreamOf(const ProjectSettings& settings);

}  // namespace kelpo::build
