// PConn.send against shared blocks and listeners that do not keep to the
// layout (any process on the desktop can write the block): a handle that
// names no window, a block smaller than the layout, an answer area without
// a NUL, answer lengths past the area or not positive. The listener is a
// window of this thread, so the call reaches it directly; it records the
// command block it got and answers the length the case gives.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "compiler/engine.h"
#include "netlib/call_block.h"
#include "runtime/atoms.h"

namespace kelpo {
namespace {


struct ListenerState {
    LRESULT answerLength = 0;
    int calls = 0;
    std::string payload;
};
ListenerState gListener;

LRESULT CALLBACK ListenerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_COPYDATA) return DefWindowProcA(hwnd, message, wParam, lParam);
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    ++gListener.calls;
    gListener.payload.assign(static_cast<const char*>(data->lpData), data->cbData);
    return gListener.answerLength;
}

HWND MakeListenerWindow() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = ListenerProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "KelpoPConnHostileListener";
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, windowClass.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           windowClass.hInstance, nullptr);
}

const char kBlockName[] = "KelpoPConnHostileBlock";

struct Case {
    const char* what;
    size_t blockSize;      // bytes of the block the "listener" made
    bool realWindow;       // the handle names the listener window (else 0x12345678)
    const char* area;      // the answer area's first bytes (null: all 'z', no NUL)
    LRESULT answerLength;  // what the listener answers
    const char* expected;  // a script expression of r, the send's result
    bool reaches;          // the listener is called
};

const Case kCases[] = {
    {"a handle that names no window", kCallBlockSize, false, "hello", 5, "r === undefined", false},
    {"a block smaller than the layout", 4096, true, "hello", 5, "r === undefined", false},
    {"an answer of the given length", kCallBlockSize, true, "hello world", 5, "r == 'hello'", true},
    {"a length past the NUL", kCallBlockSize, true, "hello", 60000, "r == 'hello'", true},
    {"an area without a NUL and a huge length", kCallBlockSize, true, nullptr,
     static_cast<LRESULT>(INTPTR_MAX), "r.length == 65532 && r.charAt(65531) == 'z'", true},
    {"a length that is not positive", kCallBlockSize, true, "hello", -1, "r === undefined", true},
    {"an empty answer area", kCallBlockSize, true, "", 10, "r === undefined", true},
};

TEST(PConnHostileBlocks, SendReadsOnlyWithinTheBlock) {
    HWND listener = MakeListenerWindow();
    ASSERT_NE(listener, nullptr);
    EngineOptions options = DefaultEngineOptions();
    ScriptRunner* runner = NewScriptRunner(&options);
    ASSERT_NE(runner, nullptr);
    for (const Case& c : kCases) {
        HANDLE block = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                          static_cast<DWORD>(c.blockSize), kBlockName);
        ASSERT_NE(block, nullptr) << c.what;
        auto* view = static_cast<uint8_t*>(MapViewOfFile(block, FILE_MAP_WRITE, 0, 0, 0));
        ASSERT_NE(view, nullptr) << c.what;
        std::memset(view, 'z', c.blockSize);
        const uint32_t handle = c.realWindow
                                    ? static_cast<uint32_t>(reinterpret_cast<uintptr_t>(listener))
                                    : 0x12345678u;
        WriteListenerHandle(view, c.blockSize, handle);
        if (c.area) std::memcpy(view + kCallAnswerOffset, c.area, std::strlen(c.area) + 1);
        gListener = ListenerState{};
        gListener.answerLength = c.answerLength;

        ASSERT_EQ(
            RunSource(runner, "r = new PConn().send('KelpoPConnHostileBlock', 'greet', 'a,,b');"),
            1)
            << c.what << ": " << runner->context->errorText;
        ASSERT_EQ(RunSource(runner, (std::string("ok = ") + c.expected + ";").c_str()), 1)
            << c.what << ": " << runner->context->errorText;
        const Value ok = GetGlobal(runner->context, "ok");
        EXPECT_TRUE(ok.tag == ValueTag::Boolean && ok.boolean) << c.what;
        EXPECT_EQ(gListener.calls, c.reaches ? 1 : 0) << c.what;
        if (c.reaches) {
            EXPECT_EQ(gListener.payload, BuildCallBlock(kBlockName, "greet", {"a", "b"})) << c.what;
        }
        UnmapViewOfFile(view);
        CloseHandle(block);
    }
    FreeScriptRunner(runner);
    DestroyWindow(listener);
}

}  // namespace
}  // namespace kelpo
