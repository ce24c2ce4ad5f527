// The command line's options for the engine's bounds on untrusted scripts:
// --heap-limit BYTES and --budget N (also written --heap-limit=BYTES).
#pragma once

#include <cstdint>
#include <string>

#include "compiler/engine.h"

namespace kelpo {

// A byte count: decimal digits with an optional K, M or G (KiB, MiB, GiB).
// False for anything else, zero included, or a count past 2^63.
bool ParseByteCount(const char* text, uint64_t* bytes);

// Applies the option at args[0] (its value in the same word after "=" or in
// args[1]) to `options`. Returns the words used, or 0 with `error` set.
int ApplyEngineBoundOption(int count, char** args, EngineOptions* options, std::string* error);

}  // namespace kelpo
