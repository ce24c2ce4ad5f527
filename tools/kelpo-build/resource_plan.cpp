// Planning the resources: every packed store goes through PackContainer,
// the identity and ID resources stay raw.
#include "tools/kelpo-build/resource_plan.h"

#include "host/id_resource.h"
#include "host/packed_container.h"
#include "host/settings_stream.h"
#include "tools/kelpo-build/icon_file.h"

namespace kelpo::build {

namespace {

void Add(BuildPlan& plan, const char* type, const std::string& name, std::vector<uint8_t> bytes) {
    plan.resources.push_back({{type, 0}, {name, 0}, std::move(bytes)});
}

void AddIcons(BuildPlan& plan, const IconInput& icon) {
    IconResources parts;
    std::string reason;
    // The reader checked the file already; a file that no longer splits is skipped.
    if (!SplitIconFile(icon.icoFile, static_cast<uint16_t>(icon.groupId * kIconIdsPerGroup), parts,
                       reason))
        return;
    for (IconImage& image : parts.images)
        plan.resources.push_back({{"", kResourceTypeIcon}, {"", image.id}, std::move(image.bytes)});
    plan.resources.push_back(
        {{"", kResourceTypeGroupIcon}, {"", icon.groupId}, std::move(parts.group)});
}

}  // namespace

std::vector<uint8_t> SettingsStreamOf(const ProjectSettings& settings) {
    ByteWriter stream;
    WriteSettingsStream(stream, settings);
    return stream;
}

BuildPlan PlanBuild(const BuildInput& input) {
    BuildPlan plan;
    std::vector<uint8_t> settings = SettingsStreamOf(input.settings);
    Add(plan, "QANTOR", "ST", PackContainer(settings));
    Add(plan, "QANTOR", "CS", ComputeSettingsIdentity(settings));
    Add(plan, "QANTOR", "ML", PackContainer(WriteMovieList(input.movieListFlags, input.movies)));
    Add(plan, "QANTOR", "RG", PackContainer(WriteShapeMasks(input.masks)));
    Add(plan, "QANTOR", "ID", WriteIdResource(input.registryText));
    if (input.aboutPicture.present)
        Add(plan, "QANTOR", "BK", PackContainer(input.aboutPicture.content));
    if (input.player.present) Add(plan, "QANTOR", "FP", PackContainer(input.player.content));
    for (const CompiledScript& script : input.scripts)
        Add(plan, "KELPO", script.name, PackContainer(script.image));
    for (const StoredMenu& menu : input.menus)
        Add(plan, "MENUS", menu.name, PackContainer(WriteStoredMenu(menu.items)));
    for (size_t i = 0; i < input.support.size(); ++i) {
        // An absent support file is a single byte (it fails to unpack as too
        // short, which the projector takes as "not supplied"), so every slot exists.
        const OptionalFile& file = input.support[i];
        Add(plan, "SUPPORT", "$" + std::to_string(i + 1),
            file.present && !file.content.empty() ? PackContainer(file.content)
                                                  : std::vector<uint8_t>{0});
    }
    for (const IconInput& icon : input.icons) AddIcons(plan, icon);
    if (input.hasAdditionalFiles)
        plan.appendix = WriteAdditionalFilesArchive(input.additionalFiles);
    return plan;
}

}  // namespace kelpo::build
