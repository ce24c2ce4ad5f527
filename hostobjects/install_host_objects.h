// Puts the projector's script classes into the registration order, so that
// every engine the host creates (the main one, install hooks, resource runs)
// sees them at their fixed positions. Called once, first thing at start-up.
#pragma once

namespace kelpo {

void InstallHostObjects();

}  // namespace kelpo
