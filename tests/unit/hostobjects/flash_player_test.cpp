// FlashPlayer and MovieClip driving a real movie: the player core stands in
// for the control, scripts run in an engine with both classes registered at
// their positions, and what they trace is compared.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "compiler/engine.h"
#include "corelib/core_library.h"
#include "hostobjects/player_library.h"
#include "platform/files.h"
#include "tools/movie-writer/movie_assembler.h"
#include "tests/unit/hostobjects/core_player_port.h"
#include "tests/unit/test_support.h"

using namespace kelpo::movies;

namespace kelpo::test {
namespace {

// Frame 1 fills the movie's variables; frame 2 (called by scripts) doubles x
// into `copy`.
const char* const kSetUpActions = R"(
push 'n12', '12'; setVariable
push 'n15', '1.5'; setVariable
push 'word', 'abc'; setVariable
push 'yes', 'true'; setVariable
push 'list', 30, 20, 10, 3; initArray; setVariable
push 'obj', 'inner', 'v', 7, 1; initObject; push 1; initObject; setVariable
push 'big', 0; initArray; setVariable
push 'i', 0; setVariable
loop:
push 'big'; getVariable; push 'i'; getVariable; push 'i'; getVariable; setMember
push 'i', 'i'; getVariable; increment; setVariable
push 'i'; getVariable; push 6000; less; if loop
stop
)";

std::vector<uint8_t> TestMovie() {
    MovieHeader header;
    header.widthTwips = 400 * 20;
    header.heightTwips = 200 * 20;
    MovieBuilder movie(header);
    movie.Actions(kSetUpActions).ShowFrame();
    movie.Actions("push 'copy', 'x'; getVariable; push 2; multiply; setVariable").ShowFrame();
    return movie.Bytes();
}

// A path as the text of a script string literal (Windows paths have
// backslashes).
std::string Literal(const std::string& path) {
    std::string text;
    for (char c : path) {
        if (c == '\\') text += '\\';
        text += c;
    }
    return text;
}

class FlashPlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetDefaultRegistration(kPlayerLibrary);
        runner_ = NewScriptRunner(nullptr);
        ASSERT_TRUE(port_.Load(TestMovie()));
        port_.clientWidth = 800;
        port_.clientHeight = 200;
        CorePlayerPort::Install(&port_);
    }
    void TearDown() override {
        CorePlayerPort::Install(nullptr);
        FreeScriptRunner(runner_);
        SetDefaultRegistration(kCoreLibrary);
    }

    // Runs the source; returns what it traced (lines joined by '|').
    std::string Run(const std::string& source) {
        trace_.Clear();
        EXPECT_EQ(1, RunSource(runner_, source.c_str())) << source << "\n"
                                                         << runner_->context->errorText;
        std::string lines = trace_.text();
        std::string joined;
        for (char c : lines) {
            if (c == '\r') continue;
            joined += c == '\n' ? '|' : c;
        }
        if (!joined.empty() && joined.back() == '|') joined.pop_back();
        return joined;
    }

    TraceCapture trace_;
    CorePlayerPort port_;
    ScriptRunner* runner_ = nullptr;
};

TEST_F(FlashPlayerTest, MovieTextArrivesAsTheValueItSpells) {
    EXPECT_EQ(
        "12 number|1.5 number|abc string|true boolean|"
        "Warning: using undefined property \"missing\"|undefined|12 number",
        Run("var o = FlashPlayer.getObject('_root', ['n12', 'n15'], 'word', 'yes', 'missing');"
            "trace(o.n12 + ' ' + typeof o.n12); trace(o.n15 + ' ' + typeof o.n15);"
            "trace(o.word + ' ' + typeof o.word); trace(o.yes + ' ' + typeof o.yes);"
            "trace(o.missing);"
            "FlashPlayer.bindData('n12'); FlashPlayer.updateData();"
            "trace(FlashPlayer.n12 + ' ' + typeof FlashPlayer.n12);"));
}

