// The projector's entry point.
#include <windows.h>

#include "host/projector_app.h"
#include "host/host_objects.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    kelpo::InstallHostObjects();
    kelpo::CProjectorApp application;
    return application.Run();
}
