#include "hostobjects/message_pump_win32.h"

#include <windows.h>

#include "host/framework/application.h"
#include "hostobjects/projector_port_win32.h"
#include "syslib/message_pump_win32.h"

namespace kelpo {
namespace {

bool PreTranslateInApplication(MSG& message) {
    framework::Application* application = framework::Application::Current();
    return application && application->PreTranslate(message);
}

}  // namespace

bool ProcessWaitingMessages() {
    MessagePumpHooks hooks;
    hooks.preTranslate = PreTranslateInApplication;
    hooks.stopRequested = TakeDeferredClose;
    return PumpWaitingMessages(hooks);
}

}  // namespace kelpo
