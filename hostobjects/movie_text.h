// Movie variables are text; scripts get values. "true", "false" and
// "undefined" become the Boolean and Undefined values, a text that is all
// integer an Integer, one that is all number a Float, anything else stays a
// String.
#pragma once

#include <string>

#include "runtime/context.h"

namespace kelpo {

Value MovieTextToValue(ScriptContext* context, const std::u16string& text);

// The UTF-16 text of a String value ("" for any other kind).
std::u16string TextOf(const Value& string);
// ToString of any value, as UTF-16 text.
std::u16string TextOfValue(ScriptContext* context, const Value& value);
Value NewText(ScriptContext* context, const std::u16string& text);

}  // namespace kelpo
