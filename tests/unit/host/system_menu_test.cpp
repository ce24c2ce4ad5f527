// The main window's system menu: the items the context-menu word adds
// (from the projector's menu resource, linked into this test) and the grey
// states of the window commands when the menu is shown as a popup.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "host/system_menu.h"

namespace kelpo::test {
namespace {

struct Item {
    UINT id;  // 0 for separators and popups
    std::string text;
    bool popup;
};

class SystemMenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "KelpoSystemMenuTest";
        RegisterClassA(&windowClass);
        frame_ = CreateWindowExA(0, windowClass.lpszClassName, "", WS_OVERLAPPEDWINDOW, 0, 0, 300,
                                 200, nullptr, nullptr, windowClass.hInstance, nullptr);
        ASSERT_NE(nullptr, frame_);
        base_ = GetMenuItemCount(GetSystemMenu(frame_, FALSE));
    }
    void TearDown() override { DestroyWindow(frame_); }

    // The items past the system's own.
    std::vector<Item> Added() {
        HMENU menu = GetSystemMenu(frame_, FALSE);
        std::vector<Item> items;
        for (int i = base_; i < GetMenuItemCount(menu); ++i) {
            char text[128] = "";
            GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
            HMENU sub = GetSubMenu(menu, i);
            UINT id = sub ? 0 : GetMenuItemID(menu, i);
            items.push_back(Item{id == static_cast<UINT>(-1) ? 0 : id, text, sub != nullptr});
        }
        return items;
    }

    HWND frame_ = nullptr;
    int base_ = 0;
};

std::string Describe(const std::vector<Item>& items) {
    std::string out;
    for (const Item& item : items) {
        if (!out.empty()) out += " | ";
        out += item.popup ? "popup " + item.text
               : item.id  ? item.text + " " + std::to_string(item.id)
                          : "-";
    }
    return out;
}

TEST_F(SystemMenuTest, ItemsOfTheContextMenuWord) {
    struct Case {
        uint32_t contextMenu;
        const char* added;
    } cases[] = {
        {0x1111, "- | popup &Movie | Config... 32777 | Help 32778 | - | About... 32780"},
        {0x0100, "- | About... 32780"},
        {0x0001, "- | Config... 32777"},
        {0x1000, "- | Help 32778"},
        {0x0110, "- | popup &Movie | - | About... 32780"},
        {0x1113, ""},  // 2 locks the menu
        {0x0000, ""},
        {0x0008, ""},  // no item it knows
    };
    for (const Case& c : cases) {
        BuildSystemMenu(frame_, base_, c.contextMenu);
        EXPECT_EQ(c.added, Describe(Added())) << std::hex << c.contextMenu;
    }
}

TEST_F(SystemMenuTest, PlayerSubmenuIsACopyOfTheResourcePopup) {
    BuildSystemMenu(frame_, base_, 0x10);
    HMENU menu = GetSystemMenu(frame_, FALSE);
    HMENU player = GetSubMenu(menu, base_ + 1);
    ASSERT_NE(nullptr, player);
    std::vector<UINT> ids;
    for (int i = 0; i < GetMenuItemCount(player); ++i) ids.push_back(GetMenuItemID(player, i));
    // Zoom In, Zoom Out, 100%, Show All, -, Quality, -, Play, Loop, -,
    // Rewind, Forward, Back, -, About the player.
    const std::vector<UINT> expected = {20042, 20030, 20046, 20034, 0,     static_cast<UINT>(-1),
                                        0,     20039, 20043, 0,     20025, 20040,
                                        20041, 0,     20044};
    EXPECT_EQ(expected, ids);
    HMENU quality = GetSubMenu(player, 5);
    ASSERT_NE(nullptr, quality);
    EXPECT_EQ(20036u, GetMenuItemID(quality, 1));
}

TEST_F(SystemMenuTest, GreyWindowCommands) {
    struct Case {
        uint32_t borderStyle, borderIcons;
        bool zoomed;
        bool restore, size, maximize, minimize;  // enabled
    } cases[] = {
        {16, 16, false, false, false, false, true},
        {256, 0x111, false, false, true, true, true},
        {256, 0x111, true, true, true, true, true},
        {1, 0x111, false, false, false, false, true},  // no maximize without a frame
        {16, 0, false, false, false, false, false},
    };
    for (const Case& c : cases) {
        ShowWindow(frame_, c.zoomed ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
        AppearanceSettings appearance{};
        appearance.borderStyle = c.borderStyle;
        appearance.borderIcons = c.borderIcons;
        HMENU menu = GetSystemMenu(frame_, FALSE);
        GreyWindowCommands(menu, frame_, appearance);
        auto enabled = [menu](UINT command) {
            return (GetMenuState(menu, command, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)) == 0;
        };
        const std::string at = std::to_string(c.borderStyle) + "/" + std::to_string(c.borderIcons);
        EXPECT_EQ(c.restore, enabled(SC_RESTORE)) << at;
        EXPECT_EQ(c.size, enabled(SC_SIZE)) << at;
        EXPECT_EQ(c.maximize, enabled(SC_MAXIMIZE)) << at;
        EXPECT_EQ(c.minimize, enabled(SC_MINIMIZE)) << at;
    }
}

}  // namespace
}  // namespace kelpo::test
