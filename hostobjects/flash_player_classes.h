// FlashPlayer, the script's handle on the main frame's player control, and
// MovieClip, a dotted target path inside its movie through which bound
// variables below that path are read.
#pragma once

#include "runtime/context.h"

namespace kelpo {

void RegisterFlashPlayerClass(ScriptContext* context);  // FlashPlayer
void RegisterMovieClipClass(ScriptContext* context);    // MovieClip, after FlashPlayer

}  // namespace kelpo
