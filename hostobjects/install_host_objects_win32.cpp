#include "hostobjects/install_host_objects.h"

#include "runtime/builtins.h"

namespace kelpo {

void InstallHostObjects() {
    // 26 createControl, 30 Window, 38 Menu, 40 SplashWnd and 51 Form arrive
    // with their classes.
}

}  // namespace kelpo
