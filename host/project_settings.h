// ProjectSettings: the packaged project's options, one process-wide record
// holding the groups of the settings stream in stream order. Texts are owned
// strings; path texts are fixed 260-byte buffers (at most 259 characters).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/counted_text.h"

namespace kelpo {

struct VersionInfo {
    std::string productName;
    std::string fileDescription;
    std::string companyName;
    std::string copyright;
    std::string trademarks;
    std::string comments;
    std::string version;
};

// windowShape values.
constexpr uint32_t kShapeRectangle = 0;
constexpr uint32_t kShapeTransparentBackground = 1;
constexpr uint32_t kShapeMask = 2;
// borderStyle flags.
constexpr uint32_t kBorderNone = 1;
constexpr uint32_t kBorderSingle = 16;
constexpr uint32_t kBorderResizable = 256;
constexpr uint32_t kBorderSmallCaption = 4096;
constexpr uint32_t kBorderHideTaskbarButton = 0x10000;
// borderIcons flags.
constexpr uint32_t kIconMaximize = 1;
constexpr uint32_t kIconMinimize = 16;
constexpr uint32_t kIconSystemMenu = 256;
constexpr uint32_t kIconHelp = 4096;
// scaleMode values.
constexpr uint32_t kScaleShowAll = 1;
constexpr uint32_t kScaleNoScale = 16;
constexpr uint32_t kScaleNoBorder = 2;
constexpr uint32_t kScaleExactFit = 256;

struct AppearanceSettings {
    uint32_t windowShape;
    uint32_t borderStyle;
    uint32_t borderIcons;
    uint32_t scaleMode;
    char maskName[kPathTextSize];
    char caption[kPathTextSize];
};

struct SizeAndPosSettings {
    uint32_t windowSize;  // 0 movie size, 1 full screen, 2 maximized, 3 custom, 4 percentage
    uint16_t width;
    uint16_t height;
    uint32_t pos;  // 0..8 the nine anchors, 9 custom
    uint16_t left;
    uint16_t top;
    uint32_t bKeepRatio;
};

struct InteractionSettings {
    uint32_t lBtnClk;    // 0 player, 1 drag the window, 2 ignore
    uint32_t rBtnClk;    // 0 player menu, 1 context menu, 2 ignore
    uint32_t keyPress;   // 1 player, 16 ignore, 256 disable Windows keys
    uint32_t exitKeys;   // 1 Esc, 16 custom hot key
    uint32_t lockFlags;  // 1 bDisableAltTab, 16 bDisableCursor, 256 bDisableScr
    uint16_t hotKeyCode;
    uint16_t hotKeyModifiers;
};

// BehaviourSettings flags.
constexpr uint32_t kBehaviourAutoPlay = 1;
constexpr uint32_t kBehaviourTrayUsesAppIcon = 2;
constexpr uint32_t kBehaviourStartMinimized = 16;
constexpr uint32_t kBehaviourAlwaysOnTop = 256;
constexpr uint32_t kBehaviourShowInSystemTray = 4096;

struct BehaviourSettings {
    uint32_t contextMenu;  // 1 configure, 16 player menu, 256 about, 4096 help; 2 locks the menu
    uint32_t flags;
};

// A group the host carries without interpreting it: stored as a u32 length
// and that many bytes, and written back unchanged.
struct ReservedGroup {
    std::vector<uint8_t> bytes;
};

// MiscSettings flags.
constexpr uint32_t kMiscCustomBackground = 1;
constexpr uint32_t kMiscAboutAsSplash = 16;
constexpr uint32_t kMiscMuteSpeakers = 256;
constexpr uint32_t kMiscUseHelpFile = 4096;

struct MiscSettings {
    uint32_t flags;
    uint32_t backgroundColor;  // bytes red, green, blue, 0
    char helpFile[kPathTextSize];
};

// The Win32 LOGFONT layout with an ANSI face name.
struct LinkFont {
    int32_t height;
    int32_t width;
    int32_t escapement;
    int32_t orientation;
    int32_t weight;
    uint8_t italic;
    uint8_t underline;
    uint8_t strikeOut;
    uint8_t charSet;
    uint8_t outPrecision;
    uint8_t clipPrecision;
    uint8_t quality;
    uint8_t pitchAndFamily;
    char faceName[32];
};

// AboutSettings picture flags.
constexpr uint32_t kAboutShowMovie = 16;
constexpr uint32_t kAboutShowPicture = 256;
constexpr uint32_t kAboutTransparentPicture = 4096;

struct AboutSettings {
    std::string link1Caption;
    std::string link1Target;
    std::string link2Caption;
    std::string link2Target;  // an e-mail address
    uint32_t link1Color;
    uint32_t link2Color;
    LinkFont link1Font;
    LinkFont link2Font;
    uint32_t pictureFlags;
    uint32_t pictureWord;  // carried through
    char picture[kPathTextSize];
    char carriedPath[kPathTextSize];
};

// Fields kept and written back, used by nobody.
struct TrailingGroup {
    uint32_t word1;
    std::string text;
    uint32_t word2;
    uint8_t bytes[16];
    uint32_t word3;
    char path[kPathTextSize];
    uint16_t short1;
    uint16_t short2;
};

struct ProjectSettings {
    VersionInfo version;
    AppearanceSettings appearance;
    SizeAndPosSettings sizeAndPos;
    InteractionSettings interaction;
    BehaviourSettings behaviour;
    ReservedGroup reserved;
    MiscSettings misc;
    AboutSettings about;
    TrailingGroup trailing;
};

// A zeroed record: every number 0, every text empty.
ProjectSettings EmptyProjectSettings();

}  // namespace kelpo
