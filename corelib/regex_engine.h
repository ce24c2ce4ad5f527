// The regular-expression engine behind the RegExp class: a small adapter
// over Boost.Regex's header-only templates with the contract of the POSIX
// wide-character interface (compile with flags, execute collecting
// sub-match positions, error text, free).
//
// Text is UTF-16 code units on every build (wchar_t is 32 bits on Linux),
// so positions are UTF-16 offsets. No exception leaves this adapter: a bad
// pattern is an error code, and a search the library gives up on (too
// complex, out of backtracking memory) is reported as such, never a crash
// or an endless search.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kelpo {

// Compile flags, with the values of the POSIX interface.
constexpr int kRegExtended = 0x001;  // extended syntax (else basic)
constexpr int kRegIgnoreCase = 0x002;
constexpr int kRegNewline = 0x008;        // '.' does not match a line end
constexpr int kRegNoCollate = 0x100;      // ranges by code unit, no locale collation
constexpr int kRegEscapeInLists = 0x200;  // '\' escapes inside [...]

// Results: 0 success, kRegNoMatch, or a library error code whose text
// RegexErrorText gives.
constexpr int kRegOk = 0;
constexpr int kRegNoMatch = 1;

// Most sub-match pairs a search reports (group 0 included).
constexpr int kRegMaxGroups = 256;

struct RegexProgram;

// Compiles `length` units of `pattern`. On success *program owns the
// compiled expression (release it with RegexFree); otherwise it is null.
int RegexCompile(const char16_t* pattern, size_t length, int flags, RegexProgram** program);

// Number of marked sub-expressions (group 0 not counted).
size_t RegexGroupCount(const RegexProgram* program);

// Searches `length` units of `text`. Writes `pairs` (start, end) offsets
// into `positions` (2 * pairs entries): -1, -1 for groups that did not take
// part and for every pair when nothing matched. Returns kRegOk, kRegNoMatch,
// or the error code of a search the library abandoned.
int RegexExecute(const RegexProgram* program, const char16_t* text, size_t length,
                 int32_t* positions, size_t pairs);

// The library's message for an error code.
const char* RegexErrorText(int code);

void RegexFree(RegexProgram* program);

}  // namespace kelpo
