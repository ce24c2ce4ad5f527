// Registration of the network library's classes, in the order of
// corelib/registration_order.def.
#pragma once

#include "runtime/context.h"

namespace kelpo {

#ifdef _WIN32
// Mail, SendMail and RecvMail: MIME messages, SMTP and POP3
// (mail_class_win32.cpp, send_mail_class_win32.cpp,
// recv_mail_class_win32.cpp).
void RegisterMailClass(ScriptContext* context);
void RegisterSendMailClass(ScriptContext* context);
void RegisterRecvMailClass(ScriptContext* context);
// Socket and the globals $FD_READ ... $FD_CLOSE, $SOCK_STREAM, $SOCK_DGRAM
// (socket_class_win32.cpp).
void RegisterSocketClass(ScriptContext* context);
// PConn: commands to another projector's scripts (pconn_class_win32.cpp).
void RegisterPConnClass(ScriptContext* context);
#endif

}  // namespace kelpo
