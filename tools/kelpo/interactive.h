// The interactive mode of `kelpo`: statements typed line by line run in
// one context, each expression's value printed after it.
#pragma once

#include "compiler/engine.h"

namespace kelpo {

// Reads entries from standard input until its end (or ".exit"); returns the
// process exit status.
int RunInteractive(ScriptRunner* runner);

}  // namespace kelpo
