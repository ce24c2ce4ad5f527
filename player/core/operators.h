// The movie language's operators on values: the typed operators of version
// 5 (Add2, Less2, Equals2, StrictEquals), 32-bit integer conversion and
// typeof names.
#pragma once

#include <string>

#include "player/core/values.h"

namespace kelpo::player {

Value AddValues(const Value& l, const Value& r, int version);
// True, false, or undefined (a NaN was compared).
Value LessThan(const Value& l, const Value& r, int version);
bool LooseEquals(const Value& l, const Value& r, int version);
bool StrictEquals(const Value& l, const Value& r);
int32_t ToInt32(double n);
std::string TypeName(const Value& v);
// UTF-8 text of one character code.
std::string CharacterFromCode(uint32_t code);
// The first character's code of UTF-8 text (bytes that do not decode count alone).
uint32_t FirstCharacterCode(const std::string& text);

}  // namespace kelpo::player
