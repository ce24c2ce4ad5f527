// String methods that search: indexOf, lastIndexOf, match, replace, search
// and split. A RegExp argument hands the work to the RegExp class
// (regexp_string_ops.cpp); the text forms are here.
#include <cstdint>

#include "corelib/regexp_class.h"
#include "corelib/string_methods.h"
#include "corelib/text_buffer.h"
#include "runtime/array.h"
#include "runtime/convert.h"
#include "runtime/native.h"
#include "runtime/strings.h"

namespace kelpo {
namespace {

constexpr int64_t kDefaultSplitLimit = 0x7fffffff;

bool OccursAt(const char16_t* text, const char16_t* part, uint32_t partLength, int64_t p) {
    for (uint32_t i = 0; i < partLength; ++i) {
        if (text[p + i] != part[i]) return false;
    }
    return true;
}

// First position of `part` in the text as NUL-terminated copies of both
// would show them (each up to its first NUL), or -1.
int64_t FindTerminated(const Value& text, const Value& part) {
    uint32_t n = TerminatedLength(UnitsOf(text), LengthOf(text));
    uint32_t m = TerminatedLength(UnitsOf(part), LengthOf(part));
    for (int64_t p = 0; p + m <= n; ++p) {
        if (OccursAt(UnitsOf(text), UnitsOf(part), m, p)) return p;
    }
    return -1;
}

void Append(ScriptContext* context, Value* array, const Value& element) {
    uint64_t n = array->array->length;
    ArraySet(context, *array, element, n);
    array->array->length = n + 1;
}

Value SingleElementArray(ScriptContext* context, const Value& element) {
    Value array = NewArray(context, 0);
    Append(context, &array, element);
    return array;
}

}  // namespace

Value StringIndexOf(ScriptContext* context, const Value& self, Value* args) {
    if (!HasArg(args, 1)) return MakeInteger(-1);
    Value part = ToString(context, args[1]);
    int64_t from = HasArg(args, 2) && args[2].tag == ValueTag::Integer ? args[2].integer : 0;
    if (from < 0) return MakeInteger(-1);
    int64_t n = LengthOf(self);
    uint32_t m = LengthOf(part);
    for (int64_t p = from; p <= n - m; ++p) {
        if (OccursAt(UnitsOf(self), UnitsOf(part), m, p)) return MakeInteger(p);
    }
    return MakeInteger(-1);
}

Value StringLastIndexOf(ScriptContext* context, const Value& self, Value* args) {
    if (!HasArg(args, 1)) return MakeInteger(-1);
    Value part = ToString(context, args[1]);
    int64_t last = int64_t{LengthOf(self)} - LengthOf(part);
    int64_t from = HasArg(args, 2) && args[2].tag == ValueTag::Integer ? args[2].integer : last;
    if (from > last) from = last;
    for (int64_t p = from; p >= 0; --p) {
        if (OccursAt(UnitsOf(self), UnitsOf(part), LengthOf(part), p)) return MakeInteger(p);
    }
    return MakeInteger(-1);
}

Value StringMatch(ScriptContext* context, const Value& self, Value* args) {
    // The RegExp class object counts too: a RegExp without data gives Null.
    if (HasArg(args, 1) && RegExpClassOf(args[1]) != nullptr) {
        return RegExpStringMatch(context, self, args[1]);
    }
    return NewArray(context, 0);
}

Value StringReplace(ScriptContext* context, const Value& self, Value* args) {
    if (!HasArg(args, 2) || args[2].tag != ValueTag::String) return NewString(context, nullptr, 0);
    const Value& pattern = args[1];
    const Value& replacement = args[2];
    if (RegExpDataOf(pattern) != nullptr)
        return RegExpStringReplace(context, self, pattern, replacement);
    if (pattern.tag != ValueTag::String) return NewString(context, nullptr, 0);
    int64_t p = FindTerminated(self, pattern);
    if (p < 0) return NewString(context, UnitsOf(self), LengthOf(self));
    uint32_t skipped = TerminatedLength(UnitsOf(pattern), LengthOf(pattern));
    TextBuffer text(context);
    text.Append(UnitsOf(self), static_cast<size_t>(p));
    text.AppendString(replacement);
    text.Append(UnitsOf(self) + p + skipped, LengthOf(self) - p - skipped);
    return text.ToValue();
}

Value StringSearch(ScriptContext* context, const Value& self, Value* args) {
    if (!HasArg(args, 1)) return MakeInteger(-1);
    if (RegExpDataOf(args[1]) != nullptr) return RegExpStringSearch(context, self, args[1]);
    if (args[1].tag != ValueTag::String) return MakeInteger(-1);
    return MakeInteger(FindTerminated(self, args[1]));
}

Value StringSplit(ScriptContext* context, const Value& self, Value* args) {
    int64_t limit =
        HasArg(args, 2) && args[2].tag == ValueTag::Integer ? args[2].integer : kDefaultSplitLimit;
    if (!HasArg(args, 1)) return SingleElementArray(context, self);
    const Value& separator = args[1];
    if (RegExpDataOf(separator) != nullptr)
        return RegExpStringSplit(context, self, separator, limit);
    if (separator.tag != ValueTag::String) return SingleElementArray(context, self);

    Value result = NewArray(context, 0);
    int64_t n = LengthOf(self);
    uint32_t m = LengthOf(separator);
    if (m == 0) {
        for (int64_t i = 0; i < n && i < limit; ++i) {
            Append(
                context, &result,
                SubString(context, self, static_cast<uint32_t>(i), static_cast<uint32_t>(i + 1)));
        }
        return result;
    }
    int64_t count = 0;
    int64_t previous = 0;
    for (int64_t p = 0; count < limit && p + m <= n;) {
        if (OccursAt(UnitsOf(self), UnitsOf(separator), m, p)) {
            Append(context, &result,
                   SubString(context, self, static_cast<uint32_t>(previous),
                             static_cast<uint32_t>(p)));
            ++count;
            p += m;
            previous = p;
        } else {
            ++p;
        }
    }
    if (count < limit) {
        Append(context, &result,
               SubString(context, self, static_cast<uint32_t>(previous), static_cast<uint32_t>(n)));
    }
    return result;
}

}  // namespace kelpo
