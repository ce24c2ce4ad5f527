// Registration of the host's global functions: getMainWnd, getAppDir,
// getMovies, setWindowless, readProfile, writeProfile, processMsg,
// getAdditionalFile, getExeName and invoke.
#pragma once

#include <windows.h>

#include "runtime/context.h"
#include "runtime/value.h"

namespace kelpo {

void RegisterHostFunctions(ScriptContext* context);

// The Window object for `hwnd` kept in the global `global`: the one there
// when it still stands for that window, else a new one stored there. Null
// for a null handle.
Value CachedWindowValue(ScriptContext* context, const char* global, HWND hwnd);
// FlashPlayer.window: the player's window, cached in
// "$_QANTOR_FLASHPLAYER_WINDOW_".
Value PlayerWindowObject(ScriptContext* context);

}  // namespace kelpo
