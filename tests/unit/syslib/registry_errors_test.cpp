// The registry classes' failures under Wine: each leaves the system's
// message for its error code in the context's error text, which scripts
// cannot read, so it is checked here. Keys live under
// HKCU\Software\KelpoTestRegErrors and are removed at the end.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "compiler/engine.h"
#include "runtime/atoms.h"
#include "runtime/registration.h"
#include "syslib/classes.h"

namespace kelpo {
namespace {

void RegisterRegistry(ScriptContext* context) {
    RegisterRegKeyClass(context);
    RegisterRegValueClass(context);
}
const bool kRegistered = (SetExtraRegistration(RegisterRegistry), true);

std::string SystemMessage(DWORD code) {
    char text[1024] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0x800,
                   text, sizeof text, nullptr);
    return text;
}

struct Case {
    const char* what;
    const char* source;  // ends by storing true in `ok` when the result was right
    DWORD code;
};

const Case kCases[] = {
    {"open of a missing key",
     "ok = RegKey.open('HKCU\\\\Software\\\\KelpoTestRegErrors\\\\none') === null;",
     ERROR_FILE_NOT_FOUND},
    {"delete of a missing key",
     "ok = RegKey.deleteKey('HKCU\\\\Software\\\\KelpoTestRegErrors\\\\none') == false;",
     ERROR_FILE_NOT_FOUND},
    {"delete of a missing value", "ok = key.deleteValue('none') == false;", ERROR_FILE_NOT_FOUND},
    {"write through a read-only handle",
     "var v = new RegValue(); v.data = 'x'; ok = readOnly.write(v) == false;", ERROR_ACCESS_DENIED},
};

TEST(RegistryErrorsTest, FailuresLeaveTheSystemMessage) {
    EngineOptions options = DefaultEngineOptions();
    ScriptRunner* runner = NewScriptRunner(&options);
    ASSERT_NE(runner, nullptr);
    ASSERT_EQ(
        RunSource(runner,
                  "key = RegKey.create('HKCU\\\\Software\\\\KelpoTestRegErrors');"
                  "readOnly = RegKey.open('HKCU\\\\Software\\\\KelpoTestRegErrors', 0x20019);"),
        1)
        << runner->context->errorText;
    for (const Case& c : kCases) {
        ASSERT_EQ(RunSource(runner, c.source), 1) << c.what << ": " << runner->context->errorText;
        ASSERT_NE(SystemMessage(c.code), "") << c.what;
        EXPECT_EQ(std::string(runner->context->errorText), SystemMessage(c.code)) << c.what;
        const Value ok = GetGlobal(runner->context, "ok");
        EXPECT_TRUE(ok.tag == ValueTag::Boolean && ok.boolean) << c.what;
    }
    FreeScriptRunner(runner);
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\KelpoTestRegErrors"), ERROR_SUCCESS);
}

}  // namespace
}  // namespace kelpo
