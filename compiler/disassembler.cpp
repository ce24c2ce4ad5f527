// A readable listing of a KS1b image: sections, constant pool, each unit's
// instructions with operands resolved to names and constants, line records.
#include "compiler/disassembler.h"
#include "runtime/format_check.h"

#include <cinttypes>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "compiler/image.h"
#include "compiler/opcodes.h"
#include "platform/ansi.h"

namespace kelpo {
namespace {

const char* SectionName(uint32_t kind) {
    switch (kind) {
        case kCodeSection: return "code";
        case kConstantSection: return "constants";
        case kFunctionSection: return "functions";
        case kLineSection: return "lines";
        default: return "unknown";
    }
}

void Appendf(std::string* out, const char* format, ...) KELPO_PRINTF_FORMAT(2, 3);

void Appendf(std::string* out, const char* format, ...) {
    char buffer[512];
    va_list args;
    va_start(args, format);
    vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    *out += buffer;
}

// UTF-16LE bytes as a quoted ANSI literal with escapes.
std::string QuoteUtf16(const uint8_t* bytes, uint32_t size) {
    std::vector<char16_t> units(size / 2);
    for (size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    std::string ansi(units.size() * 2 + 1, '\0');
    size_t n = units.empty() ? 0 : Utf16ToAnsi(units.data(), units.size(), &ansi[0], ansi.size());
    ansi.resize(n);
    std::string out = "\"";
    for (char c : ansi) {
        switch (c) {
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\0': out += "\\0"; break;
            default: out += c;
        }
    }
    return out + "\"";
}

struct Cursor {
    const uint8_t* bytes;
    uint32_t size;
    uint32_t pos;
    bool ok = true;

    bool Has(uint32_t n) {
        if (n > size - pos) ok = false;
        return ok;
    }
    uint8_t U8() { return Has(1) ? bytes[pos++] : 0; }
    uint32_t U32() {
        if (!Has(4)) return 0;
        uint32_t v = ReadU32BE(bytes + pos);
        pos += 4;
        return v;
    }
    std::string CString() {
        const void* nul = pos < size ? memchr(bytes + pos, 0, size - pos) : nullptr;
        if (nul == nullptr) {
            ok = false;
            return "";
        }
        std::string s(reinterpret_cast<const char*>(bytes + pos));
        pos += static_cast<uint32_t>(s.size()) + 1;
        return s;
    }
};

// Describes every constant; false when the pool is malformed.
bool DescribeConstants(const ImageSection* pool, std::vector<std::string>* out) {
    if (pool == nullptr) return true;
    Cursor c{pool->bytes, pool->size, 0};
    while (c.ok && c.pos < c.size) {
        uint8_t kind = c.U8();
        std::string text;
        switch (kind) {
            case kConstInteger:
                if (c.Has(8)) {
                    Appendf(&text, "integer   %" PRId64,
                            static_cast<int64_t>(ReadU64BE(c.bytes + c.pos)));
                    c.pos += 8;
                }
                break;
            case kConstFloat:
                if (c.Has(8)) {
                    uint64_t bits = 0;
                    for (int i = 7; i >= 0; --i) bits = (bits << 8) | c.bytes[c.pos + i];
                    double d;
                    memcpy(&d, &bits, sizeof d);
                    Appendf(&text, "float     %.17g", d);
                    c.pos += 8;
                }
                break;
            case kConstString: {
                uint32_t n = c.U32();
                if (c.Has(n)) {
                    text = "string    " + QuoteUtf16(c.bytes + c.pos, n);
                    c.pos += n;
                }
                break;
            }
            case kConstRegExp: {
                uint8_t flags = c.U8();
                uint32_t n = c.U32();
                if (c.Has(n)) {
                    std::string pattern = QuoteUtf16(c.bytes + c.pos, n);
                    pattern = pattern.substr(1, pattern.size() - 2);
                    text = "regexp    /" + pattern + "/";
                    if (flags & 1) text += 'g';
                    if (flags & 2) text += 'i';
                    if (flags & 4) text += 'm';
                    c.pos += n;
                }
                break;
            }
            case kConstName: text = "name      " + c.CString(); break;
            case kConstNull: text = "null"; break;
            case kConstNaN: text = "NaN"; break;
            case kConstBoolean: text = c.U8() ? "boolean   true" : "boolean   false"; break;
            default: return false;
        }
        if (!c.ok) return false;
        out->push_back(text);
    }
    return true;
}

// The operand text of one instruction.
std::string OperandText(const OpcodeInfo& info, uint32_t raw, uint32_t end,
                        const std::vector<std::string>& constants) {
    std::string text;
    switch (info.operand) {
        case OperandKind::None: break;
        case OperandKind::Name:
        case OperandKind::Constant:
            if (raw < constants.size()) {
                const std::string& c = constants[raw];
                if (info.operand == OperandKind::Name && c.compare(0, 4, "name") == 0) {
                    text = c.substr(10);
                } else {
                    Appendf(&text, "#%u %s", raw, c.c_str());
                }
            } else {
                Appendf(&text, "#%u ???", raw);
            }
            break;
        case OperandKind::Jump: Appendf(&text, "-> %04x", end + raw); break;
        case OperandKind::Signed8: Appendf(&text, "%d", static_cast<int8_t>(raw)); break;
        case OperandKind::Unsigned8: Appendf(&text, "%u", raw & 0xFF); break;
        case OperandKind::Unsigned16: Appendf(&text, "%u", raw & 0xFFFF); break;
        case OperandKind::Signed32: Appendf(&text, "%d", static_cast<int32_t>(raw)); break;
    }
    return text;
}

void DisassembleUnit(const uint8_t* code, uint32_t start, uint32_t end,
                     const std::vector<std::string>& constants, std::string* out) {
    for (uint32_t pos = start; pos < end;) {
        int op = code[pos];
        const OpcodeInfo& info = OpcodeInfoOf(op);
        if (!IsOpcode(op)) {
            Appendf(out, "  %04x  .byte %u\n", pos, static_cast<unsigned>(op));
            ++pos;
            continue;
        }
        if (pos + 1 + info.width > end) {
            Appendf(out, "  %04x  %s <operand cut off>\n", pos, info.name);
            return;
        }
        uint32_t raw = 0;
        for (int i = 0; i < info.width; ++i) raw = (raw << 8) | code[pos + 1 + i];
        uint32_t next = pos + 1 + info.width;
        std::string operand = OperandText(info, raw, next, constants);
        if (operand.empty()) {
            Appendf(out, "  %04x  %s\n", pos, info.name);
        } else {
            Appendf(out, "  %04x  %-10s %s\n", pos, info.name, operand.c_str());
        }
        pos = next;
    }
}

}  // namespace

bool DisassembleImage(const SectionList* list, std::string* out) {
    Appendf(out, "KS1b image, %u sections\n", list->count);
    for (uint32_t i = 0; i < list->count; ++i) {
        Appendf(out, "  %-9s %u bytes\n", SectionName(list->sections[i].kind),
                list->sections[i].size);
    }

    std::vector<std::string> constants;
    if (!DescribeConstants(FindSection(list, kConstantSection), &constants)) {
        *out += "malformed constant pool\n";
        return false;
    }
    Appendf(out, "\nconstants (%zu):\n", constants.size());
    for (size_t i = 0; i < constants.size(); ++i)
        Appendf(out, "  #%-4zu %s\n", i, constants[i].c_str());

    const ImageSection* code = FindSection(list, kCodeSection);
    const ImageSection* table = FindSection(list, kFunctionSection);
    uint32_t codeSize = code != nullptr ? code->size : 0;
    if (table != nullptr) {
        Cursor c{table->bytes, table->size, 0};
        uint32_t count = c.U32();
        struct Unit {
            std::string name;
            uint32_t offset;
        };
        std::vector<Unit> units;
        for (uint32_t i = 0; c.ok && i < count; ++i) {
            std::string name = c.CString();
            uint32_t offset = c.U32();
            if (c.ok) units.push_back({name, offset});
        }
        if (!c.ok) {
            *out += "malformed function table\n";
            return false;
        }
        for (size_t i = 0; i < units.size(); ++i) {
            uint32_t start = units[i].offset;
            uint32_t end = i + 1 < units.size() ? units[i + 1].offset : codeSize;
            if (start > codeSize || end > codeSize || end < start) {
                Appendf(out, "\nfunction %s: bad offsets %u..%u\n", units[i].name.c_str(), start,
                        end);
                return false;
            }
            Appendf(out, "\nfunction %s (offset %u, %u bytes)\n", units[i].name.c_str(), start,
                    end - start);
            DisassembleUnit(code->bytes, start, end, constants, out);
        }
    }

    const ImageSection* lines = FindSection(list, kLineSection);
    if (lines != nullptr && lines->size > 0) {
        *out += "\nlines:\n";
        Cursor c{lines->bytes, lines->size, 0};
        while (c.ok && c.pos < c.size) {
            uint8_t kind = c.U8();
            if (kind == kLineSourceRecord) {
                uint32_t n = c.U32();
                if (!c.Has(n)) break;
                Appendf(out, "  source \"%.*s\"\n", static_cast<int>(n),
                        reinterpret_cast<const char*>(c.bytes + c.pos));
                c.pos += n;
            } else if (kind == kLineRecord) {
                uint32_t offset = c.U32();
                uint32_t line = c.U32();
                if (c.ok) Appendf(out, "  %04x  line %u\n", offset, line);
            } else {
                c.ok = false;
            }
        }
        if (!c.ok) {
            *out += "malformed line table\n";
            return false;
        }
    }
    return true;
}

}  // namespace kelpo
