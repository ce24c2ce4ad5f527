#include "host/frame_styles.h"

#include "host/project_settings.h"

namespace kelpo {

using namespace frame_bits;

FrameStyleChange FrameStylesFor(uint32_t borderStyle, uint32_t borderIcons) {
    FrameStyleChange change{};
    change.removeStyle =
        kPopup | kCaption | kSysMenu | kThickFrame | kMinimizeBox | kMaximizeBox;  // 0x80CF0000
    change.removeExStyle = kExAppWindow | kExContextHelp | kExToolWindow | kExTransparent;
    const bool popup = (borderStyle & kBorderNone) != 0;
    if (popup) {
        change.removeExStyle |= kExClientEdge;
        change.addStyle |= kPopup;
        // A window without a frame has nowhere to show these two.
        borderIcons &= ~(kIconMaximize | kIconHelp);
    } else if (borderStyle & kBorderSingle) {
        change.addStyle |= kCaption;
    } else if (borderStyle & kBorderResizable) {
        change.addStyle |= kCaption | kThickFrame;
    }
    if ((borderStyle & kBorderSmallCaption) && !popup) change.addExStyle |= kExToolWindow;
    if (borderIcons & kIconMaximize) change.addStyle |= kMaximizeBox;
    if (borderIcons & kIconMinimize) change.addStyle |= kMinimizeBox;
    if (borderIcons & kIconSystemMenu) change.addStyle |= kSysMenu;
    if (borderIcons & kIconHelp) change.addExStyle |= kExContextHelp;
    // The frame is owned by an invisible window: without this it would have
    // no taskbar button.
    if (!(borderStyle & kBorderHideTaskbarButton)) change.addExStyle |= kExAppWindow;
    return change;
}

int PlayerScaleModeFor(uint32_t scaleMode) {
    switch (scaleMode) {
        case kScaleShowAll: return 0;
        case kScaleNoBorder: return 1;
        case kScaleExactFit: return 2;
        case kScaleNoScale: return 3;
        default: return -1;
    }
}

}  // namespace kelpo
