// The RegExp class's records and the operations the String class drives.
//
// An instance holds its pattern, flags, compiled expression and lastIndex.
// The class holds one match record shared by every instance: the last
// input (a Value the class's `mark` callback keeps alive) and the sub-match
// positions of the last search, as absolute UTF-16 offsets into that input.
#pragma once

#include <cstdint>

#include "corelib/regex_engine.h"
#include "runtime/context.h"

namespace kelpo {

// Instance flags.
constexpr uint32_t kRegExpGlobal = 1;
constexpr uint32_t kRegExpIgnoreCase = 2;
constexpr uint32_t kRegExpMultiline = 4;

struct RegExpData {
    char16_t* source;  // NUL-terminated pattern text (ContextAlloc)
    uint32_t sourceLength;
    uint32_t flags;
    RegexProgram* program;  // null when the last compile failed
    int32_t lastIndex;
    NativeInstance* self;  // the instance owning this record
};

// The properties of the class and its instances, in this order.
enum RegExpProperty {
    kNameDollar1 = 0,  // "$1" ... "$9" are 0 to 8
    kNameDollarInput = 9,
    kNameInput,
    kNameLastMatch,
    kNameLastParen,
    kNameLeftContext,
    kNameMultiline,
    kNameRightContext,
    kNameGlobal,
    kNameIgnoreCase,
    kNameLastIndex,
    kNameSource,
};

struct MatchRecord {
    Value lastInput;
    // Groups of the expression searched last (group 0 included): the
    // pairs beyond it are always -1.
    int32_t groupCount;
    int32_t positions[2 * kRegMaxGroups];
};

struct RegExpClassData {
    Atom input;  // "input" and "index" of exec results
    Atom index;
    MatchRecord record;
};

// The instance data when the value is a RegExp instance (not the class
// object), else null.
RegExpData* RegExpDataOf(const Value& value);
RegExpClassData* RegExpClassOf(const Value& value);

// ---- Searching (regexp_match.cpp) ----------------------------------------

// Searches the class's last input (a String) from position k: the text
// from k up to the first NUL after it, as a NUL-terminated copy would show
// it. The record receives absolute positions, all -1 when nothing matched.
bool RegExpSearch(RegExpClassData* cls, const RegExpData* re, uint32_t k);

// Makes a String the class's last input.
void SetLastInput(RegExpClassData* cls, const Value& string);
// A fresh copy of a String becomes the last input (in-place edits of the
// original must not move the record under it).
void SetLastInputCopy(ScriptContext* context, RegExpClassData* cls, const Value& string);

// Whether group g of the record took part (and lies inside the input).
bool GroupTookPart(const RegExpClassData* cls, int g);
// The text of group g, or Null when it did not take part.
Value GroupText(ScriptContext* context, const RegExpClassData* cls, int g);
// The highest-numbered group (from 1) that took part, or 0 when none did.
int LastParenGroup(const RegExpClassData* cls);

// re.exec(s) with the argument list of the call; the Array result or Null.
// `wantArray` false gives the Boolean of test().
Value RegExpExec(ScriptContext* context, RegExpClassData* cls, RegExpData* re, Value* args,
                 bool wantArray);

// The class-wide properties ($1 ... rightContext): true when `name` is one.
bool ReadMatchProperty(ScriptContext* context, RegExpClassData* cls, int name, Value* out);

// ---- String methods with a RegExp argument (regexp_string_ops.cpp) -------

Value RegExpStringMatch(ScriptContext* context, const Value& s, const Value& re);
Value RegExpStringSearch(ScriptContext* context, const Value& s, const Value& re);
Value RegExpStringReplace(ScriptContext* context, const Value& s, const Value& re,
                          const Value& replacement);
Value RegExpStringSplit(ScriptContext* context, const Value& s, const Value& re, int64_t limit);

}  // namespace kelpo
