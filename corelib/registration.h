// Making a program's registration table from the fixed order of
// registration_order.def. The program names the groups it links, declares
// their registration functions and includes the list:
//
//   #define KELPO_GROUP_Core KELPO_TAKE_STEP
//   #define KELPO_GROUP_System KELPO_SKIP_STEP
//   #define KELPO_GROUP_Network KELPO_SKIP_STEP
//   #define KELPO_GROUP_Console KELPO_SKIP_STEP
//   #define KELPO_GROUP_Player KELPO_SKIP_STEP
//   #define KELPO_GROUP_Projector KELPO_SKIP_STEP
//   const RegistrationStep kSteps[] = {
//   #include "corelib/registration_order.def"
//       {nullptr, nullptr}};
#pragma once

#include "runtime/registration.h"

#define KELPO_TAKE_STEP(names, function) {names, function},
#define KELPO_SKIP_STEP(names, function)
#define KELPO_STEP(group, names, function) KELPO_GROUP_##group(names, function)
