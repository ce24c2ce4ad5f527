// The String methods match, search, replace and split with a RegExp.
//
// Each works on a copy of the string made the class's last input, so the
// match record stays valid whatever the script later does to the original.
// Every loop advances by at least one code unit per turn and no search
// starts beyond the end of the text, so each terminates.
#include "corelib/regexp_class.h"

#include "corelib/text_buffer.h"
#include "runtime/array.h"
#include "runtime/strings.h"

namespace kelpo {
namespace {

uint32_t ClampedLastIndex(const RegExpData* re, uint32_t length) {
    if (re->lastIndex < 0) return 0;
    uint32_t i = static_cast<uint32_t>(re->lastIndex);
    return i < length ? i : length;
}

void AppendGroup(TextBuffer* out, const RegExpClassData* cls, int g) {
    if (!GroupTookPart(cls, g)) return;
    const Value& input = cls->record.lastInput;
    int32_t start = cls->record.positions[2 * g];
    int32_t end = cls->record.positions[2 * g + 1];
    out->Append(input.string->chars + start, static_cast<size_t>(end - start));
}

// Appends the replacement text with its "$" patterns expanded for the match
// (start, end) found in a search that began at `from`.
void AppendReplacement(TextBuffer* out, const RegExpClassData* cls, const Value& replacement,
                       uint32_t from, uint32_t start, uint32_t end) {
    const char16_t* text = cls->record.lastInput.string->chars;
    uint32_t length = cls->record.lastInput.string->length;
    const char16_t* r = UnitsOf(replacement);
    uint32_t n = LengthOf(replacement);
    for (uint32_t i = 0; i < n; ++i) {
        char16_t c = r[i];
        if (c != u'$' || i + 1 == n) {
            out->Append(c);
            continue;
        }
        char16_t d = r[i + 1];
        switch (d) {
            case u'$': out->Append(u'$'); break;
            case u'&': out->Append(text + start, end - start); break;
            case u'`': out->Append(text + from, start - from); break;
            case u'\'': out->Append(text + end, length - end); break;
            case u'+': AppendGroup(out, cls, LastParenGroup(cls)); break;
            default:
                if (d >= u'1' && d <= u'9') {
                    AppendGroup(out, cls, d - u'0');
                    break;
                }
                out->Append(u'$');  // any other '$' sequence stays as it is
                continue;
        }
        ++i;
    }
}

}  // namespace

Value RegExpStringMatch(ScriptContext* context, const Value& s, const Value& reValue) {
    RegExpData* re = RegExpDataOf(reValue);
    RegExpClassData* cls = RegExpClassOf(reValue);
    if (re == nullptr || cls == nullptr) return MakeNull();
    SetLastInputCopy(context, cls, s);
    if ((re->flags & kRegExpGlobal) == 0) {
        Value noArguments = MakeInteger(0);
        return RegExpExec(context, cls, re, &noArguments, true);
    }
    Value result = NewArray(context, 0);
    uint64_t count = 0;
    uint32_t length = cls->record.lastInput.string->length;
    re->lastIndex = 0;
    for (;;) {
        // An empty match at the end moves lastIndex past it: stop there
        // instead of searching again from the end.
        if (static_cast<uint32_t>(re->lastIndex) > length) {
            re->lastIndex = 0;
            break;
        }
        int32_t before = re->lastIndex;
        if (!RegExpSearch(cls, re, static_cast<uint32_t>(before))) {
            re->lastIndex = 0;
            break;
        }
        re->lastIndex = cls->record.positions[1];
        ArraySet(context, result, GroupText(context, cls, 0), count++);
        result.array->length = count;
        if (re->lastIndex == before) re->lastIndex++;
    }
    return result;
}

Value RegExpStringSearch(ScriptContext* context, const Value& s, const Value& reValue) {
    RegExpData* re = RegExpDataOf(reValue);
    RegExpClassData* cls = RegExpClassOf(reValue);
    SetLastInputCopy(context, cls, s);
    bool found = RegExpSearch(cls, re, ClampedLastIndex(re, LengthOf(s)));
    if (re->flags & kRegExpGlobal) re->lastIndex = found ? cls->record.positions[1] : 0;
    return MakeInteger(found ? cls->record.positions[0] : -1);
}

Value RegExpStringReplace(ScriptContext* context, const Value& s, const Value& reValue,
                          const Value& replacement) {
    RegExpData* re = RegExpDataOf(reValue);
    RegExpClassData* cls = RegExpClassOf(reValue);
    SetLastInputCopy(context, cls, s);
    bool global = (re->flags & kRegExpGlobal) != 0;
    TextBuffer out(context);
    uint32_t length = LengthOf(s);
    uint32_t position = 0;
    if (!global) {
        position = ClampedLastIndex(re, length);
        out.Append(cls->record.lastInput.string->chars, position);
    }
    while (position < length && RegExpSearch(cls, re, position)) {
        const char16_t* text = cls->record.lastInput.string->chars;
        uint32_t start = static_cast<uint32_t>(cls->record.positions[0]);
        uint32_t end = static_cast<uint32_t>(cls->record.positions[1]);
        out.Append(text + position, start - position);
        AppendReplacement(&out, cls, replacement, position, start, end);
        if (end == start) {
            // An empty match keeps the unit under it and moves one further.
            if (start < length) out.Append(text[start]);
            position = start + 1;
        } else {
            position = end;
        }
        if (!global) break;
    }
    if (position < length)
        out.Append(cls->record.lastInput.string->chars + position, length - position);
    if (global) re->lastIndex = 0;
    return out.ToValue();
}

Value RegExpStringSplit(ScriptContext* context, const Value& s, const Value& reValue,
                        int64_t limit) {
    RegExpData* re = RegExpDataOf(reValue);
    RegExpClassData* cls = RegExpClassOf(reValue);
    Value result = NewArray(context, 0);
    if (limit <= 0) return result;
    SetLastInputCopy(context, cls, s);
    const Value& input = cls->record.lastInput;
    uint32_t length = LengthOf(input);
    uint64_t count = 0;
    uint32_t previousEnd = 0;
    uint64_t next = 0;
    auto append = [&](uint32_t from, uint32_t to) {
        ArraySet(context, result, SubString(context, input, from, to), count++);
        result.array->length = count;
    };
    while (next <= length && count < static_cast<uint64_t>(limit) &&
           RegExpSearch(cls, re, static_cast<uint32_t>(next))) {
        uint32_t start = static_cast<uint32_t>(cls->record.positions[0]);
        uint32_t end = static_cast<uint32_t>(cls->record.positions[1]);
        append(previousEnd, start);
        previousEnd = end;
        next = end == start ? uint64_t{end} + 1 : end;
    }
    if (count < static_cast<uint64_t>(limit)) append(previousEnd, length);
    return result;
}

}  // namespace kelpo
