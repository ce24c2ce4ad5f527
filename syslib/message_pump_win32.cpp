#include "syslib/message_pump_win32.h"

#include "runtime/class_kit.h"
#include "runtime/native.h"

namespace kelpo {
namespace {

// The framework's idle kick: it only means something to the program's own
// loop.
constexpr UINT kKickIdleMessage = 0x036A;

void ProcessMsg(ScriptContext*, NativeClass*, void*, Value* out, Value*) {
    *out = MakeBoolean(PumpWaitingMessages(MessagePumpHooks{}));
}

// The projector's processMsg has the same name and line; the first
// description of a name is the one the pages show.
const MemberRow kConsoleRows[] = {
    {"processMsg",
     "processMsg() -> Boolean: handles the waiting window messages; false when the "
     "program is closing, so a long loop should stop"},
};

}  // namespace

bool PumpWaitingMessages(const MessagePumpHooks& hooks) {
    MSG message;
    for (;;) {
        if (!PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) return true;
        BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            // The program's loop ends the program once the script is done.
            if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        if (message.message != kKickIdleMessage) {
            if (!hooks.preTranslate || !hooks.preTranslate(message)) {
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
        }
        if (hooks.stopRequested && hooks.stopRequested()) return false;
    }
}

void RegisterProcessMsgFunction(ScriptContext* context) {
    DescribeGlobals(kConsoleRows);
    RegisterGlobalFunction(context, "processMsg", ProcessMsg);
}

}  // namespace kelpo
