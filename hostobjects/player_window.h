// FlashPlayer.window: the player control's window as a Window object. The
// Window class is the system library's on Windows; the projector hands the
// source in, and without one (the native build, no main frame) the
// property reads Null.
#pragma once

#include "runtime/context.h"
#include "runtime/value.h"

namespace kelpo {

using PlayerWindowSource = Value (*)(ScriptContext* context);
void SetPlayerWindowSource(PlayerWindowSource source);

// The Window object of the player's window, or Null.
Value PlayerWindowValue(ScriptContext* context);

}  // namespace kelpo
