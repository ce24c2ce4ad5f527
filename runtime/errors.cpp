// Error frames, error text and the raise.
#include "runtime/errors.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "runtime/strings.h"

namespace kelpo {

void SetErrorTextV(ScriptContext* context, const char* format, va_list args) {
    vsnprintf(context->errorText, sizeof context->errorText, format, args);
}

void SetErrorText(ScriptContext* context, const char* format, ...) {
    va_list args;
    va_start(args, format);
    SetErrorTextV(context, format, args);
    va_end(args);
}

void JumpToErrorFrame(ScriptContext* context) {
    if (context->errorFrames == nullptr) {
        // Engine code is only ever entered through a function that links a
        // frame; reaching this point is a defect of the caller, not of the
        // script, and continuing would run on an undefined state.
        fprintf(stderr, "kelpo: error raised outside any error frame: %s\n", context->errorText);
        abort();
    }
    throw ScriptRaise{context};
}

void RaiseError(ScriptContext* context) {
    char message[kErrorTextSize];
    memcpy(message, context->errorText, sizeof message);
    message[sizeof message - 1] = '\0';
    snprintf(context->errorText, sizeof context->errorText, "Runtime error: %.1000s", message);

    ErrorFrame* frame = context->errorFrames;
    if (frame != nullptr && frame->storeAsValue) {
        // The text becomes a String for a script catch. An allocation failure
        // here must not raise again, so the value stays Undefined instead.
        frame->error = MakeUndefined();
        NewStringFromAnsiNoRaise(context, &frame->error, context->errorText,
                                 strlen(context->errorText));
    }
    JumpToErrorFrame(context);
}

void RaiseErrorf(ScriptContext* context, const char* format, ...) {
    va_list args;
    va_start(args, format);
    SetErrorTextV(context, format, args);
    va_end(args);
    RaiseError(context);
}

void UnwindErrorFramesTo(ScriptContext* context, ErrorFrame* keep) {
    while (context->errorFrames != nullptr && context->errorFrames != keep) {
        ErrorFrame* frame = context->errorFrames;
        context->errorFrames = frame->previous;
        if (frame->onHeap) ContextFree(frame);
    }
}

ErrorFrameGuard::ErrorFrameGuard(ScriptContext* context, bool storeAsValue)
    : context_(context),
      outer_(context->errorFrames),
      savedStackPointer_(context->stackPointer),
      frame_() {
    frame_.previous = outer_;
    frame_.error = MakeUndefined();
    frame_.storeAsValue = storeAsValue ? 1 : 0;
    context->errorFrames = &frame_;
}

ErrorFrameGuard::~ErrorFrameGuard() {
    UnwindErrorFramesTo(context_, &frame_);
    context_->errorFrames = outer_;
    context_->stackPointer = savedStackPointer_;
}

}  // namespace kelpo
