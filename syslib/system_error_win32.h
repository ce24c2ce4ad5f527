// The system's message for a Win32 error code, as the context's error text
// (Windows only): failures that scripts see only as a false or null result
// leave their reason there.
#pragma once

#include <windows.h>

#include "runtime/context.h"

namespace kelpo {

// Puts the system's message for `code` (in the user's default language)
// into the context's error text; "Error N" when the system has none.
void SetSystemError(ScriptContext* context, DWORD code);

}  // namespace kelpo
