// Registration of the network library's classes, in the order of
// corelib/registration_order.def.
#pragma once

#include "runtime/context.h"

namespace kelpo {

#ifdef _WIN32
// Socket and the globals $FD_READ ... $FD_CLOSE, $SOCK_STREAM, $SOCK_DGRAM
// (socket_class_win32.cpp).
void RegisterSocketClass(ScriptContext* context);
// PConn: commands to another projector's scripts (pconn_class_win32.cpp).
void RegisterPConnClass(ScriptContext* context);
// Inet: HTTP, ping, DNS and the interface table (inet_class_win32.cpp).
void RegisterInetClass(ScriptContext* context);
// IPConfig: the interface table Inet.getIPConfig reads
// (ipconfig_class_win32.cpp).
void RegisterIPConfigClass(ScriptContext* context);
#endif

}  // namespace kelpo
