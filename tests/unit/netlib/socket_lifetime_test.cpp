// A Socket's life against the collector: handlers stored in an instance
// survive collections while the instance lives (they are marked through
// it), and once the script lets the instance go, collecting it closes its
// socket and no handler of it runs, though its notification may already
// wait in the queue.
#include <gtest/gtest.h>
#include <winsock2.h>
#include <windows.h>

#include "compiler/engine.h"
#include "runtime/atoms.h"
#include "runtime/gc.h"

namespace kelpo {
namespace {


void Collect(ScriptContext* context) { CollectGarbage(context, nullptr, context->stackPointer); }

// Dispatches this thread's messages for about `ms` milliseconds.
void PumpFor(int ms) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < static_cast<DWORD>(ms)) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        Sleep(10);
    }
}

int64_t IntegerGlobal(ScriptContext* context, const char* name) {
    const Value value = GetGlobal(context, name);
    return value.tag == ValueTag::Integer ? value.integer : -1;
}

// A listening socket and a client that starts connecting to it; the
// client's onConnect counts in `hits`.
const char kConnect[] =
    "hits = 0;"
    "function counted(code) { hits = hits + 1; }"
    "server = new Socket(); server.create(0, 1, 8, '127.0.0.1'); server.listen();"
    "client = new Socket(); client.onConnect = counted; client.create(0, 1, 16);"
    "client.connect('127.0.0.1', server.getSockName().port);";

class SocketLifetime : public ::testing::Test {
protected:
    void SetUp() override {
        options = DefaultEngineOptions();
        runner = NewScriptRunner(&options);
        ASSERT_NE(runner, nullptr);
    }
    void TearDown() override { FreeScriptRunner(runner); }

    EngineOptions options;
    ScriptRunner* runner = nullptr;
};

TEST_F(SocketLifetime, HandlersOfALiveInstanceSurviveCollections) {
    ASSERT_EQ(RunSource(runner, kConnect), 1) << runner->context->errorText;
    Collect(runner->context);
    PumpFor(1000);
    EXPECT_EQ(IntegerGlobal(runner->context, "hits"), 1);
}

TEST_F(SocketLifetime, ACollectedInstanceHearsNothingMore) {
    ASSERT_EQ(RunSource(runner, kConnect), 1) << runner->context->errorText;
    // The connection may already be made and its notification queued.
    Sleep(200);
    ASSERT_EQ(RunSource(runner, "client = null;"), 1);
    Collect(runner->context);
    PumpFor(1000);
    EXPECT_EQ(IntegerGlobal(runner->context, "hits"), 0);
}

// Closing the context finalizes every socket; their queued notifications
// find nobody afterwards.
TEST(SocketLifetimeEnd, NotificationsAfterTheEngineIsGoneAreDropped) {
    EngineOptions options = DefaultEngineOptions();
    ScriptRunner* runner = NewScriptRunner(&options);
    ASSERT_NE(runner, nullptr);
    ASSERT_EQ(RunSource(runner, kConnect), 1) << runner->context->errorText;
    Sleep(200);
    FreeScriptRunner(runner);
    PumpFor(500);
    SUCCEED();
}

}  // namespace
}  // namespace kelpo
