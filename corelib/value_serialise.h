// Saving script values into a private-profile (INI) file and loading them
// back: one section per value, named by the value's dotted path, holding
// the keys `type` and `value`. DataFile is the only user.
#pragma once

#include "platform/profile.h"
#include "runtime/context.h"

namespace kelpo {

// Saves the global variable of that (ANSI) name at the path equal to its
// name, with every member and element reachable from it.
void SaveGlobal(ScriptContext* context, ProfileFile* file, const char* name);

// Stores the value of every section of the file, in file order, at its
// path. False when the section list cannot be read.
bool LoadSections(ScriptContext* context, ProfileFile* file);

}  // namespace kelpo
