// The PConn class (Windows only): commands from one running projector to
// the scripts of another on the same machine. The listening projector
// creates a named shared block and writes its main window's handle there;
// a caller opens the block, sends the command to that window with
// WM_COPYDATA and reads the answer the listener left in the block (the byte
// layout is in call_block.h).
//
// The block can be written by any process, so the handle read from it must
// name a window (IsWindow) and the answer is read within the block. A
// listener that stopped answering does not hold the caller for ever: the
// call gives up when the listener's thread hangs, or after two minutes.
#include <windows.h>

#include <cstdint>
#include <string>

#include "netlib/call_block.h"
#include "netlib/classes.h"
#include "runtime/class_kit.h"
#include "runtime/native_args.h"
#include "syslib/host_window_win32.h"

namespace kelpo {
namespace {

struct PConnData {
    HANDLE block;  // the block kept by listen, or null
};

enum Method { kListen, kSend };
const MemberRow kMethods[] = {
    {"listen",
     "listen(name) -> Boolean: opens the named block other projectors call this one "
     "through (an earlier one is closed); false without a main window or when it cannot "
     "be made"},
    {"send",
     "send(name, command [, arguments]) -> String: calls the global function command of "
     "the projector listening at name with the comma-separated arguments as Strings; its "
     "result, undefined when none"},
};

// Block names follow the system's limit for object names.
constexpr size_t kMaxBlockName = MAX_PATH;
// A command names a global function; arguments may be long texts.
constexpr size_t kMaxCommand = 4096;
constexpr size_t kMaxArguments = 1 << 20;
// How long a call may take before the caller gives up on the listener.
constexpr UINT kCallTimeoutMs = 120000;

void CloseBlock(PConnData* self) {
    if (self->block != nullptr) CloseHandle(self->block);
    self->block = nullptr;
}

bool Listen(ScriptContext* context, PConnData* self, const Value* args) {
    if (!HasArg(args, 1)) return false;
    // A name too long for the system is refused, not cut to another name.
    const std::string name = AnsiOfValue(context, args[1], kMaxBlockName + 1);
    HWND window = SyslibMainWindow();
    if (name.empty() || name.size() > kMaxBlockName || window == nullptr) return false;
    HANDLE block = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                      static_cast<DWORD>(kCallBlockSize), name.c_str());
    if (block == nullptr) return false;
    auto* view = static_cast<uint8_t*>(MapViewOfFile(block, FILE_MAP_WRITE, 0, 0, kCallBlockSize));
    if (view == nullptr) {
        CloseHandle(block);
        return false;
    }
    // Window handles fit in 32 bits on every Windows; the block keeps 4 bytes.
    WriteListenerHandle(view, kCallBlockSize,
                        static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window)));
    UnmapViewOfFile(view);
    CloseBlock(self);
    self->block = block;
    return true;
}

Value Send(ScriptContext* context, const Value* args) {
    std::string name, command, argumentText;
    if (!IsStringArg(args, 1) || !IsStringArg(args, 2) ||
        !BoundedAnsi(context, args[1], kMaxBlockName, name) || name.empty() ||
        !BoundedAnsi(context, args[2], kMaxCommand, command))
        return MakeUndefined();
    if (IsStringArg(args, 3) && !BoundedAnsi(context, args[3], kMaxArguments, argumentText))
        return MakeUndefined();
    HANDLE block = OpenFileMappingA(FILE_MAP_READ, FALSE, name.c_str());
    if (block == nullptr) return MakeUndefined();
    // A block smaller than the layout cannot be mapped at its full size.
    auto* view =
        static_cast<const uint8_t*>(MapViewOfFile(block, FILE_MAP_READ, 0, 0, kCallBlockSize));
    Value result = MakeUndefined();
    if (view != nullptr) {
        // Handles are stored as 32-bit values and widened with their sign.
        const int32_t stored = static_cast<int32_t>(ReadListenerHandle(view, kCallBlockSize));
        HWND listener = reinterpret_cast<HWND>(static_cast<intptr_t>(stored));
        if (listener != nullptr && IsWindow(listener)) {
            std::string payload = BuildCallBlock(name, command, SplitCallArguments(argumentText));
            COPYDATASTRUCT data = {0, static_cast<DWORD>(payload.size()), &payload[0]};
            DWORD_PTR length = 0;
            const LRESULT delivered =
                SendMessageTimeoutA(listener, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                                    SMTO_NORMAL | SMTO_ABORTIFHUNG, kCallTimeoutMs, &length);
            std::string answer;
            if (delivered != 0 &&
                ReadCallAnswer(view, kCallBlockSize,
                               static_cast<int64_t>(static_cast<intptr_t>(length)), &answer))
                result = AnsiString(context, answer);
        }
        UnmapViewOfFile(view);
    }
    CloseHandle(block);
    return result;
}

int PConnMethod(ScriptContext* context, NativeClass*, void* data, int member, Value* out,
                Value* args) {
    auto* self = static_cast<PConnData*>(data);
    if (self == nullptr) return 0;  // instances only
    switch (member) {
        case kListen: *out = MakeBoolean(Listen(context, self, args)); break;
        case kSend: *out = Send(context, args); break;
    }
    return 1;
}

void ConstructPConn(ScriptContext* context, NativeClass* klass, Value*, Value* out) {
    NewInstanceOf<PConnData>(context, klass, out);
}

void CallPConn(ScriptContext* context, NativeClass* klass, void*, Value* out, Value*) {
    NewInstanceOf<PConnData>(context, klass, out);
}

void FinalizePConn(NativeClass*, void* data) {
    if (data != nullptr) CloseBlock(static_cast<PConnData*>(data));
}

const ClassSpec kPConnClass = {
    .name = "PConn",
    .text = u"[PConn Object]",
    .about =
        "Calls between projectors on one machine: one listens under a name, another sends it "
        "a command, which runs the listener's global function of that name and returns its "
        "answer",
    .methods = kMethods,
    .method = PConnMethod,
    .call = CallPConn,
    .construct = ConstructPConn,
    .finalize = FinalizePConn,
    .instanceSize = sizeof(PConnData),
};

}  // namespace

void RegisterPConnClass(ScriptContext* context) { DefineClass(context, kPConnClass); }

}  // namespace kelpo
