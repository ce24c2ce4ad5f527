// What other classes read from a Date instance.
#pragma once

#include "runtime/value.h"

namespace kelpo {

// The time value (milliseconds since 1970-01-01 UTC) of a Date instance;
// false for any other value, the Date class object included.
bool DateTimeOf(const Value& value, double* time);

}  // namespace kelpo
