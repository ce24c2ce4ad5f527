// Searching with a RegExp and reading the class-wide match record.
//
// Every search resets the record, runs the expression on the text from the
// start position up to the first NUL after it, and stores the positions
// as absolute offsets into the last input. Readers re-check each pair
// against the input's current length, so a record never indexes outside
// its text even after the input was edited in place.
#include "corelib/regexp_class.h"

#include "corelib/callback_roots.h"
#include "corelib/text_buffer.h"
#include "runtime/array.h"
#include "runtime/convert.h"
#include "runtime/native.h"
#include "runtime/object.h"
#include "runtime/strings.h"

namespace kelpo {

void SetLastInput(RegExpClassData* cls, const Value& string) { cls->record.lastInput = string; }

void SetLastInputCopy(ScriptContext* context, RegExpClassData* cls, const Value& string) {
    cls->record.lastInput = NewString(context, UnitsOf(string), LengthOf(string));
}

bool RegExpSearch(RegExpClassData* cls, const RegExpData* re, uint32_t k) {
    MatchRecord& record = cls->record;
    record.groupCount = 0;
    const Value& input = record.lastInput;
    if (re->program == nullptr || input.tag != ValueTag::String) {
        for (int32_t& p : record.positions) p = -1;
        return false;
    }
    uint32_t length = input.string->length;
    if (k > length) k = length;
    const char16_t* text = input.string->chars == nullptr ? nullptr : input.string->chars + k;
    uint32_t visible = TerminatedLength(text, length - k);
    // A search the library abandons (too complex, out of backtracking
    // memory) counts as no match, like one that found nothing.
    if (RegexExecute(re->program, text, visible, record.positions, kRegMaxGroups) != kRegOk) {
        return false;
    }
    size_t groups = RegexGroupCount(re->program) + 1;
    record.groupCount = static_cast<int32_t>(groups < kRegMaxGroups ? groups : kRegMaxGroups);
    // Positions past the groups of this expression are all -1 already.
    for (int32_t i = 0; i < 2 * record.groupCount; ++i) {
        int32_t& p = record.positions[i];
        if (p >= 0) p += static_cast<int32_t>(k);
    }
    return true;
}

bool GroupTookPart(const RegExpClassData* cls, int g) {
    const MatchRecord& record = cls->record;
    if (g < 0 || g >= record.groupCount || record.lastInput.tag != ValueTag::String) return false;
    int32_t start = record.positions[2 * g];
    int32_t end = record.positions[2 * g + 1];
    return start >= 0 && end >= start &&
           static_cast<uint32_t>(end) <= record.lastInput.string->length;
}

Value GroupText(ScriptContext* context, const RegExpClassData* cls, int g) {
    if (!GroupTookPart(cls, g)) return MakeNull();
    const MatchRecord& record = cls->record;
    return SubString(context, record.lastInput, static_cast<uint32_t>(record.positions[2 * g]),
                     static_cast<uint32_t>(record.positions[2 * g + 1]));
}

int LastParenGroup(const RegExpClassData* cls) {
    for (int g = cls->record.groupCount - 1; g >= 1; --g) {
        if (GroupTookPart(cls, g)) return g;
    }
    return 0;
}

bool ReadMatchProperty(ScriptContext* context, RegExpClassData* cls, int name, Value* out) {
    const MatchRecord& record = cls->record;
    if (name >= kNameDollar1 && name < kNameDollar1 + 9) {
        *out = GroupText(context, cls, name - kNameDollar1 + 1);
        return true;
    }
    switch (name) {
        case kNameDollarInput:
        case kNameInput: *out = record.lastInput; return true;
        case kNameLastMatch: *out = GroupText(context, cls, 0); return true;
        case kNameLastParen: {
            if (!GroupTookPart(cls, 0)) {
                *out = MakeNull();
                return true;
            }
            int g = LastParenGroup(cls);
            *out = g != 0 ? GroupText(context, cls, g) : NewString(context, nullptr, 0);
            return true;
        }
        case kNameLeftContext:
            *out = GroupTookPart(cls, 0) ? SubString(context, record.lastInput, 0,
                                                     static_cast<uint32_t>(record.positions[0]))
                                         : MakeNull();
            return true;
        case kNameRightContext:
            *out = GroupTookPart(cls, 0) ? SubString(context, record.lastInput,
                                                     static_cast<uint32_t>(record.positions[1]),
                                                     record.lastInput.string->length)
                                         : MakeNull();
            return true;
        default: return false;
    }
}

Value RegExpExec(ScriptContext* context, RegExpClassData* cls, RegExpData* re, Value* args,
                 bool wantArray) {
    if (HasArg(args, 1)) {
        Value input = args[1];
        if (input.tag != ValueTag::String) {
            // toString of an object may run script code that collects; the
            // instance may be referenced only by this call.
            CallbackRoots roots(context);
            roots.Push(NativeValue(re->self));
            input = ToString(context, input);
        }
        SetLastInput(cls, input);
    } else if (cls->record.lastInput.tag != ValueTag::String) {
        // Never anything but a String or the initial Undefined: no script runs.
        SetLastInput(cls, ToString(context, cls->record.lastInput));
    }
    uint32_t length = cls->record.lastInput.string->length;
    uint32_t start = re->lastIndex < 0 ? 0 : static_cast<uint32_t>(re->lastIndex);
    if (start > length) start = length;
    bool global = (re->flags & kRegExpGlobal) != 0;
    if (!RegExpSearch(cls, re, start)) {
        if (global) re->lastIndex = 0;
        return wantArray ? MakeNull() : MakeBoolean(false);
    }
    if (global) re->lastIndex = cls->record.positions[1];
    if (!wantArray) return MakeBoolean(true);

    int32_t n = cls->record.groupCount;
    Value result = NewArray(context, static_cast<uint64_t>(n));
    for (int g = 0; g < n; ++g) {
        Value text = GroupTookPart(cls, g) ? GroupText(context, cls, g) : MakeUndefined();
        ArraySet(context, result, text, static_cast<uint64_t>(g));
    }
    ScriptObject* props = NewObject(context);  // no prototype of its own
    PutProperty(context, props, cls->index, MakeInteger(cls->record.positions[0]));
    PutProperty(context, props, cls->input, cls->record.lastInput);
    result.array->props = props;
    return result;
}

}  // namespace kelpo
