// Icon files split into icon resources, and broken icon files refused.
#include <gtest/gtest.h>

#include "tests/unit/builder/builder_test_support.h"
#include "tools/kelpo-build/icon_file.h"

namespace kelpo::test {
namespace {

using namespace build;

TEST(IconFileTest, ImagesAreNumberedAndTheGroupNamesThem) {
    std::vector<uint8_t> ico = MakeIcoFile({3, 5, 2});
    IconResources parts;
    std::string reason;
    ASSERT_TRUE(SplitIconFile(ico, 40, parts, reason)) << reason;
    ASSERT_EQ(3u, parts.images.size());
    for (uint16_t i = 0; i < 3; ++i) {
        EXPECT_EQ(40 + i, parts.images[i].id);
        EXPECT_EQ(std::vector<uint8_t>(parts.images[i].bytes.size(), static_cast<uint8_t>(i + 1)),
                  parts.images[i].bytes);
        const uint8_t* entry = &parts.group[6 + 14 * i];
        EXPECT_TRUE(std::equal(entry, entry + 12, &ico[6 + 16 * i]))
            << i;  // width .. size repeated
        EXPECT_EQ(40 + i, entry[12] | entry[13] << 8);
    }
    EXPECT_EQ(std::vector<uint8_t>(ico.begin(), ico.begin() + 6),
              std::vector<uint8_t>(parts.group.begin(), parts.group.begin() + 6));
}

TEST(IconFileTest, BrokenIconFilesAreRefused) {
    std::vector<uint8_t> good = MakeIcoFile({4});
    std::vector<uint8_t> cursor = good;
    cursor[2] = 2;  // a cursor file
    std::vector<uint8_t> empty = MakeIcoFile({});
    std::vector<uint8_t> shortDirectory(good.begin(), good.begin() + 10);
    std::vector<uint8_t> outside = good;
    outside[6 + 8] = 200;  // the image size runs past the end
    std::vector<uint8_t> huge = good;
    huge[6 + 15] = 0xFF;  // the offset lies far beyond the file
    const struct {
        const std::vector<uint8_t>* bytes;
        const char* reason;
    } cases[] = {
        {&cursor, "not an icon file"},
        {&empty, "the icon file holds no images"},
        {&shortDirectory, "the icon file's directory is cut short"},
        {&outside, "image 1 lies outside the icon file"},
        {&huge, "image 1 lies outside the icon file"},
    };
    for (const auto& c : cases) {
        IconResources parts;
        std::string reason;
        EXPECT_FALSE(SplitIconFile(*c.bytes, 1, parts, reason)) << c.reason;
        EXPECT_EQ(c.reason, reason);
        EXPECT_TRUE(parts.images.empty());
    }
    IconResources parts;
    std::string reason;
    EXPECT_FALSE(SplitIconFile(good, 0xFFFF, parts, reason));
}

}  // namespace
}  // namespace kelpo::test
