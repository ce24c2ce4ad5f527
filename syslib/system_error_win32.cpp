#include "syslib/system_error_win32.h"

#include <cstdio>

namespace kelpo {

void SetSystemError(ScriptContext* context, DWORD code) {
    const DWORD written =
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                       0x800, context->errorText, kErrorTextSize, nullptr);
    if (written == 0)
        std::snprintf(context->errorText, kErrorTextSize, "Error %lu",
                      static_cast<unsigned long>(code));
}

}  // namespace kelpo
