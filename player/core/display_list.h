// Display lists and timelines: placing and removing instances, entering
// frames (which queues their actions), going to a frame, and the per-tick
// advance of every playing timeline.
#pragma once

#include "player/core/player_state.h"

namespace kelpo::player {

int FrameCount(const Instance& clip);
// Frames count from 0. Returns the number of display operations replayed,
// which callers charge to a script's budget.
size_t GotoFrameOf(Player& player, Instance& clip, int frame);
void AdvanceClip(Player& player, Instance& clip);
// Advances every level's tree by one tick.
void AdvanceAll(Player& player);
// Queues the actions of the clip's current frame.
void QueueFrameActions(Player& player, Instance& clip);
void RemoveInstance(Player& player, Instance& clip);
// Builds a level from a movie and enters its first frame.
Instance* MakeLevel(Player& player, int level, std::shared_ptr<const MovieDefinition> movie);
// Looks a frame label up (without letter case); -1 when absent.
int FindLabel(const Instance& clip, const std::string& label);
std::string CurrentLabel(const Instance& clip);
// Duplicates a sprite under a new name at a depth of its parent.
Instance* DuplicateClip(Player& player, Instance& clip, const std::string& name, int depth);

}  // namespace kelpo::player
