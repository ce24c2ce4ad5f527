// Interned names. An Atom is the index of a name in the context's atom
// table; atomValues[atom] is the global variable of that name.
#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/context.h"

namespace kelpo {

// The 32-bit name hash shared by atoms, the keyword table and object name
// indexes: h = (h << 5) ^ (h >> 7) ^ (h >> 16) ^ byte, bytes unsigned.
inline uint32_t NameHash(const char* name, size_t length) {
    uint32_t h = 0;
    for (size_t i = 0; i < length; ++i) {
        h = (h << 5) ^ (h >> 7) ^ (h >> 16) ^ static_cast<unsigned char>(name[i]);
    }
    return h;
}

Atom InternAtom(ScriptContext* context, const char* name);
// `name` must still be NUL-terminated at `length`.
Atom InternAtomN(ScriptContext* context, const char* name, size_t length);
// The name of an atom, or "???" for an atom that was never created.
const char* AtomName(ScriptContext* context, Atom atom);
// The atom of a name if it exists, else -1 (never creates one).
Atom FindAtom(ScriptContext* context, const char* name, size_t length);

// The global variable of a name (interned first, so the table may grow
// before it is indexed).
Value GetGlobal(ScriptContext* context, const char* name);
void SetGlobal(ScriptContext* context, const char* name, Value value);

}  // namespace kelpo
