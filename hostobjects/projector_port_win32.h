// What the script objects reach of the running projector's windows. The
// projector fills the port when it starts; before that, in engines without
// a main frame (install hooks, resource runs) and after the frame is gone,
// every operation does nothing and answers null or false.
#pragma once

#include <windows.h>

#include <string>

namespace kelpo {

struct CommandBridge;

struct ProjectorPort {
    HWND (*mainWindow)() = nullptr;
    HWND (*playerWindow)() = nullptr;
    // The player window shows this cursor (null: its own).
    void (*setPlayerCursor)(HCURSOR cursor) = nullptr;
    // Clips the player's drag region to `region`, which the player window
    // owns from then on; false (region untouched) without a main frame.
    bool (*setPlayerClipRegion)(HRGN region) = nullptr;
    // The main frame's command bridge.
    CommandBridge* (*bridge)() = nullptr;
    // True once for a close that was deferred while a script ran.
    bool (*takeDeferredClose)() = nullptr;
    // The player control file the main frame was created from; "" for the
    // installed control.
    std::string (*playerFile)() = nullptr;
};

void SetProjectorPort(const ProjectorPort& port);

HWND ProjectorMainWindow();
HWND ProjectorPlayerWindow();
void SetProjectorPlayerCursor(HCURSOR cursor);
bool SetProjectorPlayerClipRegion(HRGN region);
CommandBridge* ProjectorCommandBridge();
bool TakeDeferredClose();
std::string ProjectorPlayerFile();

}  // namespace kelpo
