// Registration of the Form class (form_class_win32.cpp).
#pragma once

#include "runtime/context.h"

namespace kelpo {

void RegisterFormClass(ScriptContext* context);

}  // namespace kelpo
