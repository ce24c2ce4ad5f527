// The values hosts set through the control's properties, kept apart from
// the movie so they survive loading another one, and the text forms of the
// numeric ones (Quality and Quality2, ScaleMode and Scale, AlignMode and
// SAlign, BackgroundColor and BGColor are two views of one value each).
#pragma once

#include <string>

namespace kelpo::control {

enum ScaleModes { kScaleShowAll = 0, kScaleNoBorder = 1, kScaleExactFit = 2, kScaleNoScale = 3 };
enum AlignBits { kAlignLeft = 1, kAlignRight = 2, kAlignTop = 4, kAlignBottom = 8 };

struct ControlSettings {
    bool playing = true;  // play movies when they load
    bool loop = true;
    int quality = 1;  // 0 low, 1 high, 2 auto-low, 3 auto-high
    std::wstring quality2 = L"High";
    int scaleMode = kScaleShowAll;
    int alignMode = 0;          // AlignBits; 0 centres
    long backgroundColor = -1;  // 0xRRGGBB, or -1 for the movie's own
    bool menu = true;
    bool deviceFont = false;
    bool embedMovie = false;
    std::wstring movie, base, wmode = L"Window", swRemote, flashVars, allowScriptAccess = L"always",
                              movieData;
};

// Quality names: "Low", "High", "AutoLow", "AutoHigh" (numbers 0 to 3), and
// "Medium", "Best", which only Quality2 holds. False for other texts.
bool QualityFromName(const std::wstring& name, int& quality);
std::wstring QualityName(int quality);

// Scale names: "ShowAll", "NoBorder", "ExactFit", "NoScale" (any case).
bool ScaleModeFromName(const std::wstring& name, int& mode);
std::wstring ScaleModeName(int mode);

// SAlign texts: any of the letters L, R, T, B ("TL", "BR"...), any case.
int AlignModeFromText(const std::wstring& text);
std::wstring AlignModeText(int mode);

// BGColor texts: "#RRGGBB" or "RRGGBB" in hex; -1 for an empty text.
bool ColorFromText(const std::wstring& text, long& color);
std::wstring ColorText(long color);

}  // namespace kelpo::control
