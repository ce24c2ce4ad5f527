#include "syslib/engine_entry.h"

namespace kelpo {
namespace {

EngineEntryCounter gCounter;

}  // namespace

void SetEngineEntryCounter(const EngineEntryCounter& counter) { gCounter = counter; }

EngineEntryScope::EngineEntryScope() : leave_(gCounter.leave) {
    if (gCounter.enter) counted_ = gCounter.enter();
}

EngineEntryScope::~EngineEntryScope() {
    if (leave_) leave_(counted_);
}

}  // namespace kelpo
