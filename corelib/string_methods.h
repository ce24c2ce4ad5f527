// The methods of String values, one function each, shared by the String
// class's dispatch table (string_class.cpp).
//
// `self` is the String the method was called on (Undefined when the class
// object is the target, which only fromCharCode accepts); `args` is the
// ArgList. Results are new Strings unless a method says otherwise.
#pragma once

#include "runtime/context.h"

namespace kelpo {

using StringMethod = Value (*)(ScriptContext* context, const Value& self, Value* args);

// string_methods.cpp: characters, pieces and case.
Value StringCharAt(ScriptContext* context, const Value& self, Value* args);
Value StringCharCodeAt(ScriptContext* context, const Value& self, Value* args);
Value StringConcat(ScriptContext* context, const Value& self, Value* args);
Value StringFromCharCode(ScriptContext* context, const Value& self, Value* args);
Value StringSlice(ScriptContext* context, const Value& self, Value* args);
Value StringSubstr(ScriptContext* context, const Value& self, Value* args);
Value StringSubstring(ScriptContext* context, const Value& self, Value* args);
Value StringToLowerCase(ScriptContext* context, const Value& self, Value* args);
Value StringToUpperCase(ScriptContext* context, const Value& self, Value* args);

// string_search.cpp: searching, replacing and splitting.
Value StringIndexOf(ScriptContext* context, const Value& self, Value* args);
Value StringLastIndexOf(ScriptContext* context, const Value& self, Value* args);
Value StringMatch(ScriptContext* context, const Value& self, Value* args);
Value StringReplace(ScriptContext* context, const Value& self, Value* args);
Value StringSearch(ScriptContext* context, const Value& self, Value* args);
Value StringSplit(ScriptContext* context, const Value& self, Value* args);

// string_html.cpp: the HTML wrappers.
Value StringAnchor(ScriptContext* context, const Value& self, Value* args);
Value StringBig(ScriptContext* context, const Value& self, Value* args);
Value StringBlink(ScriptContext* context, const Value& self, Value* args);
Value StringBold(ScriptContext* context, const Value& self, Value* args);
Value StringFixed(ScriptContext* context, const Value& self, Value* args);
Value StringFontColor(ScriptContext* context, const Value& self, Value* args);
Value StringFontSize(ScriptContext* context, const Value& self, Value* args);
Value StringItalics(ScriptContext* context, const Value& self, Value* args);
Value StringLink(ScriptContext* context, const Value& self, Value* args);
Value StringSmall(ScriptContext* context, const Value& self, Value* args);
Value StringStrike(ScriptContext* context, const Value& self, Value* args);
Value StringSub(ScriptContext* context, const Value& self, Value* args);
Value StringSup(ScriptContext* context, const Value& self, Value* args);

}  // namespace kelpo
