// A compact text form of syntax trees, for tests and debugging tools.
//
// A node prints as "(name operand ...)" with the names and operand roles of
// the layout table; identifiers, numbers, literals and the constant words
// (this, null, true, false, undefined) print bare; a null operand prints as
// "-"; a list prints as "[item item ...]" in stored order (so argument,
// element and property lists appear last item first). Strings are quoted
// with \" \\ and \xHH escapes; Floats carry a trailing "f".
//   x = f(1, 'a');   ->   (expr (assign = x (call f ["a" 1] 2)))
#pragma once

#include "compiler/script_stream.h"
#include "compiler/syntax_tree.h"

namespace kelpo {

// Print flags.
constexpr int PrintLines = 1;  // append "@line" to every node name

// Writes the nodes of a list separated by single spaces.
void PrintSyntaxList(ScriptContext* context, ScriptStream* out, const SyntaxNode* list, int flags);

// Writes one node (or "-" for null).
void PrintSyntaxNode(ScriptContext* context, ScriptStream* out, const SyntaxNode* node, int flags);

}  // namespace kelpo
