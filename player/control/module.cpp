// The DLL's entry points: DllMain, DllGetClassObject and DllCanUnloadNow
// (exported undecorated through exports.def), plus the module's counters.
#include "player/control/module.h"

#include "player/control/class_factory.h"
#include "player/control/identifiers.h"

namespace kelpo::control {

ModuleState& Module() {
    static ModuleState state;
    return state;
}

void ObjectCreated() { InterlockedIncrement(&Module().liveObjects); }

void ObjectDestroyed() { InterlockedDecrement(&Module().liveObjects); }

}  // namespace kelpo::control

using namespace kelpo::control;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        Module().instance = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID classId, REFIID interfaceId,
                                                    void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!IsEqualCLSID(classId, kControlClassId)) return CLASS_E_CLASSNOTAVAILABLE;
    return ControlClassFactory().QueryInterface(interfaceId, object);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return Module().liveObjects == 0 && Module().locks == 0 ? S_OK : S_FALSE;
}
