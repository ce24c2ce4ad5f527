// Dispatching the messages that wait in the thread's queue while a script
// runs (Windows only). Window messages of hidden helper windows (socket
// notifications) and of the program's own windows reach their handlers
// only through a pump; the projector's message loop is one, and a script in
// a long loop calls processMsg to run this one. The projector hands its own
// translation and its deferred close in as hooks; the command-line tool has
// neither.
#pragma once

#include <windows.h>

#include "runtime/context.h"

namespace kelpo {

struct MessagePumpHooks {
    // The program's first look at a message (accelerators, dialog keys);
    // true when it took the message.
    bool (*preTranslate)(MSG& message) = nullptr;
    // True once when the pump must stop after the message it dispatched
    // (a close that was deferred while the script ran).
    bool (*stopRequested)() = nullptr;
};

// Dispatches every waiting message; true when the queue is empty, false
// after WM_QUIT (posted again for the program's own loop) or when the
// hooks asked to stop.
bool PumpWaitingMessages(const MessagePumpHooks& hooks);

// The global function processMsg of programs without the projector's host
// functions: pumps with no hooks and answers PumpWaitingMessages's result.
void RegisterProcessMsgFunction(ScriptContext* context);

}  // namespace kelpo
