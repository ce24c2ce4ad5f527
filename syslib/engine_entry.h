// Entries into a script engine that the host starts on its own (timer
// ticks, host events, socket notifications). The projector counts them like
// every other script call from the window, so that a close requested
// meanwhile waits until the call has returned; the counting is installed by
// the Windows side.
#pragma once

namespace kelpo {

struct EngineEntryCounter {
    // enter's result is handed to the matching leave.
    void* (*enter)() = nullptr;
    void (*leave)(void* counted) = nullptr;
};

void SetEngineEntryCounter(const EngineEntryCounter& counter);

class EngineEntryScope {
public:
    EngineEntryScope();
    ~EngineEntryScope();
    EngineEntryScope(const EngineEntryScope&) = delete;
    EngineEntryScope& operator=(const EngineEntryScope&) = delete;

private:
    void (*leave_)(void*);
    void* counted_ = nullptr;
};

}  // namespace kelpo
