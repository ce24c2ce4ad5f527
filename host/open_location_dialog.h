// The "Open" dialog of projects without movies: a location (URL or file)
// typed in or chosen with the file dialog.
#pragma once

#include <windows.h>

#include <string>

namespace kelpo {

// True with the location when the user pressed OK.
bool AskForLocation(HWND owner, std::string& location);

}  // namespace kelpo
