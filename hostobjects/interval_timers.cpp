#include "hostobjects/interval_timers.h"

#include <map>
#include <vector>

#include "corelib/callback_roots.h"
#include "runtime/native_args.h"
#include "runtime/call.h"
#include "runtime/gc.h"
#include "runtime/native.h"
#include "syslib/engine_entry.h"

namespace kelpo {
namespace {

// Longest method name a record keeps.
constexpr size_t kMaxMethodName = 255;

struct IntervalRecord {
    ScriptContext* context = nullptr;
    Value target;
    std::string method;       // empty for a Function target
    std::vector<Value> args;  // ArgList of the extras: [count, extra...]
};

TimerClock gClock;
std::map<uintptr_t, IntervalRecord>& Records() {
    static std::map<uintptr_t, IntervalRecord> records;
    return records;
}

// The argument index of the period and of the method name (0: none) for the
// form the arguments take; false when they take neither.
bool MatchForm(const Value* args, int64_t& periodAt, int64_t& methodAt) {
    if (HasArg(args, 2) && args[1].tag == ValueTag::Function && args[2].tag == ValueTag::Integer) {
        periodAt = 2;
        methodAt = 0;
        return true;
    }
    if (HasArg(args, 3) && args[2].tag == ValueTag::String && args[3].tag == ValueTag::Integer) {
        periodAt = 3;
        methodAt = 2;
        return true;
    }
    return false;
}

// Win32 timers take periods from 1 to 0x7FFFFFFF milliseconds.
uint32_t PeriodOf(int64_t milliseconds) {
    if (milliseconds < 1) return 1;
    if (milliseconds > 0x7FFFFFFF) return 0x7FFFFFFF;
    return static_cast<uint32_t>(milliseconds);
}

}  // namespace

void SetTimerClock(const TimerClock& clock) { gClock = clock; }

uintptr_t StartInterval(ScriptContext* context, const Value* args) {
    int64_t periodAt = 0, methodAt = 0;
    if (!MatchForm(args, periodAt, methodAt) || gClock.start == nullptr) return 0;
    IntervalRecord record;
    record.context = context;
    record.target = args[1];
    if (methodAt != 0 && (!BoundedAnsi(context, args[methodAt], kMaxMethodName, record.method) ||
                          record.method.empty())) {
        return 0;
    }
    const int64_t count = ArgCount(args);
    record.args.push_back(MakeInteger(count - periodAt));
    for (int64_t k = periodAt + 1; k <= count; ++k) record.args.push_back(args[k]);
    uintptr_t id = gClock.start(PeriodOf(args[periodAt].integer));
    if (id == 0) return 0;
    Records()[id] = std::move(record);
    return id;
}

void StopInterval(uintptr_t id) {
    auto& records = Records();
    auto found = records.find(id);
    if (found == records.end()) return;
    if (gClock.stop) gClock.stop(id);
    records.erase(found);
}

void StopAllIntervals() {
    auto& records = Records();
    for (const auto& entry : records) {
        if (gClock.stop) gClock.stop(entry.first);
    }
    records.clear();
}

void FireInterval(uintptr_t id) {
    auto& records = Records();
    auto found = records.find(id);
    if (found == records.end()) return;
    // Copies: the call may clear this very timer (or all of them).
    IntervalRecord record = found->second;
    EngineEntryScope entry;
    ScriptContext* context = record.context;
    CatchRaise(context, [&] {
        // On the value stack the values stay alive through the call, even
        // when it clears the timer and a collection follows.
        CallbackRoots roots(context);
        roots.Push(record.target);
        for (const Value& value : record.args) roots.Push(value);
        const int count = static_cast<int>(record.args.size());
        if (record.method.empty()) {
            CallFunction(context, nullptr, &record.target, count, record.args.data());
        } else {
            CallMethod(context, &record.target, record.method.c_str(), count, record.args.data());
        }
    });
}

void MarkIntervals(ScriptContext* context) {
    for (const auto& entry : Records()) {
        const IntervalRecord& record = entry.second;
        if (record.context != context) continue;
        GcMarkValue(record.target);
        for (const Value& value : record.args) GcMarkValue(value);
    }
}

size_t IntervalCount() { return Records().size(); }

}  // namespace kelpo
