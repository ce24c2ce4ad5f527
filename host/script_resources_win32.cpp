// Script resources run in throw-away engines.
#include "host/script_resources_win32.h"

#include "compiler/engine.h"
#include "host/host_exceptions.h"
#include "host/resources_win32.h"

namespace kelpo {

bool RunScriptResource(const char* name) {
    std::vector<uint8_t> image;
    try {
        image = LoadPackedResource("KELPO", name);
    } catch (const CTopBaseException&) {
        return false;
    }
    EngineOptions options = DefaultEngineOptions();
    ScriptRunner* runner = NewScriptRunner(&options);
    if (!runner) return false;
    bool ran = RunImageBytes(runner, image.data(), image.size()) != 0;
    FreeScriptRunner(runner);
    return ran;
}

}  // namespace kelpo
