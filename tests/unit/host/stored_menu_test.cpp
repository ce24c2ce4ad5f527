// Stored menus.
#include <gtest/gtest.h>

#include "host/byte_stream.h"
#include "host/stored_menu.h"

namespace kelpo::test {
namespace {

std::vector<StoredMenuItem> SampleMenu() {
    StoredMenuItem file{kMenuItemPopup, "", "&File", "", {}};
    file.children.push_back({0, "open", "&Open\tCtrl+O", "icons/open.ico", {}});
    file.children.push_back({kMenuItemSeparator, "", "", "", {}});
    file.children.push_back({kMenuItemChecked | kMenuItemDefault, "quit", "E&xit", "", {}});
    return {file, {kMenuItemGrayed, "help", "Help", "", {}}};
}

bool Same(const std::vector<StoredMenuItem>& a, const std::vector<StoredMenuItem>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].flags != b[i].flags || a[i].name != b[i].name || a[i].caption != b[i].caption ||
            a[i].iconPath != b[i].iconPath || !Same(a[i].children, b[i].children))
            return false;
    return true;
}

TEST(StoredMenu, RoundTrips) {
    std::vector<uint8_t> bytes = WriteStoredMenu(SampleMenu());
    std::vector<StoredMenuItem> read;
    ASSERT_TRUE(ReadStoredMenu(bytes.data(), bytes.size(), read));
    EXPECT_TRUE(Same(SampleMenu(), read));
    EXPECT_EQ(bytes, WriteStoredMenu(read));
    // The header: three zero words and three empty texts.
    EXPECT_EQ(0u, LoadU32(&bytes[0]));
    EXPECT_EQ(1u, LoadU32(&bytes[12]));
}

TEST(StoredMenu, DamagedMenusAreRefused) {
    std::vector<uint8_t> bytes = WriteStoredMenu(SampleMenu());
    for (size_t length = 0; length < bytes.size(); length += 5) {
        std::vector<StoredMenuItem> read;
        EXPECT_FALSE(ReadStoredMenu(bytes.data(), length, read)) << length;
        EXPECT_TRUE(read.empty());
    }
    // A count far beyond the data must not reserve memory for it.
    std::vector<uint8_t> huge = WriteStoredMenu({});
    StoreU32(&huge[huge.size() - 4], 0xFFFFFFFF);
    std::vector<StoredMenuItem> read;
    EXPECT_FALSE(ReadStoredMenu(huge.data(), huge.size(), read));
}

TEST(StoredMenu, NestingIsBounded) {
    StoredMenuItem leaf{0, "x", "x", "", {}};
    auto nested = [&](int depth) {
        StoredMenuItem item = leaf;
        for (int i = 0; i < depth; ++i) item = StoredMenuItem{kMenuItemPopup, "", "p", "", {item}};
        return WriteStoredMenu({item});
    };
    std::vector<StoredMenuItem> read;
    std::vector<uint8_t> ok = nested(kMaxMenuDepth);
    EXPECT_TRUE(ReadStoredMenu(ok.data(), ok.size(), read));
    std::vector<uint8_t> deep = nested(kMaxMenuDepth + 1);
    EXPECT_FALSE(ReadStoredMenu(deep.data(), deep.size(), read));
}

}  // namespace
}  // namespace kelpo::test