TEST_F(FlashPlayerTest, ScriptVariablesReachMovieActionsAndBack) {
    EXPECT_EQ(
        "true|42|42",
        Run("trace(FlashPlayer.setVariable('x', '21'));"
            "FlashPlayer.targetCallFrame('/', 1);"
            "trace(FlashPlayer.getVariable('copy'));"
            "FlashPlayer.bindData('copy'); FlashPlayer.updateData(); trace(FlashPlayer.copy);"));
}

TEST_F(FlashPlayerTest, BoundNamesReadThroughClipsAndUpdateBothWays) {
    EXPECT_EQ(
        "object|[object MovieClip]|undefined|7|7|8|8|"
        "Warning: using undefined property \"obj\"|undefined",
        Run("FlashPlayer.bindData('obj.inner.v', 'obj.inner.v');"
            "trace(typeof FlashPlayer.obj); trace(FlashPlayer.obj.inner);"
            "trace(FlashPlayer.obj.inner.v);"
            "FlashPlayer.updateData(true);"
            "trace(FlashPlayer.obj.inner.v); trace(FlashPlayer['OBJ.INNER.V']);"
            "FlashPlayer.obj.inner.v = 8; FlashPlayer.updateData(false);"
            "trace(FlashPlayer.getVariable('obj.inner.v'));"
            "FlashPlayer.updateData(); trace(FlashPlayer.obj.inner.v);"
            "FlashPlayer.unbindData('obj.inner.v'); trace(FlashPlayer.obj);"));
}

TEST_F(FlashPlayerTest, ArraysTravelBothWaysAndLongOnesAsText) {
    EXPECT_EQ("3|10,20,30|number|6000|string|5999|a,2,x",
              Run("var a = FlashPlayer.getArray('list'); trace(a.length); trace(a.join(','));"
                  "trace(typeof a[0]);"
                  "var big = FlashPlayer.getArray('big'); trace(big.length); trace(typeof big[0]);"
                  "trace(big[5999]);"
                  "FlashPlayer.putArray('list', ['a', 2, 'x']);"
                  "trace(FlashPlayer.getArray('list').join(','));"));
}

TEST_F(FlashPlayerTest, ObjectsWriteTheirSimpleMembers) {
    EXPECT_EQ("5|hello|1.25|true|Warning: using undefined property \"o\"|<missing>",
              Run("FlashPlayer.putObject('obj', {n: 5, s: 'hello', f: 1.25, b: true, o: {}});"
                  "var o = FlashPlayer.getObject('obj', 'n', 's', 'f', 'b', 'o');"
                  "trace(o.n); trace(o.s); trace(o.f); trace(o.b);"
                  "trace(o.o === undefined ? '<missing>' : typeof o.o);"));
}

TEST_F(FlashPlayerTest, ControlMethodsAndProperties) {
    EXPECT_EQ("2|false|true|true|1|3|false|true",
              Run("trace(FlashPlayer.totalFrames);"
                  "FlashPlayer.playing = false; trace(FlashPlayer.playing);"
                  "trace(FlashPlayer.gotoFrame(1)); trace(FlashPlayer.play());"
                  "trace(FlashPlayer.currentFrame());"
                  "FlashPlayer.scaleMode = 3; trace(FlashPlayer.scaleMode);"
                  "FlashPlayer.loop = 0; trace(FlashPlayer.loop);"
                  "trace(FlashPlayer.targetSetPropertyNum('/', 0, 12));"));
}

TEST_F(FlashPlayerTest, WrongArgumentsGiveUndefinedWithoutCallingTheControl) {
    port_.calls.clear();
    EXPECT_EQ(
        "undefined|undefined|undefined|undefined|undefined|undefined|undefined",
        Run("trace(FlashPlayer.gotoFrame('2')); trace(FlashPlayer.gotoFrame());"
            "trace(FlashPlayer.setVariable('x', 5)); trace(FlashPlayer.targetGotoFrame(1, 1));"
            "trace(FlashPlayer.getArray(3)); trace(FlashPlayer.putObject('o', 'text'));"
            "trace(FlashPlayer.movieToWindow(1, 2, 3));"));
    EXPECT_TRUE(port_.calls.empty());
}

