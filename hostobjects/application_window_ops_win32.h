// What the Application object does to the main frame's windows: the custom
// cursor, mouse capture and focus of the player window, the about box, raw
// window messages and the drag region. Without a main frame (install hooks,
// resource runs) these do nothing and report false.
#pragma once

#include "runtime/native.h"

namespace kelpo {

// Application.cursor = value: a cursor file, "hide", or Null.
void AssignApplicationCursor(ScriptContext* context, const Value& value);
// Frees the custom cursor (at exit).
void ReleaseApplicationCursor();

bool PlayerHasCapture();
void CapturePlayerMouse(bool capture);
bool PlayerHasFocus();
void FocusPlayer();

void PostAboutCommand();
// sendMessage(window, message, [wParam], [lParam]): the result as Integer,
// Undefined when the first two arguments are not Integers.
Value SendWindowMessage(const Value* args);
// setDragRegion(x, y, width, height) / (mask name) / ().
void SetDragRegion(ScriptContext* context, const Value* args);

}  // namespace kelpo
