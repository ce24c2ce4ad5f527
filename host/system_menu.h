// The main window's system menu: the items the context-menu word adds
// after the system's own (the player submenu, "Config...", "Help",
// "About..."), and the grey states of the window commands when the menu
// is shown as the right-click context menu.
#pragma once

#include <windows.h>

#include <cstdint>

#include "host/project_settings.h"

namespace kelpo {

constexpr UINT kConfigCommand = 32777;
constexpr UINT kHelpCommand = 32778;
constexpr UINT kSystemMenuResource = 130;

// Deletes the items past `baseCount` and appends those `contextMenu` asks
// for (1 Config, 16 player submenu, 256 About, 4096 Help; 2 adds nothing).
void BuildSystemMenu(HWND frame, int baseCount, uint32_t contextMenu);

// Greys Restore, Size, Maximize and Minimize as the window's state and the
// appearance settings allow.
void GreyWindowCommands(HMENU menu, HWND frame, const AppearanceSettings& appearance);

}  // namespace kelpo
