// The main window's appearance from the project settings: frame styles and
// caption, size and position, clip shape or transparent background,
// always-on-top and start minimized, and the help file and background
// colour. Start-up, the "fullscreen" command and the settings objects call
// these in the orders they need; each can be called again at any time.
#pragma once

#include <windows.h>

#include "host/project_settings.h"

namespace kelpo {

class CMainFrame;

// Styles and caption; hides the window and sends the scale mode (0x87D1).
void ApplyFrame(CMainFrame& frame, const AppearanceSettings& appearance);
// Sizes and places the window for the loaded movie, then shows it.
void ApplySizeAndPos(CMainFrame& frame, const SizeAndPosSettings& sizeAndPos);
// The clip region of a mask (shape 2) or none; tells the player whether
// transparent mode is on (shapes 1 and 3).
void ApplyShape(CMainFrame& frame, const AppearanceSettings& appearance);
// Start minimized (flag 16) and always on top (flag 256); `show` shows it.
void ApplyTopmost(HWND frame, uint32_t behaviourFlags, bool show);
// The help file (flag 4096) and the background colour (0x87D2).
void ApplyMiscOptions(CMainFrame& frame, const MiscSettings& misc);

// Opens a help file: ".chm" with HTML Help, anything else with WinHelp.
void ShowHelpFile(HWND owner, const std::string& path);
// Unloads the HTML Help library when it was loaded (at exit).
void UnloadHtmlHelp();

}  // namespace kelpo
