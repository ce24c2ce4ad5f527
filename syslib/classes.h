// Registration of the system library's classes, in the order of
// corelib/registration_order.def.
#pragma once

#include "runtime/context.h"

namespace kelpo {

void RegisterFileClass(ScriptContext* context);  // Folder, File
#ifdef _WIN32
void RegisterDriveClass(ScriptContext* context);        // Drive
void RegisterDiskInfoClass(ScriptContext* context);     // DiskInfo
void RegisterRegKeyClass(ScriptContext* context);       // RegKey
void RegisterRegValueClass(ScriptContext* context);     // RegValue
void RegisterIniClass(ScriptContext* context);          // INI
void RegisterShellClass(ScriptContext* context);        // Shell
void RegisterShortcutClass(ScriptContext* context);     // Shortcut
void RegisterUrlShortcutClass(ScriptContext* context);  // URLShortcut
#endif
// FileStream, also bound as Stream (file_stream_class.cpp).
void RegisterStreamClasses(ScriptContext* context);
// StringStream and the globals $STREAM_IN, $STREAM_OUT, $STREAM_EOF
// (string_stream_class.cpp).
void RegisterStringStreamClass(ScriptContext* context);
// Encryption: MD5, Blowfish and Triple DES (encryption_class.cpp).
void RegisterEncryptionClass(ScriptContext* context);

}  // namespace kelpo
