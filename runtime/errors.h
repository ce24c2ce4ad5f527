// Error frames and the non-local exit of runtime errors.
//
// Every entry point that runs script code or host callbacks links an error
// frame into the context and catches the raise. `RaiseError` always leaves
// for the innermost frame: the message is in `errorText`, and a frame that
// asks for it also receives the text as a String value.
//
// The exit is a C++ exception (`ScriptRaise`), so destructors of the frames it
// crosses run. It must never cross a Win32 or COM callback: every host edge
// enters the engine through a function that catches it (`RunProtected`,
// `CallFunction` and friends).
#pragma once

#include "runtime/format_check.h"

#include <cstdarg>

#include "runtime/context.h"

namespace kelpo {

// An error frame. Try handlers of the interpreter are ContextCalloc'ed and
// use the handler words; entry points keep their frame on the native stack.
struct ErrorFrame {
    ErrorFrame* previous;
    Value error;           // the raised value, when storeAsValue is set
    int32_t storeAsValue;  // non-zero: RaiseError stores its text into `error`
    bool onHeap;           // ContextCalloc'ed (freed when unlinked)

    // Try-handler words used by the interpreter.
    Value* savedStackPointer;
    Value* savedFrame;
    const uint32_t* resumeCode;
    int32_t handlerDisplacement;
    const void* owner;  // the interpreter run that installed the handler
};

// The exception object of a raise. The frame it reaches is always the
// context's innermost error frame at the time of the raise.
struct ScriptRaise {
    ScriptContext* context;
};

// Writes a printf-style message into errorText (truncated to fit).
void SetErrorText(ScriptContext* context, const char* format, ...) KELPO_PRINTF_FORMAT(2, 3);
void SetErrorTextV(ScriptContext* context, const char* format, va_list args);

// Rewrites errorText as "Runtime error: <old text>" and leaves for the
// innermost error frame. Never returns.
[[noreturn]] void RaiseError(ScriptContext* context);

// SetErrorText followed by RaiseError.
[[noreturn]] void RaiseErrorf(ScriptContext* context, const char* format, ...)
    KELPO_PRINTF_FORMAT(2, 3);

// Leaves for the innermost frame without rewriting errorText (the thrown
// value or text is already in place).
[[noreturn]] void JumpToErrorFrame(ScriptContext* context);

// Unlinks and frees every frame above `keep` (exclusive).
void UnwindErrorFramesTo(ScriptContext* context, ErrorFrame* keep);

// Links a frame for the lifetime of the guard and, on leaving, unlinks every
// frame down to the one that was innermost on entry and restores the stack
// pointer. Used by every entry point that catches raises.
class ErrorFrameGuard {
public:
    explicit ErrorFrameGuard(ScriptContext* context, bool storeAsValue = false);
    ~ErrorFrameGuard();
    ErrorFrameGuard(const ErrorFrameGuard&) = delete;
    ErrorFrameGuard& operator=(const ErrorFrameGuard&) = delete;

    ErrorFrame& frame() { return frame_; }

private:
    ScriptContext* context_;
    ErrorFrame* outer_;
    Value* savedStackPointer_;
    ErrorFrame frame_;
};

// Runs body() inside an error frame: true on normal return, false when a
// runtime error was raised (the message is then in errorText).
template <class Body>
bool CatchRaise(ScriptContext* context, Body&& body) {
    ErrorFrameGuard guard(context);
    try {
        body();
        return true;
    } catch (const ScriptRaise&) {
        return false;
    }
}

}  // namespace kelpo
