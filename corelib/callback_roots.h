// Keeping values alive across calls back into script code.
//
// A native that runs script (a comparator, an element's toString) may see a
// collection inside that run; the collector keeps only what the roots reach,
// among them the value stack above the stack pointer. CallbackRoots pushes
// values there for its lifetime and restores the stack pointer when it
// ends, also when a raise passes through.
#pragma once

#include "runtime/context.h"
#include "runtime/errors.h"

namespace kelpo {

class CallbackRoots {
public:
    explicit CallbackRoots(ScriptContext* context)
        : context_(context), saved_(context->stackPointer) {}
    ~CallbackRoots() { context_->stackPointer = saved_; }
    CallbackRoots(const CallbackRoots&) = delete;
    CallbackRoots& operator=(const CallbackRoots&) = delete;

    void Push(const Value& value) {
        // Leave room for the frame of the run that the caller starts next.
        if (context_->stackPointer - context_->stackBase < kReserve) {
            RaiseErrorf(context_, "stack overflow");
        }
        *context_->stackPointer-- = value;
    }

private:
    static constexpr int kReserve = 16;
    ScriptContext* context_;
    Value* saved_;
};

}  // namespace kelpo
