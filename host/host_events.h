// Script events the host fires: onGetFlashPlayer (before the player is
// created), onGetMovie (when the start movie is chosen) and onMovieLoaded
// (after a movie was given to the player). The Application script object
// installs these handlers when a script registers them; until then nobody
// answers and the host goes its own way. The same record carries the
// closing of the scripts' trace file, which the host does with the window.
#pragma once

#include <string>

namespace kelpo {

struct HostEventHandlers {
    // True with a path when a script supplies one.
    bool (*getFlashPlayer)(std::string& path) = nullptr;
    bool (*getMovie)(std::string& path) = nullptr;
    void (*movieLoaded)(const std::string& path) = nullptr;
    // Closes the scripts' trace file (main window close, session end).
    void (*closeTraceFile)() = nullptr;
};

inline HostEventHandlers& TheHostEvents() {
    static HostEventHandlers handlers;
    return handlers;
}

}  // namespace kelpo
