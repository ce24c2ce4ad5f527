// The layers under StringStream and FileStream: the ByteStream's bounds
// and flags, the zlib side against damaged data and decompression bombs,
// the C++ interface other libraries use, and the platform's stream files
// (temporary files, 64-bit positions, truncation).
#include <gtest/gtest.h>
#include <zlib.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "compiler/engine.h"
#include "platform/files.h"
#include "runtime/atoms.h"
#include "runtime/registration.h"
#include "syslib/classes.h"
#include "syslib/stream_codec.h"
#include "syslib/string_stream.h"
#include "tests/unit/test_support.h"

namespace kelpo {
namespace {

void RegisterStreams(ScriptContext* context) {
    RegisterStreamClasses(context);
    RegisterStringStreamClass(context);
}
const bool kStreamsRegistered = (SetExtraRegistration(RegisterStreams), true);

std::vector<uint8_t> Compressed(const std::vector<uint8_t>& plain) {
    uLongf size = compressBound(plain.size());
    std::vector<uint8_t> out(size);
    EXPECT_EQ(compress2(out.data(), &size, plain.data(), plain.size(), 9), Z_OK);
    out.resize(size);
    return out;
}

struct StreamOwner {
    ByteStream* stream;
    explicit StreamOwner(size_t limit) : stream(NewByteStream(kStreamIn | kStreamOut, limit)) {}
    ~StreamOwner() { FreeByteStream(stream); }
};

// ---- ByteStream ------------------------------------------------------------

TEST(ByteStreamTest, WritesStopAtTheLimitAndSetTheFailFlag) {
    StreamOwner owner(10);
    ByteStream* s = owner.stream;
    const uint8_t bytes[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    EXPECT_TRUE(WriteByteStream(s, bytes, 8));
    EXPECT_FALSE(WriteByteStream(s, bytes, 3));
    EXPECT_TRUE(s->fail);
    EXPECT_EQ(s->length, 8u);
    SetByteWritePos(s, 8);
    EXPECT_TRUE(WriteByteStream(s, bytes, 2));
    EXPECT_EQ(s->length, 10u);
    EXPECT_LE(s->capacity, 10u);
}

TEST(ByteStreamTest, AFarWritePositionFailsWithoutAllocating) {
    StreamOwner owner(size_t{1} << 20);
    ByteStream* s = owner.stream;
    const uint8_t byte = 1;
    for (uint64_t position : {uint64_t{1} << 21, UINT64_MAX - 1, UINT64_MAX}) {
        SetByteWritePos(s, position);
        EXPECT_FALSE(WriteByteStream(s, &byte, 1)) << position;
        EXPECT_EQ(s->capacity, 0u);
    }
    SetByteWritePos(s, 3);
    EXPECT_TRUE(WriteByteStream(s, &byte, 1));
    ASSERT_EQ(s->length, 4u);
    EXPECT_EQ(std::vector<uint8_t>(s->bytes, s->bytes + 4), (std::vector<uint8_t>{0, 0, 0, 1}));
}

TEST(ByteStreamTest, GrowthIsGeometric) {
    StreamOwner owner(size_t{1} << 30);
    ByteStream* s = owner.stream;
    int moves = 0;
    size_t capacity = 0;
    for (int i = 0; i < 1000000; ++i) {
        uint8_t byte = static_cast<uint8_t>(i);
        ASSERT_TRUE(WriteByteStream(s, &byte, 1));
        if (s->capacity != capacity) {
            ++moves;
            capacity = s->capacity;
        }
    }
    EXPECT_LT(moves, 40);
}

// ---- zlib --------------------------------------------------------------------

TEST(StreamCodecTest, DamagedDataFails) {
    std::vector<uint8_t> plain(5000);
    for (size_t i = 0; i < plain.size(); ++i) plain[i] = static_cast<uint8_t>(i * 31 / 7);
    const std::vector<uint8_t> good = Compressed(plain);
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
    };
    std::vector<Case> cases = {
        {"empty", {}},
        {"not zlib", {'h', 'e', 'l', 'l', 'o'}},
        {"truncated", std::vector<uint8_t>(good.begin(), good.begin() + good.size() / 2)},
        {"no checksum", std::vector<uint8_t>(good.begin(), good.end() - 4)},
        {"preset dictionary", {0x78, 0xBB, 0, 0, 0, 1}},
    };
    std::vector<uint8_t> flipped = good;
    flipped[good.size() - 1] ^= 1;
    cases.push_back({"wrong checksum", flipped});
    for (const Case& c : cases) {
        StreamOwner out(size_t{1} << 24);
        EXPECT_FALSE(UncompressInto(c.bytes.data(), c.bytes.size(), out.stream)) << c.name;
    }
    StreamOwner out(size_t{1} << 24);
    ASSERT_TRUE(UncompressInto(good.data(), good.size(), out.stream));
    EXPECT_EQ(std::vector<uint8_t>(out.stream->bytes, out.stream->bytes + out.stream->length),
              plain);
}

TEST(StreamCodecTest, ABombStopsAtTheLimit) {
    const std::vector<uint8_t> bomb = Compressed(std::vector<uint8_t>(size_t{64} << 20));
    ASSERT_LT(bomb.size(), 100000u);
    StreamOwner small(size_t{4} << 20);
    EXPECT_FALSE(UncompressInto(bomb.data(), bomb.size(), small.stream));
    EXPECT_LE(small.stream->capacity, size_t{4} << 20);
    StreamOwner large(size_t{64} << 20);
    EXPECT_TRUE(UncompressInto(bomb.data(), bomb.size(), large.stream));
    EXPECT_EQ(large.stream->length, size_t{64} << 20);
}

TEST(StreamCodecTest, CompressionReservesOnceAndGivesBackTheRest) {
    std::vector<uint8_t> zeros(size_t{8} << 20);
    StreamOwner out(size_t{1} << 30);
    ASSERT_TRUE(CompressInto(zeros.data(), zeros.size(), 6, out.stream));
    EXPECT_LT(out.stream->capacity, size_t{1} << 20);  // the bound was trimmed
    StreamOwner back(size_t{1} << 30);
    ASSERT_TRUE(UncompressInto(out.stream->bytes, out.stream->length, back.stream));
    EXPECT_EQ(back.stream->length, zeros.size());
    EXPECT_EQ(Crc32Of(zeros.data(), zeros.size()),
              crc32(0, zeros.data(), static_cast<uInt>(zeros.size())));
}

// ---- The interface for other libraries -----------------------------------

class StringStreamInterfaceTest : public test::ContextTest {};

TEST_F(StringStreamInterfaceTest, BytesGoInAndComeOut) {
    const uint8_t bytes[] = {0, 1, 2, 255, 0};
    std::vector<uint8_t> back;
    ASSERT_TRUE(Run([&] {
        Value s = NewStringStream(ctx, bytes, sizeof bytes);
        ASSERT_EQ(s.tag, ValueTag::Native);
        EXPECT_TRUE(StringStreamBytes(s, &back));
        EXPECT_FALSE(StringStreamBytes(MakeInteger(1), &back));
        EXPECT_FALSE(StringStreamBytes(GetGlobal(ctx, "StringStream"), &back));
        // Rebinding the global does not stop the interface.
        SetGlobal(ctx, "StringStream", MakeNull());
        Value again = NewStringStream(ctx, bytes, 2);
        std::vector<uint8_t> two;
        EXPECT_TRUE(StringStreamBytes(again, &two));
        EXPECT_EQ(two.size(), 2u);
    }));
    EXPECT_EQ(back, std::vector<uint8_t>(bytes, bytes + sizeof bytes));
}

TEST_F(StringStreamInterfaceTest, AStreamLargerThanTheHeapLimitIsNull) {
    ctx->heap.limit = size_t{1} << 20;
    std::vector<uint8_t> big(size_t{2} << 20);
    ASSERT_TRUE(
        Run([&] { EXPECT_EQ(NewStringStream(ctx, big.data(), big.size()).tag, ValueTag::Null); }));
}

TEST(StringStreamScriptTest, UncompressingABombUnderAHeapLimitGivesNull) {
    EngineOptions options = DefaultEngineOptions();
    options.heapLimit = size_t{16} << 20;
    ScriptRunner* runner = NewScriptRunner(&options);
    ASSERT_NE(runner, nullptr);
    const std::vector<uint8_t> bomb = Compressed(std::vector<uint8_t>(size_t{256} << 20));
    test::TraceCapture trace;
    SetGlobal(runner->context, "bomb", NewStringStream(runner->context, bomb.data(), bomb.size()));
    EXPECT_EQ(
        RunSource(runner,
                  "trace(bomb.uncompress() === null); trace(bomb.read(1000000000000).length);"),
        1)
        << runner->context->errorText;
    EXPECT_EQ(trace.text(), "true\r\n" + std::to_string(bomb.size()) + "\r\n");
    FreeScriptRunner(runner);
}

// ---- Stream files ----------------------------------------------------------

void SetTemporaryFolder(const std::string& folder) {
#ifdef _WIN32
    SetEnvironmentVariableA("TMP", folder.c_str());
#else
    setenv("TMP", folder.c_str(), 1);
#endif
}

class StreamFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = "stream-files-" +
                 std::string(::testing::UnitTest::GetInstance()->current_test_info()->name());
        RemoveFolderTree(folder);
        ASSERT_TRUE(CreateFolder(folder));
    }
    void TearDown() override { RemoveFolderTree(folder); }
    std::string In(const char* name) const { return folder + kPathSeparator + name; }

