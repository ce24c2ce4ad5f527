// Registration of the system library's classes, in the order of
// corelib/registration_order.def.
#pragma once

#include "runtime/context.h"

namespace kelpo {

void RegisterFileClass(ScriptContext* context);      // Folder, File
#ifdef _WIN32
void RegisterDriveClass(ScriptContext* context);     // Drive
void RegisterDiskInfoClass(ScriptContext* context);  // DiskInfo
#endif

}  // namespace kelpo
