// Image writer. The kind words of the header carry zero in their upper bits:
// readers ignore them, and identical programs then give identical images.
#include "compiler/image_writer.h"

#include <cstring>

#include "compiler/image.h"
#include "compiler/opcodes.h"
#include "platform/ansi.h"

namespace kelpo {
namespace {

constexpr uint32_t kHeaderSize = 56;

void PutU8(std::vector<uint8_t>& out, uint8_t v) { out.push_back(v); }
void PutU32BE(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}
void PutU32LE(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 0; shift <= 24; shift += 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

// UTF-16LE bytes of narrow ANSI text.
std::vector<uint8_t> Utf16Bytes(const std::string& text) {
    std::vector<uint8_t> out;
    if (text.empty()) return out;
    std::vector<char16_t> units(text.size());
    size_t n = AnsiToUtf16(text.data(), text.size(), units.data(), units.size());
    for (size_t i = 0; i < n; ++i) {
        out.push_back(static_cast<uint8_t>(units[i] & 0xFF));
        out.push_back(static_cast<uint8_t>(units[i] >> 8));
    }
    return out;
}

// Returns the index of an existing entry or reserves a new one.
bool Shared(ImageWriter* w, uint8_t kind, const std::string& key, uint32_t* index) {
    auto found = w->shared.find({kind, key});
    if (found != w->shared.end()) {
        *index = found->second;
        return true;
    }
    *index = w->poolCount++;
    w->shared[{kind, key}] = *index;
    return false;
}

}  // namespace

void BeginImage(ImageWriter* w, bool lineTable, const std::string& sourceName) {
    *w = ImageWriter{};
    PutU32BE(w->functions, 0);  // patched by FinishImage
    w->wantLines = lineTable;
    if (lineTable) {
        PutU8(w->lines, kLineSourceRecord);
        PutU32BE(w->lines, static_cast<uint32_t>(sourceName.size()));
        w->lines.insert(w->lines.end(), sourceName.begin(), sourceName.end());
    }
}

uint32_t PoolName(ImageWriter* w, const std::string& name) {
    uint32_t index;
    if (Shared(w, kConstName, name, &index)) return index;
    PutU8(w->pool, kConstName);
    w->pool.insert(w->pool.end(), name.begin(), name.end());
    PutU8(w->pool, 0);
    return index;
}

uint32_t PoolString(ImageWriter* w, const std::string& text) {
    uint32_t index;
    if (Shared(w, kConstString, text, &index)) return index;
    std::vector<uint8_t> utf16 = Utf16Bytes(text);
    PutU8(w->pool, kConstString);
    PutU32BE(w->pool, static_cast<uint32_t>(utf16.size()));
    w->pool.insert(w->pool.end(), utf16.begin(), utf16.end());
    return index;
}

uint32_t PoolInteger(ImageWriter* w, int64_t value) {
    uint32_t index;
    if (Shared(w, kConstInteger, std::to_string(value), &index)) return index;
    PutU8(w->pool, kConstInteger);
    PutU32BE(w->pool, static_cast<uint32_t>(static_cast<uint64_t>(value) >> 32));
    PutU32BE(w->pool, static_cast<uint32_t>(value));
    return index;
}

uint32_t PoolFloat(ImageWriter* w, double value) {
    uint64_t bits;
    memcpy(&bits, &value, sizeof bits);
    uint32_t index;
    if (Shared(w, kConstFloat, std::string(reinterpret_cast<const char*>(&bits), sizeof bits),
               &index)) {
        return index;
    }
    PutU8(w->pool, kConstFloat);
    for (int i = 0; i < 8; ++i) PutU8(w->pool, static_cast<uint8_t>(bits >> (8 * i)));
    return index;
}

uint32_t PoolRegExp(ImageWriter* w, const std::string& pattern, uint8_t flags) {
    std::string key = pattern;
    if (flags & 1) key += 'g';
    if (flags & 2) key += 'i';
    if (flags & 4) key += 'm';
    uint32_t index;
    if (Shared(w, kConstRegExp, key, &index)) return index;
    std::vector<uint8_t> utf16 = Utf16Bytes(pattern);
    PutU8(w->pool, kConstRegExp);
    PutU8(w->pool, flags);
    PutU32BE(w->pool, static_cast<uint32_t>(utf16.size()));
    w->pool.insert(w->pool.end(), utf16.begin(), utf16.end());
    return index;
}

void BeginUnit(ImageWriter* w, const std::string& name) {
    w->functions.insert(w->functions.end(), name.begin(), name.end());
    PutU8(w->functions, 0);
    PutU32BE(w->functions, CodeOffset(w));
    w->functionCount++;
}

uint32_t CodeOffset(const ImageWriter* w) { return static_cast<uint32_t>(w->code.size()); }

void WriteInstruction(ImageWriter* w, int op, int64_t operand, uint32_t line) {
    const OpcodeInfo& info = OpcodeInfoOf(op);
    PutU8(w->code, static_cast<uint8_t>(op));
    uint32_t raw = static_cast<uint32_t>(operand);
    for (int i = info.width - 1; i >= 0; --i) PutU8(w->code, static_cast<uint8_t>(raw >> (8 * i)));
    // A line record marks where the instruction ends, whenever the line
    // changes (the line before the first instruction counts as 0).
    if (w->wantLines && line != w->lastLine) {
        PutU8(w->lines, kLineRecord);
        PutU32BE(w->lines, CodeOffset(w));
        PutU32BE(w->lines, line);
        w->lastLine = line;
    }
}

void PatchJump(ImageWriter* w, uint32_t end, uint32_t target) {
    uint32_t d = target - end;
    for (int i = 0; i < 4; ++i) w->code[end - 4 + i] = static_cast<uint8_t>(d >> (8 * (3 - i)));
}

std::vector<uint8_t> FinishImage(ImageWriter* w) {
    for (int i = 0; i < 4; ++i)
        w->functions[i] = static_cast<uint8_t>(w->functionCount >> (8 * (3 - i)));
    uint32_t lineSize = w->wantLines ? static_cast<uint32_t>(w->lines.size()) : 0;
    uint32_t codeEnd = kHeaderSize + static_cast<uint32_t>(w->code.size());
    uint32_t poolEnd = codeEnd + static_cast<uint32_t>(w->pool.size());
    uint32_t tableEnd = poolEnd + static_cast<uint32_t>(w->functions.size());

    std::vector<uint8_t> image(kImageMagic, kImageMagic + 4);
    const uint32_t descriptors[4][3] = {
        {kCodeSection, kHeaderSize, static_cast<uint32_t>(w->code.size())},
        {kConstantSection, codeEnd, static_cast<uint32_t>(w->pool.size())},
        {kFunctionSection, poolEnd, static_cast<uint32_t>(w->functions.size())},
        {kLineSection, tableEnd, lineSize},
    };
    for (const auto& d : descriptors) {
        for (uint32_t word : d) PutU32LE(image, word);
    }
    PutU32LE(image, 0xFFFFFFFFu);
    image.insert(image.end(), w->code.begin(), w->code.end());
    image.insert(image.end(), w->pool.begin(), w->pool.end());
    image.insert(image.end(), w->functions.begin(), w->functions.end());
    if (w->wantLines) image.insert(image.end(), w->lines.begin(), w->lines.end());
    return image;
}

}  // namespace kelpo
