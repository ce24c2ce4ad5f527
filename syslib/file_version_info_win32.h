// The version resource of a file as a script Object (Windows only).
#pragma once

#include <string>

#include "runtime/context.h"
#include "runtime/value.h"

namespace kelpo {

// An Object with fileVersionNum and productVersionNum (from the fixed
// block), translation and the standard string entries of the first
// translation; Null when the file has no version resource.
Value FileVersionInfo(ScriptContext* context, const std::string& path);

}  // namespace kelpo
