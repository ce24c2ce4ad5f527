// Running a program's registration table in every new context.
#include "runtime/registration.h"

namespace kelpo {
namespace {

const RegistrationStep* gDefaultSteps = nullptr;
RegisterFn gExtraRegistration = nullptr;

}  // namespace

void SetDefaultRegistration(const RegistrationStep* steps) { gDefaultSteps = steps; }

void SetExtraRegistration(RegisterFn fn) { gExtraRegistration = fn; }

void RegisterBuiltins(ScriptContext* context) {
    for (const RegistrationStep* step = gDefaultSteps;
         step != nullptr && step->registerFn != nullptr; ++step) {
        step->registerFn(context);
    }
    if (gExtraRegistration != nullptr) gExtraRegistration(context);
}

}  // namespace kelpo
