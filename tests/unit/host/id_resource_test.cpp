// The ID resource, its digest, and the MD5 of pieces it is made with.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "host/id_resource.h"
#include "syslib/crypto_blocks.h"

namespace kelpo::test {
namespace {

std::string Hex(const uint8_t* digest) {
    std::string text;
    char two[3];
    for (int i = 0; i < 16; ++i) {
        std::snprintf(two, sizeof two, "%02x", digest[i]);
        text += two;
    }
    return text;
}

TEST(Md5, MatchesTheReferenceVectors) {
    const std::pair<std::string, const char*> cases[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const auto& c : cases) {
        // Whole, and cut in two at every place: the pieces hash as one text.
        for (size_t cut = 0; cut <= c.first.size(); ++cut) {
            const BytePiece pieces[] = {{c.first.data(), cut},
                                        {c.first.data() + cut, c.first.size() - cut}};
            uint8_t digest[16];
            Md5Pieces(pieces, 2, digest);
            EXPECT_EQ(c.second, Hex(digest)) << c.first << " cut at " << cut;
        }
    }
}

TEST(IdResource, SplitsKeyAndProfile) {
    struct Case {
        const char* text;
        const char* key;
        const char* profile;
    };
    const Case cases[] = {
        {"Acme/Viewer", "Acme", "Viewer"},
        {"Acme/Viewer/Extra", "Acme", "Viewer/Extra"},
        {"Acme", "Acme", "app"},
        {"", "", "app"},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = WriteIdResource(c.text);
        ProjectIdentity identity;
        ASSERT_TRUE(ReadIdResource(bytes.data(), bytes.size(), "app", identity)) << c.text;
        EXPECT_EQ(c.text, identity.text);
        EXPECT_EQ(c.key, identity.key);
        EXPECT_EQ(c.profile, identity.profile);
    }
}

TEST(IdResource, RejectsDamage) {
    std::vector<uint8_t> good = WriteIdResource("Acme/Viewer");
    ProjectIdentity identity;
    for (size_t i = 0; i < good.size(); ++i) {
        std::vector<uint8_t> bad = good;
        bad[i] ^= 1;
        EXPECT_FALSE(ReadIdResource(bad.data(), bad.size(), "app", identity)) << i;
    }
    EXPECT_FALSE(ReadIdResource(good.data(), 32, "app", identity));
    EXPECT_FALSE(ReadIdResource(nullptr, 0, "app", identity));
    std::vector<uint8_t> shortened(good.begin() + 2, good.end());
    EXPECT_FALSE(ReadIdResource(shortened.data(), shortened.size(), "app", identity));
}

TEST(SettingsIdentity, ChangesWithTheSettings) {
    std::vector<uint8_t> a = {1, 2, 3}, b = {1, 2, 4};
    EXPECT_EQ(16u, ComputeSettingsIdentity(a).size());
    EXPECT_EQ(ComputeSettingsIdentity(a), ComputeSettingsIdentity(a));
    EXPECT_NE(ComputeSettingsIdentity(a), ComputeSettingsIdentity(b));
}

}  // namespace
}  // namespace kelpo::test
