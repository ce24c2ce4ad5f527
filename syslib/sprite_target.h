// The sprite window: while the main window is transparent, a script (the
// desktop toy) may name one movie clip, the sprite target, and a frame label
// to call before each paint. The host then shows only the target's bounds
// (its movie variables xMin, yMin, xMax, yMax) as the window. Two
// process-wide texts, empty until set.
#pragma once

#include <string>

namespace kelpo {

struct SpriteTarget {
    std::string target;      // a movie clip path, "" for none
    std::string frameLabel;  // called on "_root" before each paint, "" for none
};

SpriteTarget& TheSpriteTarget();

}  // namespace kelpo
