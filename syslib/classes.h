// Registration of the system library's classes, in the order of
// corelib/registration_order.def.
#pragma once

#include "runtime/context.h"

namespace kelpo {

}  // namespace kelpo
