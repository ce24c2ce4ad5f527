// The test movie assembler's action encoding, checked byte for byte so the
// player's tests stand on known input.
#include <gtest/gtest.h>

#include <stdexcept>

#include "tools/movie-writer/movie_assembler.h"

using namespace kelpo::movies;

namespace kelpo::test {
namespace {

TEST(MovieAssemblerTest, ActionTextEncodesToKnownBytes) {
    const struct {
        const char* text;
        std::vector<uint8_t> bytes;  // without the closing End action
    } cases[] = {
        {"getURL2 0", {0x9A, 1, 0, 0}},
        {"play; stop", {0x06, 0x07}},
        {"push 'a', 1", {0x96, 8, 0, 0, 'a', 0, 7, 1, 0, 0, 0}},
        {"push true, null, undefined, r:2, c:3", {0x96, 8, 0, 5, 1, 2, 3, 4, 2, 8, 3}},
        {"push 0.5", {0x96, 9, 0, 6, 0x00, 0x00, 0xE0, 0x3F, 0, 0, 0, 0}},
        {"jump x; stop; x:", {0x99, 2, 0, 1, 0, 0x07}},
        {"x: jump x", {0x99, 2, 0, 0xFB, 0xFF}},
        {"getURL 'u', 't'", {0x83, 4, 0, 'u', 0, 't', 0}},
        {"gotoFrame2 1, 3", {0x9F, 3, 0, 3, 3, 0}},
        {"defineFunction 'f', e, 'p'; stop; e:", {0x9B, 8, 0, 'f', 0, 1, 0, 'p', 0, 1, 0, 0x07}},
        {"raw 0x01, 2", {0x01, 0x02}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        std::vector<uint8_t> expected = c.bytes;
        expected.push_back(0x00);
        EXPECT_EQ(expected, AssembleActions(c.text));
    }
}

TEST(MovieAssemblerTest, UnknownTextIsRefused) {
    for (const char* text : {"fly", "jump nowhere", "push 'open", "push 1x", "gotoFrame"}) {
        SCOPED_TRACE(text);
        EXPECT_ANY_THROW(AssembleActions(text));
    }
}

}  // namespace
}  // namespace kelpo::test
