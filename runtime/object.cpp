// Script objects: slots, the name index and the prototype walk.
#include "runtime/object.h"

#include <cstring>

#include "runtime/atoms.h"
#include "runtime/errors.h"
#include "runtime/gc.h"
#include "runtime/strings.h"

namespace kelpo {
namespace {

// A prototype chain longer than this is treated as cyclic: a script can link
// objects into a ring through __proto__, and lookups must still end.
constexpr int kMaxPrototypeHops = 10000;

inline uint32_t NameBucket(const char* name, size_t length) {
    return NameHash(name, length) & (kNameIndexBuckets - 1);
}

NameIndexNode* FindNode(ScriptObject* object, const char* name, size_t length) {
    for (NameIndexNode* node = object->nameIndex[NameBucket(name, length)]; node != nullptr;
         node = node->next) {
        if (node->length == length && memcmp(node->name, name, length) == 0) return node;
    }
    return nullptr;
}

// Inserts a name with its slot number; an existing name only moves.
void IndexInsert(ScriptContext* context, ScriptObject* object, const char* name, size_t length,
                 int32_t slot) {
    if (NameIndexNode* node = FindNode(object, name, length)) {
        node->slot = slot;
        return;
    }
    auto* node = static_cast<NameIndexNode*>(GcAlloc(context, sizeof(NameIndexNode)));
    node->next = nullptr;
    node->name = nullptr;
    node->length = static_cast<uint32_t>(length);
    node->slot = slot;
    char* copy = static_cast<char*>(GcAlloc(context, length + 1));
    memcpy(copy, name, length);
    copy[length] = '\0';
    node->name = copy;
    uint32_t bucket = NameBucket(name, length);
    node->next = object->nameIndex[bucket];
    object->nameIndex[bucket] = node;
    object->bucketCounts[bucket]++;
}

void IndexInsertAtom(ScriptContext* context, ScriptObject* object, Atom atom, int32_t slot) {
    const char* name = AtomName(context, atom);
    IndexInsert(context, object, name, strlen(name), slot);
}

// Removes a name from the index when its node refers to `slot`.
void IndexRemove(ScriptContext* context, ScriptObject* object, const char* name, size_t length,
                 int32_t slot) {
    uint32_t bucket = NameBucket(name, length);
    for (NameIndexNode** link = &object->nameIndex[bucket]; *link != nullptr;
         link = &(*link)->next) {
        NameIndexNode* node = *link;
        if (node->length == length && memcmp(node->name, name, length) == 0) {
            if (node->slot != slot) return;
            *link = node->next;
            object->bucketCounts[bucket]--;
            GcFree(context, node->name);
            GcFree(context, node);
            return;
        }
    }
}

void FreeSlot(ScriptContext* context, ScriptObject* object, uint32_t slot) {
    PropertySlot& s = object->slots[slot];
    Atom former = s.atom;
    s.atom = kFreeSlotAtom;
    s.value = MakeUndefined();
    if (object->nameIndex != nullptr && former != kFreeSlotAtom) {
        const char* name = AtomName(context, former);
        IndexRemove(context, object, name, strlen(name), static_cast<int32_t>(slot));
    }
}

// Grows the slot array to `count` slots; new slots are fillers (atom 0).
void GrowSlots(ScriptContext* context, ScriptObject* object, uint64_t count) {
    if (count > kGcMaxRequest / sizeof(PropertySlot)) {
        SetErrorText(context, "Out of memory");
        RaiseError(context);
    }
    object->slots = static_cast<PropertySlot*>(
        GcRealloc(context, object->slots, static_cast<size_t>(count) * sizeof(PropertySlot)));
    for (uint32_t i = object->slotCount; i < count; ++i) {
        object->slots[i].atom = 0;
        object->slots[i].value = MakeUndefined();
    }
    object->slotCount = static_cast<uint32_t>(count);
}

}  // namespace

ScriptObject* NewObject(ScriptContext* context) {
    auto* object = static_cast<ScriptObject*>(GcAlloc(context, sizeof(ScriptObject)));
    object->nameIndex = nullptr;
    object->bucketCounts = nullptr;
    object->slotCount = 0;
    object->slots = nullptr;
    return object;
}

void EnsureNameIndex(ScriptContext* context, ScriptObject* object) {
    if (object->nameIndex != nullptr) return;
    auto* heads =
        static_cast<NameIndexNode**>(GcAlloc(context, kNameIndexBuckets * sizeof(NameIndexNode*)));
    memset(heads, 0, kNameIndexBuckets * sizeof(NameIndexNode*));
    auto* counts = static_cast<uint32_t*>(GcAlloc(context, kNameIndexBuckets * sizeof(uint32_t)));
    memset(counts, 0, kNameIndexBuckets * sizeof(uint32_t));
    object->nameIndex = heads;
    object->bucketCounts = counts;
    for (uint32_t i = 0; i < object->slotCount; ++i) {
        Atom atom = object->slots[i].atom;
        if (atom != kFreeSlotAtom) IndexInsertAtom(context, object, atom, static_cast<int32_t>(i));
    }
}

// The hinted slot of an own property, or null. A name other than
// `__proto__` is held by at most one slot of an object (every store finds
// an existing slot first), so a slot that holds it is the first that does.
inline PropertySlot* HintedSlot(ScriptContext* context, ScriptObject* object, Atom atom) {
    if (atom == kAtomProto) return nullptr;
    uint32_t hint = context->memberHints[static_cast<uint32_t>(atom) % kMemberHintBuckets];
    if (hint >= object->slotCount || object->slots[hint].atom != atom) return nullptr;
    return &object->slots[hint];
}

inline void NoteSlot(ScriptContext* context, ScriptObject* object, Atom atom,
                     const PropertySlot* slot) {
    context->memberHints[static_cast<uint32_t>(atom) % kMemberHintBuckets] =
        static_cast<uint32_t>(slot - object->slots);
}

int GetProperty(ScriptContext* context, ScriptObject* object, Atom atom, Value* out) {
    if (object != nullptr) {
        if (PropertySlot* hinted = HintedSlot(context, object, atom)) {
            *out = hinted->value;
            return 1;
        }
    }
    for (int hops = 0; object != nullptr && hops < kMaxPrototypeHops; ++hops) {
        ScriptObject* prototype = nullptr;
        PropertySlot* slot = object->slots;
        PropertySlot* end = slot + object->slotCount;
        for (; slot != end; ++slot) {
            if (slot->atom == atom) {
                *out = slot->value;
                NoteSlot(context, object, atom, slot);
                return 1;
            }
            if (slot->atom == kAtomProto && slot->value.tag == ValueTag::Object) {
                prototype = slot->value.object;
            }
        }
        object = prototype;
    }
    *out = MakeUndefined();
    return 0;
}

void PutProperty(ScriptContext* context, ScriptObject* object, Atom atom, const Value& value) {
    if (PropertySlot* hinted = HintedSlot(context, object, atom)) {
        hinted->value = value;
        return;
    }
    int64_t freeSlot = -1;
    for (uint32_t i = 0; i < object->slotCount; ++i) {
        Atom a = object->slots[i].atom;
        if (a == atom) {
            object->slots[i].value = value;
            NoteSlot(context, object, atom, &object->slots[i]);
            return;
        }
        if (a == kFreeSlotAtom) freeSlot = i;
    }
    // `value` may live inside the slot array being grown: copy it first.
    Value copy = value;
    uint32_t slot;
    if (freeSlot >= 0) {
        slot = static_cast<uint32_t>(freeSlot);
    } else {
        slot = object->slotCount;
        GrowSlots(context, object, uint64_t{slot} + 1);
    }
    object->slots[slot].atom = atom;
    object->slots[slot].value = copy;
    if (object->nameIndex != nullptr)
        IndexInsertAtom(context, object, atom, static_cast<int32_t>(slot));
}

void DeleteProperty(ScriptContext* context, ScriptObject* object, Atom atom) {
    for (uint32_t i = 0; i < object->slotCount; ++i) {
        if (object->slots[i].atom == atom) {
            FreeSlot(context, object, i);
            return;
        }
    }
}

Value* FindOwnProperty(ScriptContext* /*context*/, ScriptObject* object, Atom atom) {
    for (uint32_t i = 0; i < object->slotCount; ++i) {
        if (object->slots[i].atom == atom) return &object->slots[i].value;
    }
    return nullptr;
}

namespace {

// Looks a String key up in the name index; -1 when absent.
int64_t SlotOfStringKey(ScriptContext* context, ScriptObject* object, const Value& key) {
    EnsureNameIndex(context, object);
    char* name = StringToAnsi(context, key);
    NameIndexNode* node = FindNode(object, name, strlen(name));
    ContextFree(name);
    if (node == nullptr || node->slot < 0 ||
        static_cast<uint32_t>(node->slot) >= object->slotCount) {
        return -1;
    }
    return node->slot;
}

}  // namespace

void GetElement(ScriptContext* context, ScriptObject* object, const Value& key, Value* out) {
    if (key.tag == ValueTag::Integer) {
        uint64_t k = static_cast<uint64_t>(key.integer);
        if ((k >> 32) == 0 && k < object->slotCount) {
            *out = object->slots[k].value;
            return;
        }
    } else if (key.tag == ValueTag::String) {
        int64_t slot = SlotOfStringKey(context, object, key);
        if (slot >= 0) {
            *out = object->slots[slot].value;
            return;
        }
    }
    *out = MakeUndefined();
}

void PutElement(ScriptContext* context, ScriptObject* object, const Value& key,
                const Value& value) {
    Value copy = value;
    if (key.tag == ValueTag::Integer) {
        if (key.integer < 0) return;
        uint64_t k = static_cast<uint64_t>(key.integer);
        if (k >= object->slotCount) GrowSlots(context, object, k + 1);
        object->slots[k].value = copy;
        return;
    }
    if (key.tag != ValueTag::String) return;
    int64_t slot = SlotOfStringKey(context, object, key);
    if (slot >= 0) {
        object->slots[slot].value = copy;
        return;
    }
    char* name = StringToAnsi(context, key);
    size_t length = strlen(name);
    uint32_t appended = object->slotCount;
    // Free the name on every path: interning or growing may raise.
    struct Release {
        char* p;
        ~Release() { ContextFree(p); }
    } release{name};
    Atom atom = InternAtomN(context, name, length);
    GrowSlots(context, object, uint64_t{appended} + 1);
    object->slots[appended].atom = atom;
    object->slots[appended].value = copy;
    IndexInsert(context, object, name, length, static_cast<int32_t>(appended));
}

void DeleteElement(ScriptContext* context, ScriptObject* object, const Value& key) {
    if (key.tag == ValueTag::Integer) {
        uint64_t k = static_cast<uint64_t>(key.integer);
        if (k < object->slotCount) FreeSlot(context, object, static_cast<uint32_t>(k));
        return;
    }
    if (key.tag != ValueTag::String) return;
    int64_t slot = SlotOfStringKey(context, object, key);
    if (slot >= 0) FreeSlot(context, object, static_cast<uint32_t>(slot));
}

int PropertyNameAt(ScriptContext* context, ScriptObject* object, int64_t n, Value* out) {
    *out = MakeUndefined();
    if (n < 0) return 0;
    EnsureNameIndex(context, object);
    for (int b = 0; b < kNameIndexBuckets; ++b) {
        uint32_t count = object->bucketCounts[b];
        if (n >= count) {
            n -= count;
            continue;
        }
        NameIndexNode* node = object->nameIndex[b];
        while (n > 0 && node != nullptr) {
            node = node->next;
            --n;
        }
        if (node == nullptr) return 0;
        *out = NewStringFromAnsi(context, node->name, node->length);
        return 1;
    }
    return 0;
}

NameIndexNode** NamesBySlot(ScriptContext* context, ScriptObject* object) {
    EnsureNameIndex(context, object);
    auto* names = static_cast<NameIndexNode**>(ContextCalloc(
        context, object->slotCount == 0 ? 1 : object->slotCount, sizeof(NameIndexNode*)));
    for (int b = 0; b < kNameIndexBuckets; ++b) {
        for (NameIndexNode* node = object->nameIndex[b]; node != nullptr; node = node->next) {
            if (node->slot >= 0 && static_cast<uint32_t>(node->slot) < object->slotCount) {
                names[node->slot] = node;
            }
        }
    }
    return names;
}

}  // namespace kelpo
