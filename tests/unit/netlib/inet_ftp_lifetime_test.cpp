// Collecting FTP objects in every state before a connection (never
// connected, a connect that failed, with handlers set) closes what they
// hold and releases each one's load of the Internet library; the library
// stays usable for the objects that remain. No server is needed.
#include <gtest/gtest.h>

#include <string>

#include "compiler/engine.h"
#include "runtime/atoms.h"
#include "runtime/gc.h"
#include "tests/unit/test_support.h"

namespace kelpo {
namespace {

void Collect(ScriptContext* context) { CollectGarbage(context, nullptr, context->stackPointer); }

TEST(InetFtpLifetime, CollectedObjectsReleaseTheirConnections) {
    EngineOptions options = DefaultEngineOptions();
    ScriptRunner* runner = NewScriptRunner(&options);
    ASSERT_NE(runner, nullptr);
    // Nothing listens on port 1: each connect opens handles and closes them.
    const char kMake[] =
        "for (var i = 0; i < 20; ++i) {"
        "  var f = new _InetFtp_('127.0.0.1', 1, 'u', 'p', i % 2 == 0);"
        "  f.onDownload = function (p) { return true; };"
        "  if (i % 3 == 0) r = '' + f.connect();"
        "}"
        "f = null; kept = new _InetFtp_('127.0.0.1', 1);";
    ASSERT_EQ(RunSource(runner, kMake), 1) << runner->context->errorText;
    Collect(runner->context);
    ASSERT_EQ(RunSource(runner, "r = r + ' ' + kept.connect() + ' ' + kept;"), 1)
        << runner->context->errorText;
    EXPECT_EQ(test::Utf8(GetGlobal(runner->context, "r")), "false false [object Inet.Ftp]");
    FreeScriptRunner(runner);
}

}  // namespace
}  // namespace kelpo
