// The control's class factory, with licensing (IClassFactory2) that accepts
// any key: the control is not licensed, but hosts that create licensed
// controls ask for the interface.
#pragma once

#include <ocidl.h>

namespace kelpo::control {

// One factory per process; its references count as live objects.
IClassFactory2& ControlClassFactory();

}  // namespace kelpo::control
