// Connects the projector's script objects to the running projector, so that
// every engine the host creates (the main one, install hooks, resource runs)
// registers the whole library and reaches the main frame. Called once, first
// thing at start-up.
#pragma once

namespace kelpo {

void InstallHostObjects();

}  // namespace kelpo
