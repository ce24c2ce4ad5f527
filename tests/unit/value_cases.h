// Value tables for the conversion and operator tests: a literal form of a
// Value that a static table can hold (strings need a context to exist), and
// its comparison with a computed Value.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "runtime/strings.h"
#include "runtime/value.h"
#include "tests/unit/test_support.h"

namespace kelpo::test {

struct Lit {
    ValueTag tag;
    int64_t integer;  // Integer, Boolean, AtomRef
    double number;    // Float
    std::u16string text;
};

inline Lit Int(int64_t i) { return {ValueTag::Integer, i, 0.0, {}}; }
inline Lit Flt(double d) { return {ValueTag::Float, 0, d, {}}; }
inline Lit Str(std::u16string s) { return {ValueTag::String, 0, 0.0, std::move(s)}; }
inline Lit Bool(bool b) { return {ValueTag::Boolean, b ? 1 : 0, 0.0, {}}; }
inline Lit NaNLit() { return {ValueTag::NaN, 0, 0.0, {}}; }
inline Lit Undef() { return {ValueTag::Undefined, 0, 0.0, {}}; }
inline Lit Nul() { return {ValueTag::Null, 0, 0.0, {}}; }
// Any tag with an integer payload (AtomRef, the unassigned tags 8 and 9...).
inline Lit RawTag(int tag, int64_t payload = 0) {
    return {static_cast<ValueTag>(tag), payload, 0.0, {}};
}

inline Value Make(ScriptContext* context, const Lit& lit) {
    switch (lit.tag) {
        case ValueTag::Float: return MakeFloat(lit.number);
        case ValueTag::String:
            return NewString(context, lit.text.data(), static_cast<uint32_t>(lit.text.size()));
        case ValueTag::Boolean: return MakeBoolean(lit.integer != 0);
        default: {
            Value v;
            v.tag = lit.tag;
            v.bits = 0;
            v.integer = lit.integer;
            return v;
        }
    }
}

inline std::string Describe(const Value& v) {
    char text[64];
    switch (v.tag) {
        case ValueTag::Integer:
            snprintf(text, sizeof text, "Integer %lld", static_cast<long long>(v.integer));
            return text;
        case ValueTag::Float:
            snprintf(text, sizeof text, "Float %.17g (%a)", v.number, v.number);
            return text;
        case ValueTag::String: return "String \"" + Utf8(v) + "\"";
        case ValueTag::Boolean: return v.boolean ? "true" : "false";
        default: snprintf(text, sizeof text, "tag %d", static_cast<int>(v.tag)); return text;
    }
}

// Floats match bit for bit, so 0.0 and -0.0 differ.
inline ::testing::AssertionResult Matches(ScriptContext* context, const Lit& expected,
                                          const Value& actual) {
    Value want = Make(context, expected);
    bool same = actual.tag == want.tag;
    if (same) {
        switch (want.tag) {
            case ValueTag::Float:
                same = memcmp(&actual.number, &want.number, sizeof(double)) == 0 ||
                       (std::isnan(actual.number) && std::isnan(want.number));
                break;
            case ValueTag::String: same = CompareStrings(actual, want) == 0; break;
            case ValueTag::Boolean: same = (actual.boolean != 0) == (want.boolean != 0); break;
            case ValueTag::Integer:
            case ValueTag::AtomRef: same = actual.integer == want.integer; break;
            default: break;
        }
    }
    if (same) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "expected " << Describe(want) << ", got " << Describe(actual);
}

}  // namespace kelpo::test
