// The FTP class from the host's side, no server needed: Inet.openFtp makes
// its objects through NewInetFtp on the class DefineInetFtpClass answers,
// and collecting objects in every state before a connection (never
// connected, a connect that failed, with handlers set) closes what they
// hold and releases each one's load of the Internet library, which stays
// usable for the objects that remain.
#include <gtest/gtest.h>

#include <string>

#include "compiler/engine.h"
#include "netlib/classes.h"
#include "runtime/atoms.h"
#include "runtime/class_kit.h"
#include "runtime/gc.h"
#include "runtime/strings.h"
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

TEST(InetFtpClass, OpenFtpMakesObjectsOfTheClassAlone) {
    EngineOptions options = DefaultEngineOptions();
    ScriptRunner* runner = NewScriptRunner(&options);
    ASSERT_NE(runner, nullptr);
    ScriptContext* context = runner->context;
    NativeClass* ftpClass = DefineInetFtpClass(context);
    Value host = NewStringFromCString(context, "ftp://127.0.0.1");
    Value args[4] = {MakeInteger(3), host, MakeInteger(2121), MakeInteger(5)};
    Value made = NewInetFtp(context, ftpClass, args);
    ASSERT_EQ(made.tag, ValueTag::Native);
    SetGlobal(context, "made", made);
    ASSERT_EQ(RunSource(runner, "text = '' + made + ' ' + made.currentDir;"), 1)
        << context->errorText;
    EXPECT_EQ(test::Utf8(GetGlobal(context, "text")), "[object Inet.Ftp] undefined");

    Value noHost[2] = {MakeInteger(1), MakeInteger(21)};
    EXPECT_EQ(NewInetFtp(context, ftpClass, noHost).tag, ValueTag::Null);
    // Another class's instances have other data: it makes none.
    NativeClass* socketClass = GetGlobal(context, "Socket").native->klass;
    EXPECT_EQ(NewInetFtp(context, socketClass, args).tag, ValueTag::Null);
    FreeScriptRunner(runner);
}

}  // namespace
}  // namespace kelpo
