// The main window's private messages and command numbers: what the main
// frame answers and what the script objects post to it.
#pragma once

#include <windows.h>

namespace kelpo {

constexpr UINT kCloseMessage = WM_APP + 100;        // 0x8064: close like WM_CLOSE
constexpr UINT kReapplyShapeMessage = WM_APP + 10;  // 0x800A
constexpr UINT kScaleModeMessage = 0x87D1;
constexpr UINT kBackgroundMessage = 0x87D2;
constexpr UINT kTrayMessage = 0x87D3;
constexpr UINT kTransparentModeMessage = 0x8003;  // to the player wrapper: wParam 1 on, 0 off
constexpr UINT kStatusBarId = 0xE801;
constexpr UINT kFileOpenCommand = 57601;
constexpr WPARAM kAboutCommand = 32780;

}  // namespace kelpo
