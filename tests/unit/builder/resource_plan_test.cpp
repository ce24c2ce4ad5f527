// Planned resources: names and types, packing, the settings identity, the
// fixed support slots, icons and the appended archive.
#include <gtest/gtest.h>

#include <map>

#include "host/byte_stream.h"
#include "host/id_resource.h"
#include "host/packed_container.h"
#include "tests/unit/builder/builder_test_support.h"
#include "tools/kelpo-build/icon_file.h"
#include "tools/kelpo-build/resource_plan.h"
#include "tools/kelpo-build/settings_reader.h"

namespace kelpo::test {
namespace {

using namespace build;

std::string Key(const ResourceName& type, const ResourceName& name) {
    auto part = [](const ResourceName& n) {
        return n.text.empty() ? "#" + std::to_string(n.id) : n.text;
    };
    return part(type) + "/" + part(name);
}

std::map<std::string, std::vector<uint8_t>> ByKey(const BuildPlan& plan) {
    std::map<std::string, std::vector<uint8_t>> resources;
    for (const PlannedResource& r : plan.resources) {
        EXPECT_TRUE(resources.emplace(Key(r.type, r.name), r.bytes).second)
            << "twice: " << Key(r.type, r.name);
    }
    return resources;
}

std::vector<uint8_t> Unpacked(const std::vector<uint8_t>& packed) {
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(UnpackContainer(packed.data(), packed.size(), bytes));
    return bytes;
}

BuildInput SmallInput() {
    BuildInput input;
    input.settings = DefaultSettings("Tour");
    input.movieListFlags = kMovieListEmbedded;
    input.movies = {{kMovieEntryMovie, "intro.swf", {1, 2}}};
    input.scripts = {{"INITIALIZE", {9, 9}}};
    input.menus = {{"MAIN", {StoredMenuItem{0, "open", "Open", "", {}}}}};
    input.registryText = "Acme/Tour";
    return input;
}

TEST(ResourcePlanTest, EveryStoreHasItsUppercaseTypeAndName) {
    std::map<std::string, std::vector<uint8_t>> resources = ByKey(PlanBuild(SmallInput()));
    std::vector<std::string> keys;
    for (const auto& entry : resources) keys.push_back(entry.first);
    EXPECT_EQ((std::vector<std::string>{"KELPO/INITIALIZE", "MENUS/MAIN", "QANTOR/CS", "QANTOR/ID",
                                        "QANTOR/ML", "QANTOR/RG", "QANTOR/ST", "SUPPORT/$1",
                                        "SUPPORT/$2", "SUPPORT/$3", "SUPPORT/$4"}),
              keys);
    EXPECT_EQ((std::vector<uint8_t>{9, 9}), Unpacked(resources["KELPO/INITIALIZE"]));
    EXPECT_EQ(WriteStoredMenu(SmallInput().menus[0].items), Unpacked(resources["MENUS/MAIN"]));
    EXPECT_EQ(WriteMovieList(kMovieListEmbedded, SmallInput().movies),
              Unpacked(resources["QANTOR/ML"]));
    EXPECT_EQ(WriteShapeMasks({}), Unpacked(resources["QANTOR/RG"]));  // written even without masks
    EXPECT_EQ(SettingsStreamOf(SmallInput().settings), Unpacked(resources["QANTOR/ST"]));
    ProjectIdentity identity;
    const std::vector<uint8_t>& id = resources["QANTOR/ID"];
    ASSERT_TRUE(ReadIdResource(id.data(), id.size(), "app", identity));
    EXPECT_EQ("Acme", identity.key);
    EXPECT_EQ("Tour", identity.profile);
    for (const char* slot : {"SUPPORT/$1", "SUPPORT/$2", "SUPPORT/$3", "SUPPORT/$4"})
        EXPECT_EQ(1u, resources[slot].size()) << slot;
}

TEST(ResourcePlanTest, OptionalStoresAppearWhenGiven) {
    BuildInput input = SmallInput();
    input.aboutPicture = {true, Bytes("BMP")};
    input.player = {true, Bytes("OCX")};
    input.support[1] = {true, Bytes("OLE")};
    input.masks = {{"round", Bytes("MASK")}};
    std::map<std::string, std::vector<uint8_t>> resources = ByKey(PlanBuild(input));
    EXPECT_EQ(Bytes("BMP"), Unpacked(resources["QANTOR/BK"]));
    EXPECT_EQ(Bytes("OCX"), Unpacked(resources["QANTOR/FP"]));
    EXPECT_EQ(Bytes("OLE"), Unpacked(resources["SUPPORT/$2"]));
    EXPECT_EQ(WriteShapeMasks(input.masks), Unpacked(resources["QANTOR/RG"]));
}

TEST(ResourcePlanTest, TheSettingsIdentityFollowsEverySettingsChange) {
    BuildInput input = SmallInput();
    std::vector<uint8_t> first = ByKey(PlanBuild(input))["QANTOR/CS"];
    EXPECT_EQ(16u, first.size());
    EXPECT_EQ(first, ByKey(PlanBuild(input))["QANTOR/CS"]);
    input.settings.sizeAndPos.width = 641;
    EXPECT_NE(first, ByKey(PlanBuild(input))["QANTOR/CS"]);
    input = SmallInput();
    input.movies[0].content = {7};  // not a setting: the identity stays
    EXPECT_EQ(first, ByKey(PlanBuild(input))["QANTOR/CS"]);
}

TEST(ResourcePlanTest, IconsBecomeImagesAndAGroupWithIdsClearOfTheTemplates) {
    BuildInput input = SmallInput();
    input.icons = {{128, MakeIcoFile({4, 6})}, {198, MakeIcoFile({5})}};
    std::map<std::string, std::vector<uint8_t>> resources = ByKey(PlanBuild(input));
    EXPECT_EQ(std::vector<uint8_t>(4, 1), resources["#3/#12800"]);
    EXPECT_EQ(std::vector<uint8_t>(6, 2), resources["#3/#12801"]);
    EXPECT_EQ(std::vector<uint8_t>(5, 1), resources["#3/#19800"]);
    const std::vector<uint8_t>& group = resources["#14/#128"];
    ASSERT_EQ(6u + 2 * 14, group.size());
    EXPECT_EQ(12800, group[6 + 12] | group[6 + 13] << 8);
    EXPECT_EQ(12801, group[6 + 14 + 12] | group[6 + 14 + 13] << 8);
    EXPECT_EQ(1u, resources.count("#14/#198"));
}

TEST(ResourcePlanTest, TheArchiveIsAppendedOnlyWhenThereAreAdditionalFiles) {
    BuildInput input = SmallInput();
    EXPECT_TRUE(PlanBuild(input).appendix.empty());
    input.hasAdditionalFiles = true;
    input.additionalFiles = {ArchiveEntry{false, "a.txt", Bytes("A"), {}}};
    EXPECT_EQ(WriteAdditionalFilesArchive(input.additionalFiles), PlanBuild(input).appendix);
}

}  // namespace
}  // namespace kelpo::test