    std::string folder;
};

TEST_F(StreamFileTest, TemporaryFilesAreNewAndGoneWhenClosed) {
    const uint8_t taken[] = {'k', 'e', 'e', 'p'};
    ASSERT_TRUE(WriteWholeFile(In("~qt1.tmp"), taken, sizeof taken));
    SetTemporaryFolder(folder);
    FILE* first = OpenTemporaryStreamFile();
    FILE* second = OpenTemporaryStreamFile();
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_GE(std::fputs("one", first), 0);
    std::fputs("second", second);
    std::rewind(first);
    std::rewind(second);
    char text[16] = {};
    EXPECT_EQ(std::fread(text, 1, sizeof text, second), 6u);
    EXPECT_STREQ(text, "second");
    std::fclose(first);
    std::fclose(second);
    // The name that was taken keeps its content; no other file is left.
    std::vector<uint8_t> kept;
    EXPECT_TRUE(ReadWholeFile(In("~qt1.tmp"), kept));
    EXPECT_EQ(kept.size(), sizeof taken);
    EXPECT_FALSE(FileExists(In("~qt2.tmp")));
    EXPECT_FALSE(FileExists(In("~qt3.tmp")));
}

TEST_F(StreamFileTest, PositionsAndLengthsPastFourGigabytes) {
    const int64_t beyond = (int64_t{5} << 30) + 3;
    FILE* file = OpenStreamFile(In("big.bin"), "w+b");
    ASSERT_NE(file, nullptr);
    ASSERT_TRUE(SeekStreamFile(file, beyond));
    EXPECT_EQ(StreamFilePosition(file), beyond);
    ASSERT_NE(std::fputc('x', file), EOF);
    ASSERT_EQ(std::fflush(file), 0);
    EXPECT_EQ(StreamFilePosition(file), beyond + 1);
    EXPECT_EQ(StreamFileLength(file), beyond + 1);
    EXPECT_FALSE(SeekStreamFile(file, -1));
    ASSERT_TRUE(TruncateStreamFile(file, 10));
    EXPECT_EQ(StreamFileLength(file), 10);
    EXPECT_EQ(StreamFilePosition(file), 0);
    std::fclose(file);
}

}  // namespace
}  // namespace kelpo
