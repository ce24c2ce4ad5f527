// Registration of the system library's classes, in the order of
// corelib/registration_order.def.
#pragma once

#include "runtime/context.h"

namespace kelpo {

void RegisterFileClass(ScriptContext* context);  // Folder, File
#ifdef _WIN32
void RegisterDriveClass(ScriptContext* context);     // Drive
void RegisterDiskInfoClass(ScriptContext* context);  // DiskInfo
void RegisterRegKeyClass(ScriptContext* context);    // RegKey
void RegisterRegValueClass(ScriptContext* context);  // RegValue
void RegisterIniClass(ScriptContext* context);       // INI
// Dialogs: the message box and the common dialogs (dialogs_class_win32.cpp).
void RegisterDialogsClass(ScriptContext* context);
// FontObject: font descriptions and the installed fonts
// (font_object_class_win32.cpp).
void RegisterFontObjectClass(ScriptContext* context);
// SysInfo: the machine, the user, the screen saver and the display mode
// (sys_info_class_win32.cpp).
void RegisterSysInfoClass(ScriptContext* context);
// Shell: programs, documents, the environment, special folders and
// version information (shell_class_win32.cpp).
void RegisterShellClass(ScriptContext* context);
// Shortcut and URLShortcut: shell link and Internet shortcut files
// (shortcut_class_win32.cpp, url_shortcut_class_win32.cpp).
void RegisterShortcutClass(ScriptContext* context);
void RegisterUrlShortcutClass(ScriptContext* context);
// Window: any window by its handle, with its messages as events
// (window_class_win32.cpp, window_events_win32.cpp).
void RegisterWindowClass(ScriptContext* context);
#endif
// FileStream, also bound as Stream (file_stream_class.cpp).
void RegisterStreamClasses(ScriptContext* context);
// StringStream and the globals $STREAM_IN, $STREAM_OUT, $STREAM_EOF
// (string_stream_class.cpp).
void RegisterStringStreamClass(ScriptContext* context);
// Encryption: MD5, Blowfish and Triple DES (encryption_class.cpp).
void RegisterEncryptionClass(ScriptContext* context);

}  // namespace kelpo
