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

// Steps the host fills in (position > 0): classes that need windows, the
// player control or the registry live in the host's own libraries.
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
    {"createControl", nullptr, kHostStepCreateControl},
    {"FlashPlayer", nullptr, kHostStepFlashPlayer},
    {"MovieClip", nullptr, kHostStepMovieClip},
    {"getMainWnd ... invoke", nullptr, kHostStepHostFunctions},
    {"decodeURI, encodeURI, decodeURIComponent, encodeURIComponent", RegisterUriFunctions},
    {"Window", nullptr, kHostStepWindow},
    // 31. Mail; 32. SendMail; 33. RecvMail; 34. Inet; 35. IPConfig
    // 36. SysInfo; 37. Socket
    {"Menu", nullptr, kHostStepMenu},
    {"Application", nullptr, kHostStepApplication},
    {"SplashWnd", nullptr, kHostStepSplashWnd},
    // 41. Image; 42. Printer; 43. PConn; 44. DirectX, Joystick; 45. Dll, DllParam
    // 46. Sound; 47. Encryption; 48. DiskInfo; 49. DesktopToy
    {"DataFile", RegisterDataFileClass},
    {"Form", nullptr, kHostStepForm},
    {nullptr, nullptr},
};

RegisterFn gHostSteps[kHostStepLimit] = {};
RegisterFn gExtraRegistration = nullptr;

}  // namespace

void SetExtraRegistration(RegisterFn fn) { gExtraRegistration = fn; }

void SetHostRegistration(int position, RegisterFn fn) {
    if (position > 0 && position < kHostStepLimit) gHostSteps[position] = fn;
}

void RegisterBuiltins(ScriptContext* context) {
    for (const BuiltinRegistration& step : kRegistrationOrder) {
        RegisterFn fn = step.hostPosition > 0 ? gHostSteps[step.hostPosition] : step.registerFn;
        if (fn != nullptr) fn(context);
    }
    if (gExtraRegistration != nullptr) gExtraRegistration(context);
}

}  // namespace kelpo
