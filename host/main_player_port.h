// The port of the main frame's player control; null while there is none.
#pragma once

#include "hostobjects/player_port.h"

namespace kelpo {

const PlayerPort* MainPlayerPort();

}  // namespace kelpo
