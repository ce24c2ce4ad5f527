// Value operators; see operators.h.
#include "player/core/operators.h"

#include <cmath>

namespace kelpo::player {

namespace {

bool IsStringLike(const Value& v) {
    return v.type == ValueType::String || v.type == ValueType::Object || v.type == ValueType::Clip;
}

}  // namespace

Value AddValues(const Value& l, const Value& r, int version) {
    if (IsStringLike(l) || IsStringLike(r))
        return String(ToString(l, version) + ToString(r, version));
    return Number(ToNumber(l, version) + ToNumber(r, version));
}

Value LessThan(const Value& l, const Value& r, int version) {
    if (l.type == ValueType::String && r.type == ValueType::String) return Bool(l.text < r.text);
    double a = ToNumber(l, version), b = ToNumber(r, version);
    if (std::isnan(a) || std::isnan(b)) return Undefined();
    return Bool(a < b);
}

bool StrictEquals(const Value& l, const Value& r) {
    if (l.type != r.type) return false;
    switch (l.type) {
        case ValueType::Undefined:
        case ValueType::Null: return true;
        case ValueType::Boolean: return l.boolean == r.boolean;
        case ValueType::Number: return l.number == r.number;
        case ValueType::String:
        case ValueType::Clip: return l.text == r.text;
        case ValueType::Object: return l.object == r.object;
    }
    return false;
}

bool LooseEquals(const Value& l, const Value& r, int version) {
    if (l.type == r.type) return StrictEquals(l, r);
    auto nullish = [](const Value& v) {
        return v.type == ValueType::Undefined || v.type == ValueType::Null;
    };
    if (nullish(l) || nullish(r)) return nullish(l) && nullish(r);
    if (l.type == ValueType::Object || r.type == ValueType::Object || l.type == ValueType::Clip ||
        r.type == ValueType::Clip) {
        // An object against a primitive compares through its text.
        const Value& other = l.type == ValueType::Object || l.type == ValueType::Clip ? r : l;
        const Value& object = &other == &l ? r : l;
        if (other.type == ValueType::Object || other.type == ValueType::Clip) return false;
        if (other.type == ValueType::String) return ToString(object, version) == other.text;
        return false;
    }
    return ToNumber(l, version) == ToNumber(r, version);
}

int32_t ToInt32(double n) {
    if (!std::isfinite(n)) return 0;
    double t = std::trunc(n);
    double m = std::fmod(t, 4294967296.0);
    if (m < 0) m += 4294967296.0;
    return static_cast<int32_t>(static_cast<uint32_t>(m));
}

std::string TypeName(const Value& v) {
    switch (v.type) {
        case ValueType::Undefined: return "undefined";
        case ValueType::Null: return "null";
        case ValueType::Boolean: return "boolean";
        case ValueType::Number: return "number";
        case ValueType::String: return "string";
        case ValueType::Clip: return "movieclip";
        case ValueType::Object:
            return v.object->function || v.object->native ? "function" : "object";
    }
    return "undefined";
}

std::string CharacterFromCode(uint32_t code) {
    std::string out;
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | code >> 6);
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | code >> 12);
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        code = std::min<uint32_t>(code, 0x10FFFF);
        out += static_cast<char>(0xF0 | code >> 18);
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
    return out;
}

uint32_t FirstCharacterCode(const std::string& text) {
    if (text.empty()) return 0;
    auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
    uint8_t first = byte(0);
    int extra = first >= 0xF0 ? 3 : first >= 0xE0 ? 2 : first >= 0xC0 ? 1 : 0;
    if (extra == 0 || text.size() <= static_cast<size_t>(extra)) return first;
    uint32_t code = first & (0x3F >> extra);
    for (int i = 1; i <= extra; ++i) {
        if ((byte(static_cast<size_t>(i)) & 0xC0) != 0x80) return first;
        code = code << 6 | (byte(static_cast<size_t>(i)) & 0x3F);
    }
    return code;
}

}  // namespace kelpo::player
