// Running compiled scripts packaged as "KELPO" resources.
#pragma once

namespace kelpo {

// Loads the "KELPO" resource of that name and runs it in a fresh script
// engine, which is destroyed afterwards. Every failure, a missing resource
// included, is swallowed; true when the script ran to its end.
bool RunScriptResource(const char* name);

}  // namespace kelpo
