// The trace file: trace lines and warnings reach it only while it is open,
// opening truncates, and the host's close hook closes it.
#include <gtest/gtest.h>

#include "compiler/engine.h"
#include "host/host_events.h"
#include "hostobjects/trace_file.h"
#include "platform/files.h"
#include "runtime/trace.h"
#include "tests/unit/host/host_test_support.h"

namespace kelpo::test {
namespace {

class TraceFileTest : public ScratchFolderTest {
protected:
    void TearDown() override {
        CloseTraceFile();
        ScratchFolderTest::TearDown();
    }
    std::string Contents(const std::string& path) {
        std::vector<uint8_t> bytes;
        ReadWholeFile(path, bytes);
        return Text(bytes);
    }
};

TEST_F(TraceFileTest, WritesOnlyWhileOpen) {
    ScriptRunner* runner = NewScriptRunner(nullptr);
    RunSource(runner, "trace(\"before\");");
    ASSERT_TRUE(OpenTraceFile(Path("a.txt")));
    EXPECT_TRUE(TraceIsOpen());
    RunSource(runner, "trace(\"one\"); var x = new y();");
    // Opening another file closes the first.
    ASSERT_TRUE(OpenTraceFile(Path("b.txt")));
    RunSource(runner, "trace(\"two\");");
    TheHostEvents().closeTraceFile();  // as the main window does when it closes
    EXPECT_FALSE(TraceFileIsOpen());
    EXPECT_FALSE(TraceIsOpen());
    RunSource(runner, "trace(\"after\");");
    FreeScriptRunner(runner);
    std::string first = Contents(Path("a.txt"));
    EXPECT_EQ(0u, first.find("one\r\n")) << first;
    EXPECT_NE(std::string::npos, first.find("Warning: invalid constructor\r\n")) << first;
    EXPECT_EQ(std::string::npos, first.find("before")) << first;
    EXPECT_EQ(std::string::npos, first.find("two")) << first;
    EXPECT_EQ("two\r\n", Contents(Path("b.txt")));
}

TEST_F(TraceFileTest, OpeningTruncatesAndBadPathsLeaveTracingOff) {
    WriteWholeFile(Path("t.txt"), reinterpret_cast<const uint8_t*>("old text"), 8);
    ASSERT_TRUE(OpenTraceFile(Path("t.txt")));
    TraceLine("new");
    CloseTraceFile();
    CloseTraceFile();  // twice is harmless
    EXPECT_EQ("new\r\n", Contents(Path("t.txt")));
    for (std::string bad : {std::string(), Path("no-such-folder") + kPathSeparator + "t.txt"}) {
        EXPECT_FALSE(OpenTraceFile(bad)) << bad;
        EXPECT_FALSE(TraceIsOpen());
    }
}

}  // namespace
}  // namespace kelpo::test
