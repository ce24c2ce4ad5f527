// Process-wide state of the control DLL: its module handle and the count of
// live objects and server locks that DllCanUnloadNow reports.
#pragma once

#include <windows.h>

namespace kelpo::control {

struct ModuleState {
    HINSTANCE instance = nullptr;
    LONG liveObjects = 0;  // control objects plus outstanding class-factory references
    LONG locks = 0;        // IClassFactory::LockServer
};

ModuleState& Module();
void ObjectCreated();
void ObjectDestroyed();

}  // namespace kelpo::control
