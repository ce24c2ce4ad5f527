// IPConfig objects, made by Inet.getIPConfig (Windows only).
#pragma once

#include "netlib/interface_table.h"
#include "runtime/context.h"

namespace kelpo {

// A new IPConfig holding the table; Null when the IPConfig class is not
// registered.
Value NewIPConfig(ScriptContext* context, InterfaceTable table);

}  // namespace kelpo
