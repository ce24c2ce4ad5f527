// The packed container and CountedText.
#include <gtest/gtest.h>
#include <zlib.h>

#include "host/byte_stream.h"
#include "host/counted_text.h"
#include "host/host_exceptions.h"
#include "host/packed_container.h"
#include "tests/unit/host/host_test_support.h"

namespace kelpo::test {
namespace {

std::vector<uint8_t> Packed(const std::string& text) { return PackContainer(Bytes(text)); }

TEST(PackedContainer, RoundTripsAndFillsTheHeader) {
    std::vector<uint8_t> packed = Packed("hello, hello, hello");
    ASSERT_GT(packed.size(), 16u);
    EXPECT_EQ(0x53, packed[0]);
    EXPECT_EQ(0x4D, packed[1]);
    EXPECT_EQ(1, packed[2]);
    EXPECT_EQ(0, packed[3]);
    EXPECT_EQ(19u, LoadU32(&packed[4]));
    EXPECT_EQ(packed.size() - 16, LoadU32(&packed[8]));
    EXPECT_EQ(crc32(0L, reinterpret_cast<const Bytef*>("hello, hello, hello"), 19),
              LoadU32(&packed[12]));
    EXPECT_EQ("hello, hello, hello", Text(UnpackContainerOrThrow(packed.data(), packed.size())));
    std::vector<uint8_t> empty = Packed("");
    EXPECT_EQ("", Text(UnpackContainerOrThrow(empty.data(), empty.size())));
}

TEST(PackedContainer, AcceptsAWrongCrc) {
    std::vector<uint8_t> packed = Packed("content");
    packed[12] ^= 0xFF;
    EXPECT_EQ("content", Text(UnpackContainerOrThrow(packed.data(), packed.size())));
}

TEST(PackedContainer, RejectsBrokenContainersWithTheirMessages) {
    std::vector<uint8_t> good = Packed("some content that compresses");
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        const char* message;
    };
    std::vector<uint8_t> version2 = good;
    version2[2] = 2;
    std::vector<uint8_t> headerOnly(good.begin(), good.begin() + 16);
    std::vector<uint8_t> shortened(good.begin(), good.end() - 1);
    std::vector<uint8_t> corrupted = good;
    corrupted[18] ^= 0x5A;
    corrupted[19] ^= 0x5A;
    std::vector<uint8_t> tooSmall = good;
    StoreU32(&tooSmall[4], 3);
    std::vector<uint8_t> impossible = good;  // more than zlib can expand to: nothing is allocated
    StoreU32(&impossible[4], 0xFFFFFFF0);
    std::vector<uint8_t> garbage = {'S', 'M', 1, 0, 5, 0, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3, 4};
    const Case cases[] = {
        {"version 2", version2, "Bad compressed data header"},
        {"16 bytes with a valid header", headerOnly, "Bad compressed data length"},
        {"shorter than its compressed size", shortened, "Bad compressed data length"},
        {"corrupted stream", corrupted, "The compress(uncompress) input data was corrupted"},
        {"uncompressed size too small", tooSmall,
         "There was not enough room in the compress(uncompress) output buffer"},
        {"declared size beyond any expansion", impossible,
         "The compress(uncompress) input data was corrupted"},
        {"not a zlib stream", garbage, "The compress(uncompress) input data was corrupted"},
        {"empty", {}, "Bad compressed data length"},
    };
    for (const Case& c : cases) {
        FailureCapture failures;
        std::vector<uint8_t> out = {1};
        EXPECT_FALSE(UnpackContainer(c.bytes.data(), c.bytes.size(), out)) << c.what;
        EXPECT_TRUE(out.empty()) << c.what;
        ASSERT_EQ(1u, failures.messages().size()) << c.what;
        EXPECT_EQ(c.message, failures.messages()[0]) << c.what;
    }
}

TEST(CountedText, ZeroCountReadsEmptyAndConsumesOnlyTheCount) {
    std::vector<uint8_t> bytes = {0, 0, 0, 0, 'x', 0};
    ByteReader reader = MakeByteReader(bytes);
    EXPECT_EQ("", ReadCountedText(reader));
    EXPECT_EQ(4u, reader.position);
}

TEST(CountedText, WritesTheTerminatorAndConvertsToAnsi) {
    ByteWriter writer;
    WriteCountedText(writer, "");
    WriteCountedText(writer, "Caf\xE9");
    const std::vector<uint8_t> expected = {1,   0, 0,   0, 0,   0, 5,    0, 0, 0,
                                           'C', 0, 'a', 0, 'f', 0, 0xE9, 0, 0, 0};
    EXPECT_EQ(expected, writer);
    ByteReader reader = MakeByteReader(writer);
    EXPECT_EQ("", ReadCountedText(reader));
    EXPECT_EQ("Caf\xE9", ReadCountedText(reader));
    EXPECT_EQ(0u, RemainingBytes(reader));
}

TEST(CountedText, StopsAtAnInnerNulAndRejectsACountPastTheEnd) {
    std::vector<uint8_t> inner = {3, 0, 0, 0, 'a', 0, 0, 0, 'b', 0};
    ByteReader reader = MakeByteReader(inner);
    EXPECT_EQ("a", ReadCountedText(reader));
    EXPECT_EQ(10u, reader.position);
    std::vector<uint8_t> huge = {0xFF, 0xFF, 0xFF, 0xFF, 'a', 0};
    ByteReader past = MakeByteReader(huge);
    EXPECT_THROW(ReadCountedText(past), CTopBaseException);
}

TEST(CountedText, FixedBuffersCutLongTexts) {
    ByteWriter writer;
    WriteCountedText(writer, std::string(300, 'p'));
    ByteReader reader = MakeByteReader(writer);
    char buffer[kPathTextSize];
    ReadCountedTextInto(reader, buffer, sizeof buffer);
    EXPECT_EQ(std::string(259, 'p'), buffer);
    EXPECT_EQ(0u, RemainingBytes(reader));
}

}  // namespace
}  // namespace kelpo::test
