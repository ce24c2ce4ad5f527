// The dialogs behind the Dialogs class (Windows only), one function per
// script method, each taking the method's argument list. They never raise:
// a cancelled dialog answers false (Null for the font dialog); a failed
// common dialog also leaves its reason in the context's error text.
#pragma once

#include "runtime/context.h"
#include "runtime/value.h"

namespace kelpo {

// common_dialogs_win32.cpp
Value FileOpenDialog(ScriptContext* context, Value* args);
Value FileSaveDialog(ScriptContext* context, Value* args);
Value ColorDialog(ScriptContext* context, Value* args);
Value FontDialog(ScriptContext* context, Value* args);

// folder_browse_win32.cpp
Value BrowseForFolder(ScriptContext* context, Value* args);

}  // namespace kelpo
