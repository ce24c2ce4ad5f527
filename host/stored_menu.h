// The stored menu (resource type "MENUS"): a header of three u32 and three
// CountedText values (written as zeros and empty texts, ignored on reading),
// then a u32 count of top-level items. An item is u32 flags, two reserved
// u32, CountedText name, caption and icon path; a pop-up item (flag 2) is
// followed by a u32 count and its child items.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kelpo {

constexpr uint32_t kMenuItemSeparator = 1;
constexpr uint32_t kMenuItemPopup = 2;
constexpr uint32_t kMenuItemDisabled = 4;
constexpr uint32_t kMenuItemChecked = 8;
constexpr uint32_t kMenuItemGrayed = 16;
constexpr uint32_t kMenuItemDefault = 64;

// Pop-ups nest at most this deep; deeper stores are refused as damaged.
constexpr int kMaxMenuDepth = 32;

struct StoredMenuItem {
    uint32_t flags = 0;
    std::string name;
    std::string caption;
    std::string iconPath;
    std::vector<StoredMenuItem> children;  // pop-ups only
};

// Parses an unpacked stored menu; false (items cleared) when it is damaged.
bool ReadStoredMenu(const uint8_t* bytes, size_t length, std::vector<StoredMenuItem>& items);
std::vector<uint8_t> WriteStoredMenu(const std::vector<StoredMenuItem>& items);

}  // namespace kelpo
