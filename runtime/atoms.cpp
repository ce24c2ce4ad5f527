// The atom table: 256 hash buckets of interned names, and the growth of the
// global table that parallels it.
#include "runtime/atoms.h"

#include <cstring>

#include "runtime/errors.h"

namespace kelpo {
namespace {

constexpr uint32_t kAtomValuesGrowth = 1024;

AtomEntry* FindEntry(ScriptContext* context, const char* name, size_t length, uint32_t hash) {
    for (AtomEntry* e = context->atomBuckets[hash & (kAtomBuckets - 1)]; e != nullptr;
         e = e->next) {
        if (strncmp(e->name, name, length) == 0 && e->name[length] == '\0') return e;
    }
    return nullptr;
}

}  // namespace

Atom FindAtom(ScriptContext* context, const char* name, size_t length) {
    AtomEntry* e = FindEntry(context, name, length, NameHash(name, length));
    return e == nullptr ? -1 : e->atom;
}

Atom InternAtomN(ScriptContext* context, const char* name, size_t length) {
    uint32_t hash = NameHash(name, length);
    if (AtomEntry* e = FindEntry(context, name, length, hash)) return e->atom;

    if (context->atomCount == context->atomCapacity) {
        uint32_t capacity = context->atomCapacity + kAtomValuesGrowth;
        context->atomValues = static_cast<Value*>(
            ContextRealloc(context, context->atomValues, capacity * sizeof(Value)));
        context->atomCapacity = capacity;
    }

    auto* entry = static_cast<AtomEntry*>(ContextAlloc(context, sizeof(AtomEntry)));
    char* copy = static_cast<char*>(ContextAlloc(context, length + 1));
    memcpy(copy, name, length);
    copy[length] = '\0';
    entry->name = copy;
    entry->atom = static_cast<Atom>(context->atomCount);
    AtomEntry** bucket = &context->atomBuckets[hash & (kAtomBuckets - 1)];
    entry->next = *bucket;
    *bucket = entry;

    // A never-assigned global points back at its entry: AtomName's fast path.
    Value& global = context->atomValues[context->atomCount++];
    global.tag = ValueTag::Undefined;
    global.bits = 0;
    global.atomEntry = entry;
    return entry->atom;
}

Atom InternAtom(ScriptContext* context, const char* name) {
    return InternAtomN(context, name, strlen(name));
}

const char* AtomName(ScriptContext* context, Atom atom) {
    if (atom < 0 || static_cast<uint32_t>(atom) >= context->atomCount) return "???";
    const Value& global = context->atomValues[atom];
    if (global.tag == ValueTag::Undefined && global.atomEntry != nullptr &&
        global.atomEntry->atom == atom) {
        return global.atomEntry->name;
    }
    for (AtomEntry* bucket : context->atomBuckets) {
        for (AtomEntry* e = bucket; e != nullptr; e = e->next) {
            if (e->atom == atom) return e->name;
        }
    }
    return "???";
}

Value GetGlobal(ScriptContext* context, const char* name) {
    Atom atom = InternAtom(context, name);
    return context->atomValues[atom];
}

void SetGlobal(ScriptContext* context, const char* name, Value value) {
    Atom atom = InternAtom(context, name);
    context->atomValues[atom] = value;
}

}  // namespace kelpo
