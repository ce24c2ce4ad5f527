// Windows Sockets, started once for every network class of the process.
#pragma once

namespace kelpo {

// Starts Windows Sockets 2.2 on first use; false when it cannot start.
bool StartWinsock();

}  // namespace kelpo
