#include "syslib/host_window_win32.h"

#include <cstdint>

#include "runtime/atoms.h"
#include "runtime/object.h"

namespace kelpo {

namespace {

SyslibHostPort gPort;

}  // namespace

void SetSyslibHostPort(const SyslibHostPort& port) { gPort = port; }

HWND SyslibMainWindow() { return gPort.mainWindow ? gPort.mainWindow() : nullptr; }

Value WindowValueOf(ScriptContext* context, HWND hwnd) {
    if (!hwnd) return MakeNull();
    if (gPort.windowValue) return gPort.windowValue(context, hwnd);
    ScriptObject* object = NewObject(context);
    if (!object) return MakeNull();
    Value result = MakeObject(object);
    PutProperty(context, object, InternAtom(context, "handle"),
                MakeInteger(static_cast<int64_t>(reinterpret_cast<uintptr_t>(hwnd))));
    return result;
}

}  // namespace kelpo
