// The main window's frame styles from the appearance settings: which style
// and extended-style bits a border style and a set of border icons remove
// and add. The bit values are Win32's, spelled out so the rules are tested
// without Windows.
#pragma once

#include <cstdint>

namespace kelpo {

namespace frame_bits {
constexpr uint32_t kPopup = 0x80000000;
constexpr uint32_t kCaption = 0x00C00000;
constexpr uint32_t kSysMenu = 0x00080000;
constexpr uint32_t kThickFrame = 0x00040000;
constexpr uint32_t kMinimizeBox = 0x00020000;
constexpr uint32_t kMaximizeBox = 0x00010000;
constexpr uint32_t kExToolWindow = 0x00000080;
constexpr uint32_t kExClientEdge = 0x00000200;
constexpr uint32_t kExTransparent = 0x00000020;
constexpr uint32_t kExContextHelp = 0x00000400;
constexpr uint32_t kExAppWindow = 0x00040000;
}  // namespace frame_bits

struct FrameStyleChange {
    uint32_t removeStyle;
    uint32_t addStyle;
    uint32_t removeExStyle;
    uint32_t addExStyle;
};

// The changes for `borderStyle` (1 none, 16 single, 256 resizable, 4096
// small caption, 0x10000 no taskbar button) and `borderIcons` (1 maximize,
// 16 minimize, 256 system menu, 4096 help).
FrameStyleChange FrameStylesFor(uint32_t borderStyle, uint32_t borderIcons);

// Applies a change to a style pair.
inline void ApplyStyleChange(const FrameStyleChange& change, uint32_t& style, uint32_t& exStyle) {
    style = (style & ~change.removeStyle) | change.addStyle;
    exStyle = (exStyle & ~change.removeExStyle) | change.addExStyle;
}

// The player's ScaleMode for the settings' scale mode (1 show all, 2 no
// border, 256 exact fit, 16 no scale); -1 for any other value.
int PlayerScaleModeFor(uint32_t scaleMode);

}  // namespace kelpo
