// Text forms of the control's numeric settings.
#include "player/control/control_settings.h"

#include <cwchar>
#include <cwctype>

namespace kelpo::control {

namespace {

struct NamedValue {
    const wchar_t* name;
    int value;
};

// Quality values past 3 have no number of their own; Quality reports them as high.
constexpr NamedValue kQualityNames[] = {
    {L"Low", 0}, {L"High", 1}, {L"AutoLow", 2}, {L"AutoHigh", 3}, {L"Medium", 1}, {L"Best", 1},
};

constexpr NamedValue kScaleNames[] = {
    {L"ShowAll", kScaleShowAll},
    {L"NoBorder", kScaleNoBorder},
    {L"ExactFit", kScaleExactFit},
    {L"NoScale", kScaleNoScale},
};

template <size_t N>
bool Lookup(const NamedValue (&table)[N], const std::wstring& name, int& value) {
    for (const NamedValue& entry : table) {
        if (_wcsicmp(entry.name, name.c_str()) == 0) {
            value = entry.value;
            return true;
        }
    }
    return false;
}

}  // namespace

bool QualityFromName(const std::wstring& name, int& quality) {
    return Lookup(kQualityNames, name, quality);
}

std::wstring QualityName(int quality) {
    return quality >= 0 && quality <= 3 ? kQualityNames[quality].name : L"High";
}

bool ScaleModeFromName(const std::wstring& name, int& mode) {
    return Lookup(kScaleNames, name, mode);
}

std::wstring ScaleModeName(int mode) {
    return mode >= 0 && mode <= 3 ? kScaleNames[mode].name : L"ShowAll";
}

int AlignModeFromText(const std::wstring& text) {
    int mode = 0;
    for (wchar_t c : text) {
        switch (std::towupper(c)) {
            case L'L': mode |= kAlignLeft; break;
            case L'R': mode |= kAlignRight; break;
            case L'T': mode |= kAlignTop; break;
            case L'B': mode |= kAlignBottom; break;
            default: break;
        }
    }
    return mode;
}

std::wstring AlignModeText(int mode) {
    std::wstring text;
    if (mode & kAlignTop) text += L'T';
    if (mode & kAlignBottom) text += L'B';
    if (mode & kAlignLeft) text += L'L';
    if (mode & kAlignRight) text += L'R';
    return text;
}

bool ColorFromText(const std::wstring& text, long& color) {
    size_t start = !text.empty() && text[0] == L'#' ? 1 : 0;
    if (text.size() == start) {
        color = -1;
        return true;
    }
    if (text.size() - start > 6) return false;
    long value = 0;
    for (size_t i = start; i < text.size(); ++i) {
        if (!std::iswxdigit(text[i])) return false;
        wchar_t c = static_cast<wchar_t>(std::towupper(text[i]));
        value = value * 16 + (c <= L'9' ? c - L'0' : c - L'A' + 10);
    }
    color = value;
    return true;
}

std::wstring ColorText(long color) {
    if (color < 0) return L"";
    wchar_t text[8];
    swprintf(text, 8, L"#%06lX", static_cast<unsigned long>(color) & 0xFFFFFF);
    return text;
}

}  // namespace kelpo::control
