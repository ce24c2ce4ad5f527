// Script streams: reading with push-back, the typed write as exact bytes,
// file writer and reader round trips, rewind, close and open failures.
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

#include "compiler/script_stream.h"
#include "tests/unit/compiler/compiler_test_support.h"

namespace kelpo::test {
namespace {

class ScriptStreamTest : public ContextTest {
protected:
    std::string TempPath(const char* name) { return ::testing::TempDir() + "kelpo_stream_" + name; }

    void WriteFile(const std::string& path, const std::string& bytes) {
        FILE* f = fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        fwrite(bytes.data(), 1, bytes.size(), f);
        fclose(f);
    }

    std::string ReadFile(const std::string& path) {
        std::string bytes;
        FILE* f = fopen(path.c_str(), "rb");
        if (f == nullptr) return "<missing>";
        for (int c = fgetc(f); c != EOF; c = fgetc(f)) bytes += static_cast<char>(c);
        fclose(f);
        return bytes;
    }

    ScriptStream* Open(const char* nameOrText, int kind) {
        ScriptStream* s = nullptr;
        EXPECT_TRUE(Run([&] { s = OpenScriptStream(ctx, nameOrText, kind); }));
        return s;
    }

    // Reads `count` bytes (end of input shows as 0 bytes).
    std::string Read(ScriptStream* s, size_t count) {
        std::string bytes;
        for (size_t i = 0; i < count; ++i) bytes += static_cast<char>(StreamGetByte(ctx, s));
        return bytes;
    }
};

TEST_F(ScriptStreamTest, TextSourceEndsWithZerosAndPushBackIsLastInFirstOut) {
    ScriptStream* s = Open("ab", TextSourceStream);
    EXPECT_EQ(s->length, 3u);  // the terminator counts
    EXPECT_STREQ(s->name, "string");
    EXPECT_EQ(Read(s, 4), std::string("ab\0\0", 4));

    ScriptStream* t = Open("ab", TextSourceStream);
    EXPECT_EQ(StreamGetByte(ctx, t), 'a');
    EXPECT_EQ(StreamPushBack(ctx, t, 'x'), 1);
    EXPECT_EQ(StreamPushBack(ctx, t, 'y'), 1);
    EXPECT_EQ(Read(t, 4), std::string("yxb\0", 4));
}

TEST_F(ScriptStreamTest, PushBackGrowsBeyondOneStep) {
    ScriptStream* s = Open("", TextSourceStream);
    for (int i = 0; i < 100; ++i) ASSERT_EQ(StreamPushBack(ctx, s, 'a' + i % 26), 1);
    EXPECT_EQ(s->pushBack.capacity % kStreamPushBackStep, 0u);
    for (int i = 99; i >= 0; --i) ASSERT_EQ(StreamGetByte(ctx, s), 'a' + i % 26);
    EXPECT_EQ(StreamGetByte(ctx, s), 0);
}

struct TypedWriteCase {
    const char* name;
    std::function<int(ScriptContext*, ScriptStream*)> write;
    std::string bytes;
};

TEST_F(ScriptStreamTest, TypedWriteProducesExactBytes) {
    const TypedWriteCase cases[] = {
        {"cil",
         [](ScriptContext* c, ScriptStream* s) {
             return StreamWrite(c, s, "cil", 5, 0x1234, 0x01020304u);
         },
         std::string("\x05\x12\x34\x01\x02\x03\x04", 7)},
        {"upper case letters",
         [](ScriptContext* c, ScriptStream* s) {
             return StreamWrite(c, s, "CIL", 5, 0x1234, 0x01020304u);
         },
         std::string("\x05\x12\x34\x01\x02\x03\x04", 7)},
        {"a is decimal text",
         [](ScriptContext* c, ScriptStream* s) {
             return StreamWrite(c, s, "aca", -12, ' ', 2147483647);
         },
         "-12 2147483647"},
        {"b is raw bytes",
         [](ScriptContext* c, ScriptStream* s) { return StreamWrite(c, s, "b", 3u, "x\0z"); },
         std::string("x\0z", 3)},
        {"d is the double in memory order",
         [](ScriptContext* c, ScriptStream* s) { return StreamWrite(c, s, "d", 1.0); },
         std::string("\0\0\0\0\0\0\xF0\x3F", 8)},
        {"f is %f text",
         [](ScriptContext* c, ScriptStream* s) { return StreamWrite(c, s, "f", -1.5); },
         "-1.500000"},
        {"f of a large double",
         [](ScriptContext* c, ScriptStream* s) { return StreamWrite(c, s, "f", 0x1p100); },
         "1267650600228229401496703205376.000000"},
        {"i keeps the low 16 bits",
         [](ScriptContext* c, ScriptStream* s) { return StreamWrite(c, s, "i", 0x12345); },
         "\x23\x45"},
        {"l is big-endian",
         [](ScriptContext* c, ScriptStream* s) { return StreamWrite(c, s, "l", 0xFFFEFDFCu); },
         "\xFF\xFE\xFD\xFC"},
        {"s omits the terminator",
         [](ScriptContext* c, ScriptStream* s) { return StreamWrite(c, s, "ss", "ab", ""); }, "ab"},
        {"x is a length-prefixed piece",
         [](ScriptContext* c, ScriptStream* s) { return StreamWrite(c, s, "x", 2u, "ab"); },
         std::string("\0\0\0\x02"
                     "ab",
                     6)},
        {"empty x",
         [](ScriptContext* c, ScriptStream* s) {
             return StreamWrite(c, s, "x", 0u, static_cast<const char*>(nullptr));
         },
         std::string("\0\0\0\0", 4)},
    };
    for (const TypedWriteCase& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptStream* s = Open(nullptr, MemoryStream);
        EXPECT_EQ(c.write(ctx, s), 1);
        EXPECT_EQ(MemoryText(s), c.bytes);
    }
}

TEST_F(ScriptStreamTest, TypedWriteOfTheLargestDoubleAsText) {
    ScriptStream* s = Open(nullptr, MemoryStream);
    EXPECT_EQ(StreamWrite(ctx, s, "f", -1.7976931348623157e308), 1);
    std::string text = MemoryText(s);
    EXPECT_EQ(text.size(), 1u + 309u + 7u);
    EXPECT_EQ(text.substr(0, 5), "-1797");
}

TEST_F(ScriptStreamTest, TypedWriteFailsOnUnknownLetterAndOnReaders) {
    ScriptStream* m = Open(nullptr, MemoryStream);
    EXPECT_EQ(StreamWrite(ctx, m, "cqc", 'a', 'b'), 0);
    EXPECT_EQ(MemoryText(m), "a");  // written up to the unknown letter

    ScriptStream* text = Open("abc", TextSourceStream);
    EXPECT_EQ(StreamWrite(ctx, text, "s", "x"), 0);
    EXPECT_EQ(Read(text, 3), "abc");
}

TEST_F(ScriptStreamTest, MemoryBufferGrowsToMultipleOf64Plus64) {
    ScriptStream* s = Open(nullptr, MemoryStream);
    EXPECT_EQ(MemoryStreamBytes(s), nullptr);
    StreamWrite(ctx, s, "c", 1);
    EXPECT_EQ(s->length, 128u);
    std::string big(130, 'q');
    StreamWrite(ctx, s, "s", big.c_str());
    EXPECT_EQ(s->position, 131u);
    EXPECT_EQ(s->length, 256u);
    EXPECT_EQ(MemoryText(s), "\x01" + big);
}

// Everything the writer buffers, writes directly or flushes at close must
// come back from the reader byte for byte, across refills of its buffer.
TEST_F(ScriptStreamTest, WriterAndReaderRoundTrip) {
    std::string path = TempPath("roundtrip.bin");
    std::string large(3000, 'L');  // at least half the buffer: written directly
    std::string filler(1500, 'f');
    ScriptStream* expected = Open(nullptr, MemoryStream);
    ScriptStream* w = Open(path.c_str(), FileWriterStream);
    ASSERT_NE(w, nullptr);
    EXPECT_STREQ(w->name, path.c_str());
    for (ScriptStream* s : {expected, w}) {
        for (int round = 0; round < 3; ++round) {
            ASSERT_EQ(StreamWrite(ctx, s, "cilsd", round, 0xBEEF, 0xCAFEF00Du, filler.c_str(), 2.5),
                      1);
            ASSERT_EQ(
                StreamWrite(ctx, s, "xa", static_cast<uint32_t>(large.size()), large.data(), round),
                1);
        }
    }
    EXPECT_EQ(CloseScriptStream(ctx, w), 1);
    EXPECT_EQ(CloseScriptStream(ctx, w), 0);  // already closed

    std::string written = MemoryText(expected);
    ASSERT_GT(written.size(), 3 * kStreamFileBufferSize);
    EXPECT_EQ(ReadFile(path), written);

    ScriptStream* r = Open(path.c_str(), FileReaderStream);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(Read(r, written.size()), written);
    EXPECT_EQ(Read(r, 3), std::string(3, '\0'));
    EXPECT_EQ(CloseScriptStream(ctx, r), 1);
    remove(path.c_str());
}

TEST_F(ScriptStreamTest, ExplicitFlushWritesBufferedBytes) {
    std::string path = TempPath("flush.bin");
    ScriptStream* w = Open(path.c_str(), FileWriterStream);
    ASSERT_NE(w, nullptr);
    StreamWrite(ctx, w, "s", "abc");
    EXPECT_EQ(ReadFile(path), "");
    EXPECT_EQ(FlushScriptStream(ctx, w), 1);
    EXPECT_EQ(ReadFile(path), "abc");
    EXPECT_EQ(CloseScriptStream(ctx, w), 1);
    remove(path.c_str());
}

TEST_F(ScriptStreamTest, ReaderAnswersZeroForNulInFile) {
    std::string path = TempPath("nul.bin");
    WriteFile(path, std::string("a\0b", 3));
    ScriptStream* r = Open(path.c_str(), FileReaderStream);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(Read(r, 4), std::string("a\0b\0", 4));
    CloseScriptStream(ctx, r);
    remove(path.c_str());
}

TEST_F(ScriptStreamTest, RewindByKind) {
    ScriptStream* text = Open("xy", TextSourceStream);
    Read(text, 2);
    StreamPushBack(ctx, text, 'q');
    EXPECT_EQ(RewindScriptStream(ctx, text), 1);
    EXPECT_EQ(Read(text, 2), "xy");

    std::string path = TempPath("rewind.bin");
    WriteFile(path, "hello");
    ScriptStream* r = Open(path.c_str(), FileReaderStream);
    ASSERT_NE(r, nullptr);
    Read(r, 6);
    StreamPushBack(ctx, r, 'q');
    EXPECT_EQ(RewindScriptStream(ctx, r), 1);
    EXPECT_EQ(Read(r, 5), "hello");
    CloseScriptStream(ctx, r);
    remove(path.c_str());

    ScriptStream* m = Open(nullptr, MemoryStream);
    EXPECT_EQ(RewindScriptStream(ctx, m), 0);
    EXPECT_EQ(CloseScriptStream(ctx, m), 0);
    EXPECT_EQ(FlushScriptStream(ctx, m), 0);
    EXPECT_EQ(CloseScriptStream(ctx, text), 0);
}

TEST_F(ScriptStreamTest, MissingFileAppendsMessageForReadersOnly) {
    std::string path = TempPath("no/such/dir/file.kls");
    SetErrorText(ctx, "before; ");
    EXPECT_EQ(Open(path.c_str(), FileReaderStream), nullptr);
    EXPECT_EQ(std::string(ctx->errorText), "before; can't open the script file: " + path + "\n");

    SetErrorText(ctx, "untouched");
    EXPECT_EQ(Open(path.c_str(), FileWriterStream), nullptr);
    EXPECT_STREQ(ctx->errorText, "untouched");
}

TEST_F(ScriptStreamTest, UnclosedWriterIsFlushedWhenCollected) {
    std::string path = TempPath("dropped.bin");
    ScriptStream* w = Open(path.c_str(), FileWriterStream);
    ASSERT_NE(w, nullptr);
    StreamWrite(ctx, w, "s", "kept");
    // Destroying the context sweeps the unreachable stream.
    DestroyContext(ctx);
    ctx = NewContext(4096, 2, nullptr, 0);
    EXPECT_EQ(ReadFile(path), "kept");
    remove(path.c_str());
}

}  // namespace
}  // namespace kelpo::test
