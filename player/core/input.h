// Mouse input and button states; see input.cpp.
#pragma once

#include "player/core/player_state.h"

namespace kelpo::player {

Instance* ButtonAt(Player& player, double x, double y);
void ChangeButtonState(Player& player, Instance& button, ButtonState state, uint16_t condition);
// True when the pointer is over an active button.
bool TrackMouse(Player& player, double x, double y);
void PressMouse(Player& player, double x, double y);
void ReleaseMouse(Player& player, double x, double y);

}  // namespace kelpo::player
