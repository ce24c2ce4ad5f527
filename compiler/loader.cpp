// Linking an image into a context: constants into the pool, units into word
// code, functions into globals; then running ".main".
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "compiler/image.h"
#include "compiler/interpreter.h"
#include "compiler/fused_instructions.h"
#include "compiler/opcodes.h"
#include "compiler/verifier.h"
#include "runtime/atoms.h"
#include "runtime/errors.h"
#include "runtime/function.h"
#include "runtime/gc.h"
#include "runtime/native.h"
#include "runtime/strings.h"

namespace kelpo {
namespace {

constexpr uint32_t kConstantGrowth = 1024;
constexpr char kAnonymousPrefix[] = "@F_";

[[noreturn]] void BadBytecode(ScriptContext* context) {
    SetErrorText(context, "Unimplemented Kelpo Script bytecode");
    RaiseError(context);
}

// Reads bounded fields of a section, raising on a truncated entry.
struct Reader {
    ScriptContext* context;
    const uint8_t* bytes;
    uint32_t size;
    uint32_t pos;

    bool AtEnd() const { return pos >= size; }
    void Need(uint32_t n) {
        if (n > size - pos) BadBytecode(context);
    }
    uint8_t U8() {
        Need(1);
        return bytes[pos++];
    }
    uint32_t U32() {
        Need(4);
        uint32_t v = ReadU32BE(bytes + pos);
        pos += 4;
        return v;
    }
    const uint8_t* Take(uint32_t n) {
        Need(n);
        const uint8_t* p = bytes + pos;
        pos += n;
        return p;
    }
    // NUL-terminated text within the section.
    const char* CString() {
        const void* nul = memchr(bytes + pos, 0, size - pos);
        if (pos >= size || nul == nullptr) BadBytecode(context);
        const char* text = reinterpret_cast<const char*>(bytes + pos);
        pos = static_cast<uint32_t>(static_cast<const uint8_t*>(nul) - bytes) + 1;
        return text;
    }
};

// "@F_n" becomes "@F_(n + base)"; other names are returned as they are.
const char* RenumberAnonymous(const char* name, uint32_t base, char* buffer, size_t size) {
    if (strncmp(name, kAnonymousPrefix, 3) != 0) return name;
    unsigned long n = strtoul(name + 3, nullptr, 10);
    snprintf(buffer, size, "@F_%u", static_cast<unsigned>(n + base));
    return buffer;
}

void AppendConstant(ScriptContext* context, const Value& value) {
    if (context->constantCount == context->constantCapacity) {
        uint32_t capacity = context->constantCapacity + kConstantGrowth;
        context->constants = static_cast<Value*>(
            ContextRealloc(context, context->constants, capacity * sizeof(Value)));
        context->constantCapacity = capacity;
    }
    context->constants[context->constantCount++] = value;
}

// UTF-16LE text of a section as a static String owned by the pool.
Value PoolString(ScriptContext* context, const uint8_t* bytes, uint32_t byteCount) {
    uint32_t units = byteCount / 2;
    char16_t* text = nullptr;
    if (units != 0) {
        text = static_cast<char16_t*>(ContextAlloc(context, units * sizeof(char16_t)));
        for (uint32_t i = 0; i < units; ++i) {
            text[i] = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
        }
    }
    // Allocating the record cannot collect, but it can fail: free the text
    // rather than leak it then.
    Value s;
    bool ok = CatchRaise(context, [&] { s = NewStaticString(context, text, units); });
    if (!ok) {
        ContextFree(text);
        RaiseError(context);
    }
    return s;
}

// A regular-expression constant, built by the context's RegExp class.
Value PoolRegExp(ScriptContext* context, uint8_t flags, const uint8_t* bytes, uint32_t byteCount) {
    // The constructor copies the pattern, so it is a collected temporary
    // rather than pool-owned text that no constant would ever release.
    uint32_t units = byteCount / 2;
    Value pattern = NewString(context, nullptr, units);
    for (uint32_t i = 0; i < units; ++i) {
        pattern.string->chars[i] = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    }
    Atom atom = InternAtom(context, "RegExp");
    const Value& regexp = context->atomValues[atom];
    if (regexp.tag != ValueTag::Native || regexp.native->klass->construct == nullptr) {
        return MakeNull();
    }
    char16_t letters[3];
    uint32_t n = 0;
    if (flags & 1) letters[n++] = u'g';
    if (flags & 2) letters[n++] = u'i';
    if (flags & 4) letters[n++] = u'm';
    Value args[3] = {MakeInteger(2), pattern, NewString(context, letters, n)};
    Value out = MakeNull();
    NativeClass* klass = regexp.native->klass;
    klass->construct(context, klass, args, &out);
    return out;
}

void LoadConstants(ScriptContext* context, const ImageSection* pool, uint32_t functionBase) {
    if (pool == nullptr) return;
    Reader r{context, pool->bytes, pool->size, 0};
    while (!r.AtEnd()) {
        uint8_t kind = r.U8();
        switch (kind) {
            case kConstInteger:
                AppendConstant(context, MakeInteger(static_cast<int64_t>(ReadU64BE(r.Take(8)))));
                break;
            case kConstFloat: {
                const uint8_t* p = r.Take(8);
                uint64_t bits = 0;
                for (int i = 7; i >= 0; --i) bits = (bits << 8) | p[i];
                double d;
                memcpy(&d, &bits, sizeof d);
                AppendConstant(context, MakeFloat(d));
                break;
            }
            case kConstString: {
                uint32_t n = r.U32();
                const uint8_t* text = r.Take(n);
                AppendConstant(context, PoolString(context, text, n));
                break;
            }
            case kConstRegExp: {
                uint8_t flags = r.U8();
                uint32_t n = r.U32();
                const uint8_t* text = r.Take(n);
                AppendConstant(context, PoolRegExp(context, flags, text, n));
                break;
            }
            case kConstName: {
                char buffer[32];
                const char* name =
                    RenumberAnonymous(r.CString(), functionBase, buffer, sizeof buffer);
                AppendConstant(context, MakeAtomRef(InternAtom(context, name)));
                break;
            }
            case kConstNull: AppendConstant(context, MakeNull()); break;
            case kConstNaN: AppendConstant(context, MakeNaN()); break;
            case kConstBoolean: AppendConstant(context, MakeBoolean(r.U8() != 0)); break;
            default: BadBytecode(context);
        }
    }
}

struct UnitEntry {
    const char* name;
    uint32_t offset;
};

// The most values a unit can push between two jumps or jump targets; the
// interpreter keeps that many slots in hand at every jump, so straight-line
// code never runs past the end of the value stack.
int32_t StraightLineReserve(const std::vector<uint32_t>& words, const std::vector<bool>& targets) {
    int32_t run = 0, most = 0;
    for (size_t w = 0; w < words.size();) {
        if (targets[w]) run = 0;
        int op = static_cast<int>(words[w]);
        bool hasOperand = OpcodeInfoOf(op).width != 0;
        int64_t operand =
            hasOperand && w + 1 < words.size() ? static_cast<int32_t>(words[w + 1]) : 0;
        if (op != OP_LOCALS) run += StackEffectOf(op, operand);
        if (run > most) most = run;
        if (IsJumpOpcode(op) || op == OP_RETURN || op == OP_THROW || op == OP_END) run = 0;
        w += hasOperand ? 2 : 1;
    }
    return most;
}

}  // namespace

CompiledFunction* LoadUnit(ScriptContext* context, const uint8_t* code, uint32_t length,
                           uint32_t constantBase, const uint8_t* lineTable, uint32_t lineLength,
                           uint32_t unitStart) {
    // The unit's bytes with END appended.
    std::vector<uint8_t> bytes(code, code + length);
    bytes.push_back(OP_END);

    std::vector<int32_t> wordAt(bytes.size(), -1);  // byte position -> word position
    std::vector<uint32_t> words;
    struct PendingJump {
        size_t operandWord;
        int64_t byteTarget;
    };
    std::vector<PendingJump> jumps;

    for (uint32_t pos = 0; pos < bytes.size();) {
        int op = bytes[pos];
        if (!IsOpcode(op)) {
            ++pos;  // not an instruction: skipped
            continue;
        }
        const OpcodeInfo& info = OpcodeInfoOf(op);
        if (pos + 1 + info.width > length && pos != length) {
            // An operand cut off by the end of the unit: the unit ends here.
            pos = length;
            continue;
        }
        wordAt[pos] = static_cast<int32_t>(words.size());
        words.push_back(static_cast<uint32_t>(op));
        const uint8_t* p = bytes.data() + pos + 1;
        uint32_t raw = 0;
        for (int i = 0; i < info.width; ++i) raw = (raw << 8) | p[i];
        switch (info.operand) {
            case OperandKind::None: break;
            case OperandKind::Name: {
                uint64_t k = uint64_t{raw} + constantBase;
                if (k >= context->constantCount || context->constants[k].tag != ValueTag::AtomRef) {
                    BadBytecode(context);
                }
                words.push_back(static_cast<uint32_t>(context->constants[k].atom));
                break;
            }
            case OperandKind::Constant: {
                uint64_t k = uint64_t{raw} + constantBase;
                if (k >= context->constantCount) BadBytecode(context);
                words.push_back(static_cast<uint32_t>(k));
                break;
            }
            case OperandKind::Jump:
                jumps.push_back({words.size(), int64_t{pos} + 5 + static_cast<int32_t>(raw)});
                words.push_back(0);
                break;
            case OperandKind::Signed8:
            case OperandKind::Unsigned8:
                words.push_back(
                    static_cast<uint32_t>(static_cast<int32_t>(static_cast<int8_t>(raw))));
                break;
            case OperandKind::Unsigned16:
                words.push_back(
                    static_cast<uint32_t>(static_cast<int32_t>(static_cast<int16_t>(raw))));
                break;
            case OperandKind::Signed32: words.push_back(raw); break;
        }
        pos += 1 + info.width;
    }

    std::vector<bool> targets(words.size(), false);
    for (const PendingJump& j : jumps) {
        if (j.byteTarget < 0 || j.byteTarget >= static_cast<int64_t>(bytes.size()) ||
            wordAt[j.byteTarget] < 0) {
            BadBytecode(context);
        }
        int32_t target = wordAt[j.byteTarget];
        words[j.operandWord] =
            static_cast<uint32_t>(target - static_cast<int32_t>(j.operandWord + 1));
        targets[target] = true;
    }

    if (!VerifyUnitStack(words)) BadBytecode(context);

    CompiledFunction* f = NewCompiledFunction(context);
    f->words = static_cast<uint32_t*>(ContextAlloc(context, words.size() * sizeof(uint32_t)));
    memcpy(f->words, words.data(), words.size() * sizeof(uint32_t));
    f->wordCount = static_cast<uint32_t>(words.size());
    RegisterCompiledFunction(context, f);
    int32_t reserve = StraightLineReserve(words, targets);
    if (reserve > context->stackReserve) context->stackReserve = reserve;
    FuseInstructions(f->words, f->wordCount);

    // Line records: the source name, then {offset, line} pairs in order.
    std::vector<LineEntry> lines;
    if (lineTable != nullptr) {
        Reader r{context, lineTable, lineLength, 0};
        while (!r.AtEnd()) {
            uint8_t kind = r.U8();
            if (kind == kLineSourceRecord) {
                uint32_t n = r.U32();
                const uint8_t* name = r.Take(n);
                ContextFree(f->sourceName);
                f->sourceName = nullptr;
                f->sourceName = static_cast<char*>(ContextAlloc(context, n + 1));
                memcpy(f->sourceName, name, n);
                f->sourceName[n] = '\0';
            } else if (kind == kLineRecord) {
                uint32_t offset = r.U32();
                uint32_t line = r.U32();
                if (offset > unitStart + length) break;
                if (offset >= unitStart && wordAt[offset - unitStart] >= 0) {
                    lines.push_back({static_cast<uint32_t>(wordAt[offset - unitStart]), line});
                }
            } else {
                BadBytecode(context);
            }
        }
    }
    if (f->sourceName == nullptr) f->sourceName = ContextStrDup(context, "unknown");
    if (!lines.empty()) {
        f->lines = static_cast<LineEntry*>(ContextAlloc(context, lines.size() * sizeof(LineEntry)));
        memcpy(f->lines, lines.data(), lines.size() * sizeof(LineEntry));
        f->lineCount = static_cast<uint32_t>(lines.size());
    }
    return f;
}

namespace {

void LoadAndRun(ScriptContext* context, SectionList* list) {
    if (!list->loaded) {
        list->constantBase = context->constantCount;
        list->functionBase = static_cast<uint32_t>(context->anonymousFunctionCount);
        LoadConstants(context, FindSection(list, kConstantSection), list->functionBase);
        list->loaded = true;
    }

    const ImageSection* code = FindSection(list, kCodeSection);
    const ImageSection* table = FindSection(list, kFunctionSection);
    const ImageSection* lines = FindSection(list, kLineSection);
    if (table == nullptr) return;
    uint32_t codeSize = code != nullptr ? code->size : 0;
    static const uint8_t kNoCode[1] = {0};
    const uint8_t* codeBytes = code != nullptr ? code->bytes : kNoCode;

    Reader r{context, table->bytes, table->size, 0};
    uint32_t count = r.U32();
    std::vector<UnitEntry> units;
    for (uint32_t i = 0; i < count; ++i) {
        const char* name = r.CString();
        uint32_t offset = r.U32();
        if (offset > codeSize) BadBytecode(context);
        units.push_back({name, offset});
    }

    CompiledFunction* main = nullptr;
    for (size_t i = 0; i < units.size(); ++i) {
        uint32_t start = units[i].offset;
        uint32_t end = i + 1 < units.size() ? units[i + 1].offset : codeSize;
        if (end < start) BadBytecode(context);
        CompiledFunction* f = LoadUnit(context, codeBytes + start, end - start, list->constantBase,
                                       lines != nullptr ? lines->bytes : nullptr,
                                       lines != nullptr ? lines->size : 0, start);
        const char* name = units[i].name;
        if (strcmp(name, ".main") == 0) {
            f->name = ContextStrDup(context, name);
            main = f;
            continue;
        }
        char buffer[32];
        if (strncmp(name, kAnonymousPrefix, 3) == 0) {
            name = RenumberAnonymous(name, list->functionBase, buffer, sizeof buffer);
            context->anonymousFunctionCount++;
        }
        f->name = ContextStrDup(context, name);
        Atom atom = InternAtom(context, name);
        context->atomValues[atom] = NewFunctionValue(context, f);
    }

    if (main != nullptr) Interpret(context, nullptr, main, 0, nullptr);
}

}  // namespace

int RunImage(ScriptContext* context, SectionList* list) {
    context->errorText[0] = '\0';
    context->result = MakeUndefined();
    if (list == nullptr) return 0;
    if (CatchRaise(context, [&] { LoadAndRun(context, list); })) return 1;
    // A failed run ends without its closing collection. Under a heap limit
    // its garbage would count against the next run until that run's first
    // checkpoint, so an outermost run collects it here (as a completed run
    // does: nothing outside the roots is held across a run).
    if (context->heap.limit != 0 && context->runDepth == 0) {
        CollectGarbage(context, nullptr, context->stackPointer);
    }
    return 0;
}

}  // namespace kelpo
