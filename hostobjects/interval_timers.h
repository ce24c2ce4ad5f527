// The interval timers of Application.setInterval: a process-wide table from
// timer ID to what each tick calls. The ticks come from system timers
// started through a TimerClock (Win32 timers without a window in the
// projector, a hand-driven clock in tests).
//
// A record holds the engine it belongs to, the target (a Function, or any
// value whose method is called), the method name and the extra arguments as
// an ArgList. Its values may be the only references to objects and texts,
// so the engine's Application class marks them (MarkIntervals). Destroying
// an engine stops every timer (StopAllIntervals), so no record outlives the
// values it holds.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/context.h"

namespace kelpo {

struct TimerClock {
    // Starts a repeating timer; its ID, or 0 when none could be started.
    uintptr_t (*start)(uint32_t milliseconds) = nullptr;
    void (*stop)(uintptr_t id) = nullptr;
};

void SetTimerClock(const TimerClock& clock);

// setInterval(function, ms, extra...) or setInterval(target, "method", ms,
// extra...): the timer's ID, or 0 when the arguments match neither form or
// no timer could be started.
uintptr_t StartInterval(ScriptContext* context, const Value* args);
// Stops and forgets the timer; an unknown ID is ignored.
void StopInterval(uintptr_t id);
// Stops every timer and frees every record.
void StopAllIntervals();

// One tick of a timer: calls its target in its engine (the result is
// dropped). Unknown IDs are ignored.
void FireInterval(uintptr_t id);

// Marks the values of the records that belong to `context`.
void MarkIntervals(ScriptContext* context);

size_t IntervalCount();

}  // namespace kelpo
