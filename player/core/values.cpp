// Value constructors and the movie language's conversions.
#include "player/core/values.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace kelpo::player {

Value Undefined() { return Value(); }

Value Null() {
    Value v;
    v.type = ValueType::Null;
    return v;
}

Value Bool(bool b) {
    Value v;
    v.type = ValueType::Boolean;
    v.boolean = b;
    return v;
}

Value Number(double n) {
    Value v;
    v.type = ValueType::Number;
    v.number = n;
    return v;
}

Value String(std::string s) {
    Value v;
    v.type = ValueType::String;
    if (s.size() > kMaxStringLength) s.resize(kMaxStringLength);
    v.text = std::move(s);
    return v;
}

Value ObjectValue(Object* o) {
    if (!o) return Undefined();
    Value v;
    v.type = ValueType::Object;
    v.object = o;
    return v;
}

Value ClipValue(std::string path) {
    Value v;
    v.type = ValueType::Clip;
    v.text = std::move(path);
    return v;
}

bool NameLess::operator()(const std::string& l, const std::string& r) const {
    if (caseSensitive) return l < r;
    size_t n = std::min(l.size(), r.size());
    for (size_t i = 0; i < n; ++i) {
        int a = std::tolower(static_cast<unsigned char>(l[i]));
        int b = std::tolower(static_cast<unsigned char>(r[i]));
        if (a != b) return a < b;
    }
    return l.size() < r.size();
}

bool SameName(const std::string& l, const std::string& r, bool caseSensitive) {
    NameLess less{caseSensitive};
    return !less(l, r) && !less(r, l);
}

std::string NumberToString(double n) {
    if (std::isnan(n)) return "NaN";
    if (std::isinf(n)) return n > 0 ? "Infinity" : "-Infinity";
    if (n == 0) return "0";
    char text[40];
    std::snprintf(text, sizeof text, "%.15g", n);
    return text;
}

double StringToNumber(const std::string& text, int version) {
    size_t start = 0, end = text.size();
    while (start < end && std::isspace(static_cast<unsigned char>(text[start]))) ++start;
    while (end > start && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
    if (start == end) return version >= 7 ? NAN : 0;
    std::string body = text.substr(start, end - start);
    if (body.size() > 2 && body[0] == '0' && (body[1] == 'x' || body[1] == 'X')) {
        char* stop = nullptr;
        unsigned long long value = std::strtoull(body.c_str() + 2, &stop, 16);
        return *stop == 0 ? static_cast<double>(value) : NAN;
    }
    if (body == "Infinity" || body == "+Infinity") return INFINITY;
    if (body == "-Infinity") return -INFINITY;
    // strtod also reads "inf", "nan" and hex floats, which the language does not.
    for (char c : body)
        if (!std::isdigit(static_cast<unsigned char>(c)) && !std::strchr("+-.eE", c)) return NAN;
    char* stop = nullptr;
    double value = std::strtod(body.c_str(), &stop);
    return *stop == 0 ? value : NAN;
}

bool ToBoolean(const Value& v, int version) {
    switch (v.type) {
        case ValueType::Undefined:
        case ValueType::Null: return false;
        case ValueType::Boolean: return v.boolean;
        case ValueType::Number: return v.number != 0 && !std::isnan(v.number);
        case ValueType::String:
            // Before version 7 a string is true when it reads as a non-zero number.
            if (version >= 7) return !v.text.empty();
            {
                double n = StringToNumber(v.text, version);
                return n != 0 && !std::isnan(n);
            }
        case ValueType::Object:
        case ValueType::Clip: return true;
    }
    return false;
}

double ToNumber(const Value& v, int version) {
    switch (v.type) {
        case ValueType::Undefined: return version >= 7 ? NAN : 0;
        case ValueType::Null: return version >= 7 ? NAN : 0;
        case ValueType::Boolean: return v.boolean ? 1 : 0;
        case ValueType::Number: return v.number;
        case ValueType::String: return StringToNumber(v.text, version);
        case ValueType::Object:
        case ValueType::Clip: return NAN;
    }
    return NAN;
}

std::string ToString(const Value& v, int version) {
    switch (v.type) {
        case ValueType::Undefined: return version >= 7 ? "undefined" : "";
        case ValueType::Null: return "null";
        case ValueType::Boolean: return v.boolean ? "true" : "false";
        case ValueType::Number: return NumberToString(v.number);
        case ValueType::String:
        case ValueType::Clip: return v.text;
        case ValueType::Object: {
            const Object* o = v.object;
            if (o->isArray) {
                std::string joined;
                for (size_t i = 0; i < o->elements.size(); ++i) {
                    if (i) joined += ',';
                    // Nested arrays are not expanded again: cycles must end.
                    const Value& e = o->elements[i];
                    joined += e.type == ValueType::Object
                                  ? (e.object->isArray ? "" : "[object Object]")
                                  : ToString(e, version);
                    if (joined.size() > kMaxStringLength) break;
                }
                return joined;
            }
            if (o->function || o->native) return "[type Function]";
            return "[object Object]";
        }
    }
    return "";
}

long ArrayIndex(const std::string& name) {
    if (name.empty() || name.size() > 9) return -1;
    for (char c : name)
        if (c < '0' || c > '9') return -1;
    if (name.size() > 1 && name[0] == '0') return -1;
    return std::strtol(name.c_str(), nullptr, 10);
}

}  // namespace kelpo::player
