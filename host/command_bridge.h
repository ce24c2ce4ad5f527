// The command bridge: every FSCommand of the main movie, and the commands
// the host sends itself, arrive here as two texts (command, arguments). It
// owns the main script engine (created by the first command that needs it),
// the cache of script resources, the pending-run list of "Kelpo_AsynRun" and
// the script-busy counter that defers closing while a script runs.
//
// Everything that touches windows goes through BridgeHost, so the bridge
// itself is plain code, tested without a window.
#pragma once

#include <deque>
#include <string>

#include "compiler/engine.h"
#include "host/script_cache.h"

namespace kelpo {

struct BridgeHost {
    void* user = nullptr;
    ScriptLoader loadScript = nullptr;                  // a "KELPO" resource's image
    void (*closeMainWindow)(void* user) = nullptr;      // "quit"
    void (*applyWindowSettings)(void* user) = nullptr;  // after "fullscreen"
    void (*exec)(void* user, const std::string& commandLine) = nullptr;
};

struct CommandBridge {
    BridgeHost host;
    ScriptRunner* mainEngine = nullptr;
    ScriptResourceCache cache;
    std::deque<std::string> pendingRuns;
    int busy = 0;  // script calls on the stack
};

// Counts a script call from the window for as long as it is alive.
class ScriptBusyScope {
public:
    explicit ScriptBusyScope(CommandBridge& bridge) : bridge_(bridge) { ++bridge_.busy; }
    ~ScriptBusyScope() { --bridge_.busy; }
    ScriptBusyScope(const ScriptBusyScope&) = delete;
    ScriptBusyScope& operator=(const ScriptBusyScope&) = delete;

private:
    CommandBridge& bridge_;
};

void ExecuteCommand(CommandBridge& bridge, const std::string& command,
                    const std::string& arguments);

// The main engine, created when there is none; null when it cannot be made.
ScriptRunner* MainEngine(CommandBridge& bridge);
void DestroyMainEngine(CommandBridge& bridge);

// Idle processing: runs the first pending name as "Kelpo_Run"; true while
// more names wait.
bool RunPendingScript(CommandBridge& bridge);

// What the last run left as result: 1 Boolean true, 0 Boolean false, -1
// anything else or no engine.
int LastBooleanResult(const CommandBridge& bridge);

// Frees the engine and the cache (with the main frame).
void ShutDownBridge(CommandBridge& bridge);

}  // namespace kelpo
