// The command bridge: commands without regard to case, the main engine's
// life, cached script resources, deferred runs and the window commands.
#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "compiler/engine.h"
#include "compiler/script_stream.h"
#include "host/command_bridge.h"
#include "host/project_data.h"
#include "runtime/context.h"
#include "runtime/errors.h"
#include "runtime/strings.h"

namespace kelpo::test {
namespace {

// Compiles source text into an image as the builder does.
std::vector<uint8_t> Compile(const char* source) {
    ScriptRunner* runner = NewScriptRunner(nullptr);
    ScriptStream* text = nullptr;
    CatchRaise(runner->context,
               [&] { text = OpenScriptStream(runner->context, source, TextSourceStream); });
    ScriptStream* image =
        CompileScript(runner->context, text, CompileOptionsOf(runner), nullptr, nullptr);
    EXPECT_NE(nullptr, image) << source;
    std::vector<uint8_t> bytes;
    if (image)
        bytes.assign(MemoryStreamBytes(image), MemoryStreamBytes(image) + MemoryStreamSize(image));
    FreeScriptRunner(runner);
    return bytes;
}

// A window side that records what the bridge asked of it.
struct FakeHost {
    std::map<std::string, std::vector<uint8_t>> resources;
    int loads = 0;
    int closes = 0;
    int applies = 0;
    std::vector<std::string> execs;

    static bool Load(void* user, const char* name, std::vector<uint8_t>& image) {
        FakeHost* host = static_cast<FakeHost*>(user);
        ++host->loads;
        std::string upper = name;
        for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
        auto found = host->resources.find(upper);
        if (found == host->resources.end()) return false;
        image = found->second;
        return true;
    }
    BridgeHost Callbacks() {
        BridgeHost callbacks;
        callbacks.user = this;
        callbacks.loadScript = Load;
        callbacks.closeMainWindow = [](void* user) { ++static_cast<FakeHost*>(user)->closes; };
        callbacks.applyWindowSettings = [](void* user) { ++static_cast<FakeHost*>(user)->applies; };
        callbacks.exec = [](void* user, const std::string& line) {
            static_cast<FakeHost*>(user)->execs.push_back(line);
        };
        return callbacks;
    }
};

class CommandBridgeTest : public ::testing::Test {
protected:
    void SetUp() override {
        host.resources["COUNT"] =
            Compile("if (typeof runs == 'undefined') runs = 0; runs = runs + 1;");
        host.resources["INITIALIZE"] = Compile("false;");
        host.resources["APPEND"] =
            Compile("order = (typeof order == 'undefined' ? '' : order) + name;");
        bridge.host = host.Callbacks();
    }
    void TearDown() override { ShutDownBridge(bridge); }

    std::string Global(const char* expression) {
        if (!bridge.mainEngine) return "<no engine>";
        ExecuteCommand(bridge, "Kelpo_Eval", std::string("__probe = String(") + expression + ");");
        ScriptContext* context = bridge.mainEngine->context;
        const Value& result = context->result;
        if (result.tag != ValueTag::String) return "<not a string>";
        std::string text;
        for (size_t i = 0; i < result.string->length; ++i)
            text += static_cast<char>(result.string->chars[i]);
        return text;
    }

    FakeHost host;
    CommandBridge bridge;
};

TEST_F(CommandBridgeTest, RunsCachedResourcesInOneMainEngine) {
    for (const char* command : {"Kelpo_Run", "KELPO_RUN", "kelpo_run"})
        ExecuteCommand(bridge, command, "count");
    EXPECT_EQ("3", Global("runs"));
    EXPECT_EQ(1, host.loads);  // loaded once, then taken from the cache
    ExecuteCommand(bridge, "Kelpo_Run", "COUNT");
    EXPECT_EQ("4", Global("runs"));
    EXPECT_EQ(0, bridge.busy);
}

TEST_F(CommandBridgeTest, AMissingResourceDoesNothingAndMakesNoEngine) {
    ExecuteCommand(bridge, "Kelpo_Run", "Missing");
    EXPECT_EQ(nullptr, bridge.mainEngine);
    ExecuteCommand(bridge, "Kelpo_Run", "Missing");
    EXPECT_EQ(2, host.loads);  // misses are not remembered
}

TEST_F(CommandBridgeTest, QuitDestroysTheEngineAndALaterCommandMakesANewOne) {
    ExecuteCommand(bridge, "Kelpo_Run", "Count");
    ASSERT_NE(nullptr, bridge.mainEngine);
    ExecuteCommand(bridge, "kelpo_quit", "");
    EXPECT_EQ(nullptr, bridge.mainEngine);
    ExecuteCommand(bridge, "Kelpo_Run", "Count");
    EXPECT_EQ("1", Global("runs"));
}

TEST_F(CommandBridgeTest, TheLastResultDecidesStartUp) {
    EXPECT_EQ(-1, LastBooleanResult(bridge));
    ExecuteCommand(bridge, "Kelpo_Run", "Initialize");
    EXPECT_EQ(0, LastBooleanResult(bridge));
    ExecuteCommand(bridge, "Kelpo_Eval", "1 == 1;");
    EXPECT_EQ(1, LastBooleanResult(bridge));
    ExecuteCommand(bridge, "Kelpo_Eval", "42;");
    EXPECT_EQ(-1, LastBooleanResult(bridge));
}

TEST_F(CommandBridgeTest, AsynchronousRunsWaitForIdleTurnsInOrder) {
    ExecuteCommand(bridge, "Kelpo_Eval", "name = 'a';");
    ExecuteCommand(bridge, "Kelpo_AsynRun", "Append");
    ExecuteCommand(bridge, "Kelpo_AsynRun", "Append");
    EXPECT_EQ("undefined", Global("typeof order"));
    EXPECT_TRUE(RunPendingScript(bridge));
    EXPECT_EQ("a", Global("order"));
    EXPECT_FALSE(RunPendingScript(bridge));
    EXPECT_EQ("aa", Global("order"));
    EXPECT_FALSE(RunPendingScript(bridge));
}

TEST_F(CommandBridgeTest, WindowCommandsGoToTheHost) {
    ProjectSettings& settings = TheProject().settings;
    settings = EmptyProjectSettings();
    settings.appearance.windowShape = kShapeMask;
    ExecuteCommand(bridge, "fullscreen", "TRUE");
    EXPECT_EQ(1u, settings.sizeAndPos.windowSize);
    EXPECT_EQ(kBorderNone, settings.appearance.borderStyle);
    EXPECT_EQ(kShapeRectangle, settings.appearance.windowShape);
    ExecuteCommand(bridge, "FullScreen", "yes");  // re-applies without a change
    EXPECT_EQ(1u, settings.sizeAndPos.windowSize);
    ExecuteCommand(bridge, "fullscreen", "false");
    EXPECT_EQ(0u, settings.sizeAndPos.windowSize);
    EXPECT_EQ(kBorderResizable, settings.appearance.borderStyle);
    EXPECT_EQ(3, host.applies);

    ExecuteCommand(bridge, "QUIT", "");
    ExecuteCommand(bridge, "exec", "notepad.exe readme.txt");
    ExecuteCommand(bridge, "Kelpo_Trace", "ignored");
    ExecuteCommand(bridge, "unknown", "ignored");
    EXPECT_EQ(1, host.closes);
    EXPECT_EQ(std::vector<std::string>{"notepad.exe readme.txt"}, host.execs);
    EXPECT_EQ(nullptr, bridge.mainEngine);
    settings = EmptyProjectSettings();
}

}  // namespace
}  // namespace kelpo::test
