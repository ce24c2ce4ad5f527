// Calls from other projectors through WM_COPYDATA. The block holds
// NUL-terminated ANSI strings: the name of a shared mapping for the reply,
// a global function's name, then the arguments, ending with an empty
// string. The reply goes into the 64 KB mapping at offset 4 (offset 0 holds
// the receiving window's handle, written by the mapping's creator).
//
// The block comes from another process: it is parsed strictly within its
// size, and the reply never writes past the mapping.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kelpo {

constexpr size_t kCallReplySize = 65536;
constexpr size_t kCallReplyOffset = 4;

struct CopyDataCall {
    std::string mappingName;
    std::string function;
    std::vector<std::string> arguments;
};

// False when the block is empty or names no function. A last string that
// runs to the end of the block without its NUL ends there.
bool ParseCopyDataCall(const uint8_t* bytes, size_t size, CopyDataCall& call);

struct ScriptRunner;

// Calls the named global function of the engine with the arguments as
// Strings and gives its result converted to text ("undefined" when the
// call failed).
std::string RunCopyDataCall(ScriptRunner* engine, const CopyDataCall& call);

// Writes the reply text with its NUL at offset 4 of a mapping of
// `mappingSize` bytes when text + 5 bytes fit into 65536 (and the mapping);
// otherwise a zero u32 at offset 4.
void WriteCallReply(uint8_t* mapping, size_t mappingSize, const std::string& text);

}  // namespace kelpo