TEST_F(FlashPlayerTest, WithoutAControlMembersAnswerUndefined) {
    CorePlayerPort::Install(nullptr);
    EXPECT_EQ(
        "undefined|undefined|undefined|undefined|[object FlashPlayer]|"
        "Warning: using undefined property \"a\"|undefined",
        Run("trace(FlashPlayer.play()); trace(FlashPlayer.currentFrame());"
            "trace(FlashPlayer.totalFrames); trace(FlashPlayer.getArray('list'));"
            "trace(FlashPlayer.toString());"
            "FlashPlayer.bindData('a.b'); trace(FlashPlayer.a);"));
}

// toString answers the class's text everywhere; valueOf answers the global
// of the class's name, except on a clip, where it is a new clip of the same
// path. Without a projector there is no player window: it reads null.
TEST_F(FlashPlayerTest, ToStringAndValueOfOfClassObjectsAndClips) {
    EXPECT_EQ(
        "true|undefined|[object MovieClip]|false|7|true|gone|[object MovieClip]|7|"
        "[object FlashPlayer]|off|off",
        Run("FlashPlayer.bindData('obj.inner.v'); FlashPlayer.updateData();"
            "trace(FlashPlayer.window === null); trace(FlashPlayer.onContextMenu);"
            "var c = new MovieClip('obj.inner'); trace(c.toString());"
            "trace(c.valueOf() == c); trace(c.valueOf().v); trace(MovieClip.valueOf() == MovieClip);"
            "var M = MovieClip; MovieClip = 'gone'; trace(M.valueOf()); trace(M().toString());"
            "trace(new M('obj.inner').valueOf().v);"
            "var F = FlashPlayer; FlashPlayer = 'off'; trace(new F().toString());"
            "trace(F.valueOf()); trace(F().valueOf());"));
}

TEST_F(FlashPlayerTest, MovieToWindowFollowsTheScaleMode) {
    // Movie 400x200 in a client area of 800x200.
    EXPECT_EQ("200 600 0 200|0 800 -100 300|0 800 0 200|200 600 0 200",
              Run("var r = [];"
                  "for (var mode = 0; mode < 4; mode++) { FlashPlayer.scaleMode = mode;"
                  "  var w = FlashPlayer.movieToWindow(0, 400, 0, 200);"
                  "  trace(w.left + ' ' + w.right + ' ' + w.top + ' ' + w.bottom); }"));
}

TEST_F(FlashPlayerTest, MovieInfoOfFilesByExtension) {
    const std::string movie = ::testing::TempDir() + "info_movie.swf";
    const std::string other = ::testing::TempDir() + "info_movie.txt";
    const std::string movieText = Literal(movie), otherText = Literal(other);
    const std::vector<uint8_t> bytes = TestMovie();
    ASSERT_TRUE(WriteWholeFile(movie, bytes.data(), bytes.size()));
    ASSERT_TRUE(WriteWholeFile(other, bytes.data(), bytes.size()));
    EXPECT_EQ(
        "0 400 0 200|12 2 " + std::to_string(bytes.size()) + " 6 6|true|true|undefined",
        Run("var i = FlashPlayer.getMovieInfo('" + movieText +
            "');"
            "trace(i.frameSize.xMin + ' ' + i.frameSize.xMax + ' ' + i.frameSize.yMin + ' ' + i.frameSize.yMax);"
            "trace(i.rate + ' ' + i.frameCount + ' ' + i.size + ' ' + i.version + ' ' + i.frameNum);"
            "trace(FlashPlayer.getMovieInfo('" +
            otherText +
            "') === null);"
            "trace(FlashPlayer.getMovieInfo('" +
            movieText +
            ".missing.swf') === null);"
            "trace(FlashPlayer.getMovieInfo());"));
    std::remove(movie.c_str());
    std::remove(other.c_str());
}

}  // namespace
}  // namespace kelpo::test
