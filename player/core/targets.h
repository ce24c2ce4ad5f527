// Target paths: slash syntax ("/clip/sub", "../x", "_level1/clip") and dot
// syntax ("_root.clip.sub", "_parent.x", "this"), relative to a clip.
#pragma once

#include <string>

#include "player/core/player_state.h"

namespace kelpo::player {

Instance* LevelRoot(Instance& clip);
Instance* FindChild(Player& player, Instance& clip, const std::string& name);
// Null when some step of the path does not name a clip. A null `base`
// means the root of _level0.
Instance* ResolveTarget(Player& player, Instance* base, const std::string& path);
// "_level0.clip.sub": how clip references are written and resolved.
std::string DotPath(const Instance& clip);
// "/clip/sub" (levels other than 0: "_level1/clip"), the _target property.
std::string SlashPath(const Instance& clip);
// "_levelN" names level N.
bool ParseLevelName(const std::string& name, int& level);

}  // namespace kelpo::player
