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
// Inet: HTTP, ping, DNS and the interface table (inet_class_win32.cpp).
// Registers _InetFtp_ too.
void RegisterInetClass(ScriptContext* context);
// IPConfig: the interface table Inet.getIPConfig reads
// (ipconfig_class_win32.cpp).
void RegisterIPConfigClass(ScriptContext* context);
// _InetFtp_: the FTP client that Inet.openFtp makes (inet_ftp_class_win32.cpp).
void RegisterInetFtpClass(ScriptContext* context);
// The same registration, answering the class; and what `new _InetFtp_(...)`
// makes of an argument list on that class (Null when the host is not a
// String or the Internet library cannot be bound), for Inet.openFtp.
NativeClass* DefineInetFtpClass(ScriptContext* context);
Value NewInetFtp(ScriptContext* context, NativeClass* ftpClass, const Value* args);
#endif

}  // namespace kelpo
