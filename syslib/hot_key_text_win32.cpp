// Hot-key text of shell links. Reading names the key as the keyboard
// driver does (GetKeyNameTextA), so the text follows the keyboard layout;
// writing accepts the fixed names below, single characters, and every name
// the driver gives, so that a text read from a link writes back unchanged.
#include "syslib/hot_key_text_win32.h"

#include <cctype>
#include <cstring>
#include <vector>

namespace kelpo {
namespace {

// The modifier flags of a hot key's high byte (the common controls' values).
constexpr BYTE kShiftFlag = 0x01;
constexpr BYTE kControlFlag = 0x02;
constexpr BYTE kAltFlag = 0x04;
constexpr BYTE kExtendedFlag = 0x08;

struct Modifier {
    const char* name;
    BYTE flag;
};
// Also the order in which reading lists them.
const Modifier kModifiers[] = {
    {"CTRL", kControlFlag},
    {"SHIFT", kShiftFlag},
    {"ALT", kAltFlag},
};

struct KeyName {
    const char* name;
    BYTE key;
    BYTE flags;  // the extended flag for keys of the extended block
};
const KeyName kKeyNames[] = {
    {"home", VK_HOME, kExtendedFlag},
    {"end", VK_END, kExtendedFlag},
    {"ins", VK_INSERT, kExtendedFlag},
    {"num 0", VK_NUMPAD0, 0},
    {"num 1", VK_NUMPAD1, 0},
    {"num 2", VK_NUMPAD2, 0},
    {"num 3", VK_NUMPAD3, 0},
    {"num 4", VK_NUMPAD4, 0},
    {"num 5", VK_NUMPAD5, 0},
    {"num 6", VK_NUMPAD6, 0},
    {"num 7", VK_NUMPAD7, 0},
    {"num 8", VK_NUMPAD8, 0},
    {"num 9", VK_NUMPAD9, 0},
    {"f1", VK_F1, 0},
    {"f2", VK_F2, 0},
    {"f3", VK_F3, 0},
    {"f4", VK_F4, 0},
    {"f5", VK_F5, 0},
    {"f6", VK_F6, 0},
    {"f7", VK_F7, 0},
    {"f8", VK_F8, 0},
    {"f9", VK_F9, 0},
    {"f10", VK_F10, 0},
    {"f11", VK_F11, 0},
    {"f12", VK_F12, 0},
};

bool SameText(const std::string& a, const char* b) {
    const size_t size = std::strlen(b);
    if (a.size() != size) return false;
    for (size_t i = 0; i < size; ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

// The driver's name of a virtual key; empty when it has none.
std::string KeyNameOf(BYTE key, bool extended) {
    const UINT scan = MapVirtualKeyA(key, MAPVK_VK_TO_VSC);
    LONG param = static_cast<LONG>(scan << 16);
    if (extended) param |= 1 << 24;
    char name[128] = {};
    const int size = GetKeyNameTextA(param, name, sizeof name);
    return size > 0 ? std::string(name, static_cast<size_t>(size)) : std::string();
}

// A token as a key: the fixed names, then one character, then any name the
// driver gives a key (extended block first, so "Home" means the navigation
// key rather than the keypad one). False for anything else.
bool KeyOfToken(const std::string& token, BYTE* key, BYTE* flags) {
    for (const KeyName& entry : kKeyNames) {
        if (SameText(token, entry.name)) {
            *key = entry.key;
            *flags = entry.flags;
            return true;
        }
    }
    if (token.size() == 1) {
        const unsigned char c = static_cast<unsigned char>(token[0]);
        *flags = 0;
        if (std::isalnum(c)) {
            *key = static_cast<BYTE>(std::toupper(c));
            return true;
        }
        // Punctuation: the key that types it on the current layout.
        const SHORT scan = VkKeyScanA(static_cast<char>(c));
        if (scan == -1 || (scan & 0xFF) == 0xFF) return false;
        *key = static_cast<BYTE>(scan & 0xFF);
        return true;
    }
    for (int extended = 1; extended >= 0; --extended) {
        for (int vk = 1; vk < 255; ++vk) {
            const std::string name = KeyNameOf(static_cast<BYTE>(vk), extended != 0);
            if (!name.empty() && SameText(token, name.c_str())) {
                *key = static_cast<BYTE>(vk);
                *flags = extended ? kExtendedFlag : 0;
                return true;
            }
        }
    }
    return false;
}

// "Num 5", "F5", "Home" for the keys of the table; the character of a
// letter or digit; else empty.
std::string FallbackName(BYTE key, bool extended) {
    for (const KeyName& entry : kKeyNames) {
        if (entry.key == key && ((entry.flags & kExtendedFlag) != 0) == extended) {
            std::string name = entry.name;
            name[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
            return name;
        }
    }
    if (std::isalnum(key) && key < 0x80) return std::string(1, static_cast<char>(key));
    return std::string();
}

}  // namespace

std::string HotKeyText(WORD hotKey) {
    if (hotKey == 0) return "None";
    const BYTE key = LOBYTE(hotKey);
    const BYTE flags = HIBYTE(hotKey);
    std::string text;
    for (const Modifier& modifier : kModifiers) {
        if (flags & modifier.flag) {
            text += modifier.name;
            text += '+';
        }
    }
    const bool extended = (flags & kExtendedFlag) != 0;
    std::string name = KeyNameOf(key, extended);
    // The driver may have no name for a key, or one that names another
    // (some drivers give keypad keys the names of letter keys): then the
    // key's own name of the table, or its character, when it has one.
    BYTE named = 0, namedFlags = 0;
    if (name.empty() || !KeyOfToken(name, &named, &namedFlags) || named != key ||
        (namedFlags & kExtendedFlag) != (flags & kExtendedFlag)) {
        std::string fallback = FallbackName(key, extended);
        if (!fallback.empty()) name = fallback;
    }
    return text + name;
}

bool ParseHotKeyText(const std::string& text, WORD* hotKey) {
    BYTE modifiers = 0;
    BYTE key = 0;
    BYTE keyFlags = 0;
    size_t at = 0;
    while (at <= text.size()) {
        size_t end = text.find('+', at);
        if (end == std::string::npos) end = text.size();
        // Surrounding blanks are no part of a name ("CTRL + A").
        size_t first = at, last = end;
        while (first < last && text[first] == ' ') ++first;
        while (last > first && text[last - 1] == ' ') --last;
        const std::string token = text.substr(first, last - first);
        at = end + 1;
        // Empty tokens ("CTRL++", a trailing "+") name nothing.
        if (token.empty()) continue;
        bool isModifier = false;
        for (const Modifier& modifier : kModifiers) {
            if (SameText(token, modifier.name)) {
                modifiers |= modifier.flag;
                isModifier = true;
            }
        }
        if (isModifier) continue;
        BYTE tokenKey = 0, tokenFlags = 0;
        if (KeyOfToken(token, &tokenKey, &tokenFlags)) {
            key = tokenKey;
            keyFlags = tokenFlags;
        }
    }
    if (key == 0 || modifiers == 0) return false;
    *hotKey = MAKEWORD(key, modifiers | keyFlags);
    return true;
}

}  // namespace kelpo
