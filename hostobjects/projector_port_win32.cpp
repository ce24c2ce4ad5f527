// The projector port: each operation asks the host's function when there is
// one.
#include "hostobjects/projector_port_win32.h"

namespace kelpo {
namespace {

ProjectorPort gPort;

}  // namespace

void SetProjectorPort(const ProjectorPort& port) { gPort = port; }

HWND ProjectorMainWindow() { return gPort.mainWindow ? gPort.mainWindow() : nullptr; }

HWND ProjectorPlayerWindow() { return gPort.playerWindow ? gPort.playerWindow() : nullptr; }

void SetProjectorPlayerCursor(HCURSOR cursor) {
    if (gPort.setPlayerCursor) gPort.setPlayerCursor(cursor);
}

bool SetProjectorPlayerClipRegion(HRGN region) {
    return gPort.setPlayerClipRegion && gPort.setPlayerClipRegion(region);
}

CommandBridge* ProjectorCommandBridge() { return gPort.bridge ? gPort.bridge() : nullptr; }

bool TakeDeferredClose() { return gPort.takeDeferredClose && gPort.takeDeferredClose(); }

std::string ProjectorPlayerFile() { return gPort.playerFile ? gPort.playerFile() : std::string(); }

}  // namespace kelpo
