// The command bridge's command table.
#include "host/command_bridge.h"

#include "host/project_data.h"
#include "host/safe_names.h"
#include "runtime/context.h"

namespace kelpo {

namespace {

void RunCachedScript(CommandBridge& bridge, const std::string& name) {
    const std::vector<uint8_t>* image =
        bridge.cache.Find(name, bridge.host.loadScript, bridge.host.user);
    if (!image) return;  // a missing resource does nothing and makes no engine
    if (ScriptRunner* engine = MainEngine(bridge))
        RunImageBytes(engine, image->data(), image->size());
}

void SwitchFullScreen(CommandBridge& bridge, const std::string& argument) {
    ProjectSettings& settings = TheProject().settings;
    if (SameNameIgnoringCase(argument, "true")) {
        settings.sizeAndPos.windowSize = 1;
        settings.appearance.borderStyle = kBorderNone;
        settings.appearance.windowShape = kShapeRectangle;
    } else if (SameNameIgnoringCase(argument, "false")) {
        settings.sizeAndPos.windowSize = 0;
        settings.appearance.borderStyle = kBorderResizable;
        settings.appearance.windowShape = kShapeRectangle;
    }
    // Any argument re-applies the window settings, changed or not.
    if (bridge.host.applyWindowSettings) bridge.host.applyWindowSettings(bridge.host.user);
}

}  // namespace

ScriptRunner* MainEngine(CommandBridge& bridge) {
    if (!bridge.mainEngine) {
        EngineOptions options = DefaultEngineOptions();
        bridge.mainEngine = NewScriptRunner(&options);
    }
    return bridge.mainEngine;
}

void DestroyMainEngine(CommandBridge& bridge) {
    if (bridge.mainEngine) FreeScriptRunner(bridge.mainEngine);
    bridge.mainEngine = nullptr;
}

void ExecuteCommand(CommandBridge& bridge, const std::string& command,
                    const std::string& arguments) {
    ScriptBusyScope busy(bridge);
    if (SameNameIgnoringCase(command, "Kelpo_Quit")) {
        DestroyMainEngine(bridge);
    } else if (SameNameIgnoringCase(command, "Kelpo_Run")) {
        RunCachedScript(bridge, arguments);
    } else if (SameNameIgnoringCase(command, "Kelpo_AsynRun")) {
        bridge.pendingRuns.push_back(arguments);
    } else if (SameNameIgnoringCase(command, "Kelpo_Eval")) {
        if (ScriptRunner* engine = MainEngine(bridge)) RunSource(engine, arguments.c_str());
    } else if (SameNameIgnoringCase(command, "Kelpo_File")) {
        if (ScriptRunner* engine = MainEngine(bridge)) RunScriptFile(engine, arguments.c_str());
    } else if (SameNameIgnoringCase(command, "quit")) {
        if (bridge.host.closeMainWindow) bridge.host.closeMainWindow(bridge.host.user);
    } else if (SameNameIgnoringCase(command, "fullscreen")) {
        SwitchFullScreen(bridge, arguments);
    } else if (SameNameIgnoringCase(command, "exec")) {
        if (bridge.host.exec) bridge.host.exec(bridge.host.user, arguments);
    }
    // "Kelpo_Trace" and every other command are accepted and ignored.
}

bool RunPendingScript(CommandBridge& bridge) {
    if (bridge.pendingRuns.empty()) return false;
    std::string name = bridge.pendingRuns.front();
    bridge.pendingRuns.pop_front();
    ExecuteCommand(bridge, "Kelpo_Run", name);
    return !bridge.pendingRuns.empty();
}

int LastBooleanResult(const CommandBridge& bridge) {
    if (!bridge.mainEngine) return -1;
    const Value& result = bridge.mainEngine->context->result;
    if (result.tag != ValueTag::Boolean) return -1;
    return result.boolean ? 1 : 0;
}

void ShutDownBridge(CommandBridge& bridge) {
    DestroyMainEngine(bridge);
    bridge.cache.Clear();
    bridge.pendingRuns.clear();
}

}  // namespace kelpo
