// Registration of the host's global functions: getMainWnd, getAppDir,
// getMovies, setWindowless, readProfile, writeProfile, processMsg,
// getAdditionalFile, getExeName and invoke.
#pragma once

#include "runtime/context.h"

namespace kelpo {

void RegisterHostFunctions(ScriptContext* context);

}  // namespace kelpo
