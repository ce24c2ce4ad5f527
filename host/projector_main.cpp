// The projector's entry point.
#include <windows.h>

#include "host/projector_app.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    kelpo::CProjectorApp application;
    return application.Run();
}
