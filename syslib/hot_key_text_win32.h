// Hot keys of shell links as text (Windows only): "CTRL+ALT+F5" and back.
// A hot key is a WORD: the virtual key in the low byte, the modifier flags
// (HOTKEYF_SHIFT 1, HOTKEYF_CONTROL 2, HOTKEYF_ALT 4, HOTKEYF_EXT 8) in the
// high byte.
#pragma once

#include <windows.h>

#include <string>

namespace kelpo {

// "None" for 0; otherwise the set modifiers in the order CTRL, SHIFT, ALT,
// then the system's name of the key, joined by "+". Where the system has
// no name for the key, or one that parses as another key, the fixed name
// ("Num 5", "F5", "Home") or the character stands instead, so that the
// text always parses back to the same hot key.
std::string HotKeyText(WORD hotKey);

// Parses "+"-separated tokens (modifiers, key names, single characters);
// the last key token wins. False, and `hotKey` untouched, unless the text
// names both a key and at least one modifier.
bool ParseHotKeyText(const std::string& text, WORD* hotKey);

}  // namespace kelpo
