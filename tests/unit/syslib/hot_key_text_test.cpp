// Hot-key texts of shell links, under Wine: a table of texts and the hot
// keys they give (or leave unchanged), and every key the driver names read
// as text and parsed back to the same hot key.
#include "syslib/hot_key_text_win32.h"

#include <gtest/gtest.h>

namespace kelpo {
namespace {

constexpr BYTE kShift = 0x01, kControl = 0x02, kAlt = 0x04, kExtended = 0x08;

struct Case {
    const char* text;
    bool parsed;
    WORD hotKey;  // when parsed
};

const Case kCases[] = {
    {"CTRL+ALT+F5", true, MAKEWORD(VK_F5, kControl | kAlt)},
    {"ctrl+alt+f5", true, MAKEWORD(VK_F5, kControl | kAlt)},
    {"SHIFT+F12", true, MAKEWORD(VK_F12, kShift)},
    {"ctrl+shift+home", true, MAKEWORD(VK_HOME, kControl | kShift | kExtended)},
    {"ALT+End", true, MAKEWORD(VK_END, kAlt | kExtended)},
    {"ALT+INS", true, MAKEWORD(VK_INSERT, kAlt | kExtended)},
    {"CTRL+num 5", true, MAKEWORD(VK_NUMPAD5, kControl)},
    {"Alt+x", true, MAKEWORD('X', kAlt)},
    {"CTRL+7", true, MAKEWORD('7', kControl)},
    {"CTRL + ALT + Q", true, MAKEWORD('Q', kControl | kAlt)},
    // The last key wins; its extended flag goes with it.
    {"CTRL+home+A", true, MAKEWORD('A', kControl)},
    {"CTRL+A+home", true, MAKEWORD(VK_HOME, kControl | kExtended)},
    // No modifier, no key, or nothing at all: unchanged.
    {"F6", false, 0},
    {"x", false, 0},
    {"SHIFT", false, 0},
    {"CTRL+ALT", false, 0},
    {"", false, 0},
    {"+", false, 0},
    {"CTRL++", false, 0},
    {"CTRL+no such key", false, 0},
};

TEST(HotKeyTextTest, TextsGiveTheirHotKeys) {
    for (const Case& c : kCases) {
        WORD hotKey = 0x1234;
        EXPECT_EQ(ParseHotKeyText(c.text, &hotKey), c.parsed) << c.text;
        EXPECT_EQ(hotKey, c.parsed ? c.hotKey : 0x1234) << c.text;
    }
}

TEST(HotKeyTextTest, ReadingNamesModifiersInOrder) {
    EXPECT_EQ(HotKeyText(0), "None");
    EXPECT_EQ(HotKeyText(MAKEWORD(VK_F5, kControl | kAlt)), "CTRL+ALT+F5");
    EXPECT_EQ(HotKeyText(MAKEWORD('K', kAlt | kShift | kControl)), "CTRL+SHIFT+ALT+K");
}

TEST(HotKeyTextTest, TextsReadBackToTheSameHotKey) {
    const BYTE keys[] = {'A', 'Z', '0', '9', VK_F1, VK_F12, VK_NUMPAD0, VK_NUMPAD9};
    for (BYTE key : keys) {
        const WORD hotKey = MAKEWORD(key, kControl | kShift);
        WORD back = 0;
        const std::string text = HotKeyText(hotKey);
        EXPECT_TRUE(ParseHotKeyText(text, &back)) << text;
        EXPECT_EQ(back, hotKey) << text;
    }
    // Keys of the extended block by the names the driver gives them.
    const BYTE extended[] = {VK_HOME, VK_END, VK_INSERT, VK_DELETE, VK_PRIOR, VK_NEXT};
    for (BYTE key : extended) {
        const WORD hotKey = MAKEWORD(key, kAlt | kExtended);
        WORD back = 0;
        const std::string text = HotKeyText(hotKey);
        EXPECT_TRUE(ParseHotKeyText(text, &back)) << text;
        EXPECT_EQ(back, hotKey) << text;
    }
}

}  // namespace
}  // namespace kelpo
