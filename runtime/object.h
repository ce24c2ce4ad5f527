// Script objects: ordered named slots with an optional name index.
//
// Property lookup by atom is a linear scan of the slots; the prototype is
// whatever Object is stored under `__proto__`. The 128-bucket name index
// exists only for by-name element access and enumeration and is built on
// first use; from then on every insertion and deletion keeps it current.
// Deleting frees a slot (atom -1) without shrinking the slot array; the
// last free slot is reused first.
#pragma once

#include <cstdint>

#include "runtime/context.h"

namespace kelpo {

constexpr Atom kFreeSlotAtom = -1;
constexpr int kNameIndexBuckets = 128;

struct PropertySlot {
    Atom atom;
    Value value;
};

struct NameIndexNode {
    NameIndexNode* next;
    char* name;  // collected, NUL-terminated
    uint32_t length;
    int32_t slot;
};

struct ScriptObject {
    NameIndexNode** nameIndex;  // 128 heads, or null until first needed
    uint32_t* bucketCounts;     // 128 counts, valid with the index
    uint32_t slotCount;
    PropertySlot* slots;
};

ScriptObject* NewObject(ScriptContext* context);

int GetProperty(ScriptContext* context, ScriptObject* object, Atom atom, Value* out);
void PutProperty(ScriptContext* context, ScriptObject* object, Atom atom, const Value& value);
void DeleteProperty(ScriptContext* context, ScriptObject* object, Atom atom);
Value* FindOwnProperty(ScriptContext* context, ScriptObject* object, Atom atom);

void GetElement(ScriptContext* context, ScriptObject* object, const Value& key, Value* out);
void PutElement(ScriptContext* context, ScriptObject* object, const Value& key, const Value& value);
void DeleteElement(ScriptContext* context, ScriptObject* object, const Value& key);

int PropertyNameAt(ScriptContext* context, ScriptObject* object, int64_t n, Value* out);
NameIndexNode** NamesBySlot(ScriptContext* context, ScriptObject* object);

// Builds the name index when it does not exist yet.
void EnsureNameIndex(ScriptContext* context, ScriptObject* object);

}  // namespace kelpo
