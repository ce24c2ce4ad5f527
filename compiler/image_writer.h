// Writing KS1b images: the constant pool with its sharing rules, the code
// section, the function table and the optional line table, assembled behind
// the 56-byte header.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace kelpo {

struct ImageWriter {
    std::vector<uint8_t> code;
    std::vector<uint8_t> pool;
    std::vector<uint8_t> functions;  // count placeholder, then {name, offset}
    std::vector<uint8_t> lines;
    bool wantLines = false;
    uint32_t functionCount = 0;
    uint32_t poolCount = 0;
    uint32_t lastLine = 0;
    // Shared entries: (kind, key text) -> index. Floats are keyed by their
    // bits, so only identical values share.
    std::map<std::pair<uint8_t, std::string>, uint32_t> shared;
};

// Starts an image; with a source name the line table is written too.
void BeginImage(ImageWriter* w, bool lineTable, const std::string& sourceName);

// Constant-pool entries (indexes from 0, shared as described above). Texts
// are narrow ANSI text, converted to UTF-16 when written.
uint32_t PoolName(ImageWriter* w, const std::string& name);
uint32_t PoolString(ImageWriter* w, const std::string& text);
uint32_t PoolInteger(ImageWriter* w, int64_t value);
uint32_t PoolFloat(ImageWriter* w, double value);
uint32_t PoolRegExp(ImageWriter* w, const std::string& pattern, uint8_t flags);

// Starts a code unit at the current code offset.
void BeginUnit(ImageWriter* w, const std::string& name);

// Appends one instruction: the opcode and its operand in the opcode's width
// (big-endian). `line` feeds the line table.
void WriteInstruction(ImageWriter* w, int op, int64_t operand, uint32_t line);

// Current code offset (where the next instruction starts).
uint32_t CodeOffset(const ImageWriter* w);

// Overwrites the 4-byte operand of the jump that ends at `end` so that it
// reaches `target` (both code offsets).
void PatchJump(ImageWriter* w, uint32_t end, uint32_t target);

// The finished image: header, code, pool, function table, line table.
std::vector<uint8_t> FinishImage(ImageWriter* w);

}  // namespace kelpo
