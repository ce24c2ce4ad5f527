// Variables from the host side: slash and dot paths, members of objects and
// arrays, variables given at load, and properties by index.
#include <gtest/gtest.h>

#include "tests/unit/player/player_test_support.h"

namespace kelpo::player::testing {
namespace {

// _root has `list` = [10, 20, 30], `obj` = {name: "kelpo"}, `count` = 5 and a
// clip "clip" (with variable `inner`) holding a clip "sub".
std::vector<uint8_t> VariablesMovie(int version = 6) {
    movies::MovieHeader header;
    header.version = static_cast<uint8_t>(version);
    movies::MovieBuilder movie(header);
    uint16_t box = movie.Shape(movies::RectangleShape(0, 0, 100, 100, 0x00FF00));
    movies::TimelineBuilder sub;
    sub.Place(1, box).ShowFrame();
    uint16_t subId = movie.Sprite(sub);
    movies::TimelineBuilder clip;
    clip.Place(1, subId, "sub").Actions("push 'inner', 'in clip'; setVariable").ShowFrame();
    uint16_t clipId = movie.Sprite(clip);
    movie.PlaceAt(1, clipId, movies::Translate(300, 500), "clip");
    movie.Actions(
        "push 'list', 30, 20, 10, 3; initArray; setVariable; "
        "push 'obj', 'name', 'kelpo', 1; initObject; setVariable; push 'count', 5; setVariable");
    movie.ShowFrame();
    return movie.Bytes();
}

TEST(VariablesTest, GetVariableReadsPathsAndMembers) {
    PlayerFixture fixture;
    ASSERT_TRUE(fixture.Load(VariablesMovie()));
    const struct {
        const char* name;
        const char* value;
    } cases[] = {
        {"count", "5"},
        {"/:count", "5"},
        {"_root.count", "5"},
        {"_level0.count", "5"},
        {"list", "10,20,30"},
        {"list.length", "3"},
        {"list[2]", "30"},
        {"_root.list[0]", "10"},
        {"obj.name", "kelpo"},
        {"obj['name']", "kelpo"},
        {"/clip:inner", "in clip"},
        {"clip:inner", "in clip"},
        {"_root.clip.inner", "in clip"},
        {"clip", "_level0.clip"},
        {"/clip/sub", "_level0.clip.sub"},
        {"_root.clip._x", "15"},
        {"/clip:_name", "clip"},
        {"missing", "<missing>"},
        {"obj.missing", "<missing>"},
        {"/nowhere:count", "<missing>"},
        {"list[7]", "<missing>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.value, fixture.Var(c.name));
    }
}

TEST(VariablesTest, SetVariableWritesWhereThePathPoints) {
    PlayerFixture fixture;
    ASSERT_TRUE(fixture.Load(VariablesMovie()));
    const struct {
        const char* set;
        const char* get;
    } cases[] = {
        {"fresh", "fresh"},
        {"/:slashed", "slashed"},
        {"/clip:inner", "_root.clip.inner"},
        {"_root.clip.sub.deep", "/clip/sub:deep"},
        {"obj.name", "obj.name"},
        {"list[1]", "list[1]"},
        {"clip._x", "/clip:_x"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.set);
        ASSERT_TRUE(SetVariable(fixture.get(), c.set, "42"));
        EXPECT_EQ("42", fixture.Var(c.get));
    }
    EXPECT_EQ("10,42,30", fixture.Var("list"));
}

TEST(VariablesTest, NamesIgnoreLetterCaseBeforeVersionSeven) {
    for (int version : {6, 7}) {
        SCOPED_TRACE(version);
        PlayerFixture fixture;
        ASSERT_TRUE(fixture.Load(VariablesMovie(version)));
        EXPECT_EQ(version < 7 ? "5" : "<missing>", fixture.Var("COUNT"));
    }
}

TEST(VariablesTest, LoadVariablesBecomeRootVariablesBeforeTheFirstFrame) {
    PlayerFixture fixture;
    SetFlashVars(fixture.get(), "user=Ann+Lee&city=K%C3%B6ln&empty=");
    ASSERT_TRUE(fixture.Load(ScriptMovie("push 'user'; getVariable; trace")));
    EXPECT_EQ((std::vector<std::string>{"Ann Lee"}), fixture.recorded().traces);
    EXPECT_EQ("K\xC3\xB6ln", fixture.Var("city"));
    EXPECT_EQ("", fixture.Var("empty"));
}

TEST(VariablesTest, PropertiesByIndex) {
    PlayerFixture fixture;
    ASSERT_TRUE(fixture.Load(VariablesMovie()));
    const struct {
        int index;
        const char* value;
    } reads[] = {
        {0, "15"},  {1, "25"},    {2, "100"}, {3, "100"}, {4, "1"},  {5, "1"},
        {6, "100"}, {7, "true"},  {8, "5"},   {9, "5"},   {10, "0"}, {11, "/clip"},
        {12, "1"},  {13, "clip"}, {14, ""},   {16, "1"},  {18, "5"}, {19, "HIGH"},
    };
    for (const auto& c : reads) {
        SCOPED_TRACE(c.index);
        std::string value;
        ASSERT_TRUE(TGetProperty(fixture.get(), "/clip", c.index, value));
        EXPECT_EQ(c.value, value);
    }
    const struct {
        int index;
        double set;
        int readIndex;
        double expected;
    } writes[] = {
        {0, 40, 0, 40},  {1, -3, 1, -3},   {2, 200, 8, 10},
        {3, 50, 9, 2.5}, {10, 90, 10, 90}, {6, 50, 6, 50},
    };
    for (const auto& c : writes) {
        SCOPED_TRACE(c.index);
        ASSERT_TRUE(TSetPropertyNum(fixture.get(), "/clip", c.index, c.set));
        double value = 0;
        ASSERT_TRUE(TGetPropertyNum(fixture.get(), "/clip", c.readIndex, value));
        EXPECT_NEAR(c.expected, value, 1e-9);
    }
    double unused = 0;
    EXPECT_FALSE(TGetPropertyNum(fixture.get(), "/clip", 22, unused));
}

}  // namespace
}  // namespace kelpo::player::testing
