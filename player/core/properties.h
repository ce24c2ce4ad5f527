// Clip properties by their standard index (0 "_x" ... 21 "_ymouse"), read
// and written as script values; positions are pixels, scales and alpha
// percentages, rotation degrees.
#pragma once

#include <string>

#include "player/core/geometry.h"
#include "player/core/player_state.h"

namespace kelpo::player {

constexpr int kPropertyCount = 22;
extern const char* const kPropertyNames[kPropertyCount];

// -1 when `name` is no property ("_x", "_XScale"... letter case ignored).
int PropertyIndex(const std::string& name);
Value GetProperty(Player& player, Instance& clip, int index);
void SetProperty(Player& player, Instance& clip, int index, const Value& value);

// Movie space to the clip's own space is the inverse of this.
Matrix WorldMatrix(const Instance& clip);
// The clip's drawn area in its own twips.
Bounds LocalBounds(const Instance& clip);

}  // namespace kelpo::player
