// A small text assembler for KS1b images, for tests, fuzzing seeds and
// hand-made images:
//
//   ; comment
//   function NAME          starts a code unit (".main" for the program)
//   label:                 a jump target
//   .line N                the source line of the instructions that follow
//   OPNAME [operand]
//
// Operands: numbers for counts and slots; names for name operands; labels
// for jumps; for PUSHCONST an integer (5), a float (1.5), a string ("text",
// with \n \t \" \\ escapes) or a regular expression (/pattern/gim).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kelpo {

// Assembles the text; false with a message ("line N: ...") on an error.
bool AssembleText(const std::string& text, std::vector<uint8_t>* image, std::string* error,
                  bool lineTable = false, const std::string& sourceName = "string");

}  // namespace kelpo
