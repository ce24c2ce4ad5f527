// The layout of a call between projectors: the caller's block round-trips
// through the listener's parser, the arguments text splits at commas with
// empty pieces dropped, the handle is a 32-bit value at offset 0, and the
// answer is read within the block whatever the block and the returned
// length say (the block is writable by any process).
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "host/copy_data_call.h"
#include "netlib/call_block.h"

namespace kelpo {
namespace {

struct SplitCase {
    const char* text;
    std::vector<std::string> pieces;
};

const SplitCase kSplitCases[] = {
    {"", {}},
    {"a", {"a"}},
    {"a,b", {"a", "b"}},
    {"a,,b", {"a", "b"}},
    {",a,", {"a"}},
    {",,,", {}},
    {"one two, three", {"one two", " three"}},
};

TEST(CallBlock, SplitsArgumentsAtCommasDroppingEmptyPieces) {
    for (const SplitCase& c : kSplitCases) {
        EXPECT_EQ(SplitCallArguments(c.text), c.pieces) << '"' << c.text << '"';
    }
}

TEST(CallBlock, BlockRoundTripsThroughTheListenersParser) {
    for (const SplitCase& c : kSplitCases) {
        const std::string block = BuildCallBlock("Reply42", "greet", SplitCallArguments(c.text));
        CopyDataCall call;
        ASSERT_TRUE(
            ParseCopyDataCall(reinterpret_cast<const uint8_t*>(block.data()), block.size(), call));
        EXPECT_EQ(call.mappingName, "Reply42");
        EXPECT_EQ(call.function, "greet");
        EXPECT_EQ(call.arguments, c.pieces) << '"' << c.text << '"';
    }
}

TEST(CallBlock, BlockLayoutIsNamesArgumentsAndAClosingNul) {
    const std::string block = BuildCallBlock("n", "f", {"a", "b"});
    EXPECT_EQ(block, std::string("n\0f\0a\0b\0\0", 9));
    EXPECT_EQ(BuildCallBlock("n", "f", {}), std::string("n\0f\0\0", 5));
}

TEST(CallBlock, HandleIsAFourByteValueAtTheStart) {
    std::vector<uint8_t> block(kCallBlockSize, 0xEE);
    WriteListenerHandle(block.data(), block.size(), 0x80010203u);
    EXPECT_EQ(ReadListenerHandle(block.data(), block.size()), 0x80010203u);
    EXPECT_EQ(block[0], 0x03);
    EXPECT_EQ(block[4], 0xEE);  // the answer area is untouched
    EXPECT_EQ(ReadListenerHandle(block.data(), 3), 0u);
    EXPECT_EQ(ReadListenerHandle(nullptr, 0), 0u);
}

// The listener's writer and the caller's reader agree.
TEST(CallBlock, AnswerRoundTripsThroughTheListenersWriter) {
    std::vector<uint8_t> block(kCallBlockSize, 0);
    WriteCallReply(block.data(), block.size(), "hello world");
    std::string answer;
    ASSERT_TRUE(ReadCallAnswer(block.data(), block.size(), 11, &answer));
    EXPECT_EQ(answer, "hello world");
    // The first n bytes only.
    ASSERT_TRUE(ReadCallAnswer(block.data(), block.size(), 5, &answer));
    EXPECT_EQ(answer, "hello");
    // An answer too long for the block leaves an empty area: no answer.
    WriteCallReply(block.data(), block.size(), std::string(70000, 'x'));
    EXPECT_FALSE(ReadCallAnswer(block.data(), block.size(), 70000, &answer));
    EXPECT_EQ(answer, "");
}

TEST(CallBlock, NoAnswerForLengthsThatAreNotPositive) {
    std::vector<uint8_t> block(kCallBlockSize, 0);
    std::memcpy(&block[4], "text", 5);
    std::string answer;
    EXPECT_FALSE(ReadCallAnswer(block.data(), block.size(), 0, &answer));
    EXPECT_FALSE(ReadCallAnswer(block.data(), block.size(), -1, &answer));
    EXPECT_TRUE(ReadCallAnswer(block.data(), block.size(), 4, &answer));
}

// A hostile block: no NUL anywhere, a length far past the block. The read
// stops at the end of the 65532-byte answer area.
TEST(CallBlock, AnswerWithoutNulStopsAtTheEndOfTheArea) {
    std::vector<uint8_t> block(kCallBlockSize, 'z');
    std::string answer;
    ASSERT_TRUE(ReadCallAnswer(block.data(), block.size(), int64_t{1} << 40, &answer));
    EXPECT_EQ(answer.size(), kCallAnswerSpace);
    EXPECT_EQ(answer, std::string(65532, 'z'));
    // A length past the NUL stops at the NUL.
    block[4 + 10] = 0;
    ASSERT_TRUE(ReadCallAnswer(block.data(), block.size(), 60000, &answer));
    EXPECT_EQ(answer, std::string(10, 'z'));
}

TEST(CallBlock, ShortBlocksAreReadOnlyAsFarAsTheyGo) {
    std::vector<uint8_t> block(8, 'q');
    std::string answer;
    ASSERT_TRUE(ReadCallAnswer(block.data(), block.size(), 100, &answer));
    EXPECT_EQ(answer, "qqqq");
    EXPECT_FALSE(ReadCallAnswer(block.data(), 4, 100, &answer));
    EXPECT_FALSE(ReadCallAnswer(nullptr, 0, 100, &answer));
}

}  // namespace
}  // namespace kelpo
