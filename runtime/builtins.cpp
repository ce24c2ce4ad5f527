// The fixed order in which classes and global functions are registered.
//
// Every context sees the same library because this table is the only place
// that registers classes. Later bindings of a name replace earlier ones.
// Steps whose classes do not exist yet are simply absent; each is added at
// its own position when its class is built.
#include "runtime/builtins.h"

#include "corelib/classes.h"
#include "corelib/globals.h"

namespace kelpo {
namespace {

const BuiltinRegistration kRegistrationOrder[] = {
    {"NaN, Infinity, parseInt, parseFloat, escape, unescape, isNaN, isFinite, trace",
     RegisterGlobalFunctions},
    {"Date", RegisterDateClass},
    // (Folder, File, Drive, Stream, FileStream and StringStream come here.)
    {"Math", RegisterMathObject},
    {"RegExp", RegisterRegExpClass},
    {"Array", RegisterArrayClass},
    {"Boolean", RegisterBooleanClass},
    {"Function", RegisterFunctionClass},
    {"Number", RegisterNumberClass},
    {"String", RegisterStringClass},
    {"Object", RegisterObjectClass},
    // 15. ActiveXObject; 16. Enumerator; 17. RegKey; 18. RegValue; 19. INI
    // 20. Dialogs; 21. FontObject; 22. Shell; 23. Shortcut; 24. URLShortcut; 25. MCI
    // 26. createControl; 27. FlashPlayer; 28. MovieClip
    // 29. host global functions (getMainWnd ... invoke), then:
    {"decodeURI, encodeURI, decodeURIComponent, encodeURIComponent", RegisterUriFunctions},
    // 30. Window; 31. Mail; 32. SendMail; 33. RecvMail; 34. Inet; 35. IPConfig
    // 36. SysInfo; 37. Socket; 38. Menu; 39. Application; 40. SplashWnd
    // 41. Image; 42. Printer; 43. PConn; 44. DirectX, Joystick; 45. Dll, DllParam
    // 46. Sound; 47. Encryption; 48. DiskInfo; 49. DesktopToy
    {"DataFile", RegisterDataFileClass},
    // 51. Form
    {nullptr, nullptr},
};

RegisterFn gExtraRegistration = nullptr;

}  // namespace

void SetExtraRegistration(RegisterFn fn) { gExtraRegistration = fn; }

void RegisterBuiltins(ScriptContext* context) {
    for (const BuiltinRegistration& step : kRegistrationOrder) {
        if (step.registerFn != nullptr) step.registerFn(context);
    }
    if (gExtraRegistration != nullptr) gExtraRegistration(context);
}

}  // namespace kelpo
