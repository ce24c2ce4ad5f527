// A player control's properties and methods by name ("Playing",
// "TGotoFrame") through its IDispatch: GetIDsOfNames, then Invoke, so our
// own control and an installed one answer alike. The main frame's player
// port and every form's player go through these.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "hostobjects/player_port.h"

namespace kelpo {

bool DispatchGet(IDispatch* control, const char* name, ControlValue& out);
bool DispatchPut(IDispatch* control, const char* name, const ControlValue& value);
bool DispatchCall(IDispatch* control, const char* name, const ControlValue* args, int count,
                  ControlValue& out);

// A player port over a control, for as long as `control` stays alive; the
// port's `user` is the control.
PlayerPort DispatchPlayerPort(IDispatch* control);

}  // namespace kelpo
