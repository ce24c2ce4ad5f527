// The built-in objects scripts commonly use: Object and Array constructors
// and array methods, string methods, Math, the global conversion functions
// and the movie clip methods. Each is a native function in _global or in a
// prototype.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>

#include "player/core/display_list.h"
#include "player/core/interpreter.h"
#include "player/core/operators.h"
#include "player/core/targets.h"

namespace kelpo::player {

namespace {

int Version(Interpreter& in) { return in.player.version; }

Value Arg(std::vector<Value>& args, size_t i) { return i < args.size() ? args[i] : Undefined(); }

double NumberArg(Interpreter& in, std::vector<Value>& args, size_t i) {
    return ToNumber(Arg(args, i), Version(in));
}

std::string TextArg(Interpreter& in, std::vector<Value>& args, size_t i) {
    return ToString(Arg(args, i), Version(in));
}

Object* ArrayOf(const Value& self) {
    return self.type == ValueType::Object && self.object->isArray ? self.object : nullptr;
}

Value MakeObject(Interpreter& in, const Value&, std::vector<Value>&) {
    Object* o = NewObject(in.player);
    if (o) o->proto = in.player.objectPrototype;
    return ObjectValue(o);
}

Value MakeArray(Interpreter& in, const Value&, std::vector<Value>& args) {
    Object* array = NewArray(in.player);
    if (!array) return Undefined();
    if (args.size() == 1 && args[0].type == ValueType::Number) {
        double n = args[0].number;
        if (n >= 0 && n <= kMaxArrayLength) array->elements.resize(static_cast<size_t>(n));
    } else {
        array->elements = args;
    }
    return ObjectValue(array);
}

Value ArrayPush(Interpreter& in, const Value& self, std::vector<Value>& args) {
    Object* a = ArrayOf(self);
    if (!a) return Undefined();
    for (auto& v : args)
        if (a->elements.size() < kMaxArrayLength) a->elements.push_back(v);
    return Number(static_cast<double>(a->elements.size()));
}

Value ArrayPop(Interpreter&, const Value& self, std::vector<Value>&) {
    Object* a = ArrayOf(self);
    if (!a || a->elements.empty()) return Undefined();
    Value last = a->elements.back();
    a->elements.pop_back();
    return last;
}

Value ArrayShift(Interpreter&, const Value& self, std::vector<Value>&) {
    Object* a = ArrayOf(self);
    if (!a || a->elements.empty()) return Undefined();
    Value first = a->elements.front();
    a->elements.erase(a->elements.begin());
    return first;
}

Value ArrayUnshift(Interpreter&, const Value& self, std::vector<Value>& args) {
    Object* a = ArrayOf(self);
    if (!a) return Undefined();
    if (a->elements.size() + args.size() <= kMaxArrayLength)
        a->elements.insert(a->elements.begin(), args.begin(), args.end());
    return Number(static_cast<double>(a->elements.size()));
}

Value ArrayJoin(Interpreter& in, const Value& self, std::vector<Value>& args) {
    Object* a = ArrayOf(self);
    if (!a) return Undefined();
    std::string separator =
        args.empty() || args[0].type == ValueType::Undefined ? "," : TextArg(in, args, 0);
    std::string out;
    for (size_t i = 0; i < a->elements.size() && out.size() < kMaxStringLength; ++i) {
        if (i) out += separator;
        const Value& e = a->elements[i];
        out += e.type == ValueType::Object && e.object->isArray ? "" : ToString(e, Version(in));
    }
    return String(out);
}

Value ArrayReverse(Interpreter&, const Value& self, std::vector<Value>&) {
    if (Object* a = ArrayOf(self)) std::reverse(a->elements.begin(), a->elements.end());
    return self;
}

Value ArraySlice(Interpreter& in, const Value& self, std::vector<Value>& args) {
    Object* a = ArrayOf(self);
    Object* out = NewArray(in.player);
    if (!a || !out) return ObjectValue(out);
    double size = static_cast<double>(a->elements.size());
    auto clampIndex = [&](double n) {
        if (std::isnan(n)) return 0.0;
        n = std::trunc(n);
        return n < 0 ? std::fmax(0, size + n) : std::fmin(size, n);
    };
    double from = clampIndex(NumberArg(in, args, 0));
    double to = args.size() > 1 ? clampIndex(NumberArg(in, args, 1)) : size;
    for (double i = from; i < to; ++i) out->elements.push_back(a->elements[static_cast<size_t>(i)]);
    return ObjectValue(out);
}

Value ArrayConcat(Interpreter& in, const Value& self, std::vector<Value>& args) {
    Object* a = ArrayOf(self);
    Object* out = NewArray(in.player);
    if (!a || !out) return ObjectValue(out);
    out->elements = a->elements;
    for (auto& v : args) {
        if (Object* more = ArrayOf(v))
            out->elements.insert(out->elements.end(), more->elements.begin(), more->elements.end());
        else
            out->elements.push_back(v);
        if (out->elements.size() > kMaxArrayLength) out->elements.resize(kMaxArrayLength);
    }
    return ObjectValue(out);
}

std::string SelfText(Interpreter& in, const Value& self) { return ToString(self, Version(in)); }

Value StringCharAt(Interpreter& in, const Value& self, std::vector<Value>& args) {
    std::string s = SelfText(in, self);
    double i = NumberArg(in, args, 0);
    return String(i >= 0 && i < static_cast<double>(s.size()) ? s.substr(static_cast<size_t>(i), 1)
                                                              : "");
}

Value StringCharCodeAt(Interpreter& in, const Value& self, std::vector<Value>& args) {
    std::string s = SelfText(in, self);
    double i = NumberArg(in, args, 0);
    if (!(i >= 0 && i < static_cast<double>(s.size()))) return Number(NAN);
    return Number(static_cast<uint8_t>(s[static_cast<size_t>(i)]));
}

Value StringIndexOf(Interpreter& in, const Value& self, std::vector<Value>& args) {
    std::string s = SelfText(in, self);
    double from = args.size() > 1 ? NumberArg(in, args, 1) : 0;
    size_t start =
        from > 0 ? static_cast<size_t>(std::fmin(from, static_cast<double>(s.size()))) : 0;
    size_t at = s.find(TextArg(in, args, 0), start);
    return Number(at == std::string::npos ? -1 : static_cast<double>(at));
}

Value StringLastIndexOf(Interpreter& in, const Value& self, std::vector<Value>& args) {
    size_t at = SelfText(in, self).rfind(TextArg(in, args, 0));
    return Number(at == std::string::npos ? -1 : static_cast<double>(at));
}

Value StringSubstr(Interpreter& in, const Value& self, std::vector<Value>& args) {
    std::string s = SelfText(in, self);
    double size = static_cast<double>(s.size());
    double from = NumberArg(in, args, 0);
    if (std::isnan(from)) from = 0;
    if (from < 0) from = std::fmax(0, size + from);
    from = std::fmin(std::trunc(from), size);
    double count = args.size() > 1 ? NumberArg(in, args, 1) : size;
    if (std::isnan(count) || count < 0) count = 0;
    count = std::fmin(std::trunc(count), size - from);
    return String(s.substr(static_cast<size_t>(from), static_cast<size_t>(count)));
}

Value StringSubstring(Interpreter& in, const Value& self, std::vector<Value>& args) {
    std::string s = SelfText(in, self);
    double size = static_cast<double>(s.size());
    auto clampIndex = [&](double n) {
        return std::isnan(n) ? 0 : std::fmin(std::fmax(std::trunc(n), 0), size);
    };
    double a = clampIndex(NumberArg(in, args, 0));
    double b = args.size() > 1 ? clampIndex(NumberArg(in, args, 1)) : size;
    if (a > b) std::swap(a, b);
    return String(s.substr(static_cast<size_t>(a), static_cast<size_t>(b - a)));
}

Value StringUpper(Interpreter& in, const Value& self, std::vector<Value>&) {
    std::string s = SelfText(in, self);
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return String(s);
}

Value StringLower(Interpreter& in, const Value& self, std::vector<Value>&) {
    std::string s = SelfText(in, self);
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return String(s);
}

Value StringSplit(Interpreter& in, const Value& self, std::vector<Value>& args) {
    std::string s = SelfText(in, self);
    Object* out = NewArray(in.player);
    if (!out) return Undefined();
    if (args.empty() || args[0].type == ValueType::Undefined) {
        out->elements.push_back(String(s));
        return ObjectValue(out);
    }
    std::string separator = TextArg(in, args, 0);
    if (separator.empty()) {
        for (char c : s) out->elements.push_back(String(std::string(1, c)));
        return ObjectValue(out);
    }
    size_t start = 0;
    for (;;) {
        size_t at = s.find(separator, start);
        out->elements.push_back(
            String(s.substr(start, at == std::string::npos ? std::string::npos : at - start)));
        if (at == std::string::npos) break;
        start = at + separator.size();
    }
    return ObjectValue(out);
}

Value SelfToString(Interpreter& in, const Value& self, std::vector<Value>&) {
    return String(ToString(self, Version(in)));
}

#define MATH_UNARY(name, expression)                                      \
    Value name(Interpreter& in, const Value&, std::vector<Value>& args) { \
        double x = NumberArg(in, args, 0);                                \
        return Number(expression);                                        \
    }
MATH_UNARY(MathAbs, std::fabs(x))
MATH_UNARY(MathFloor, std::floor(x))
MATH_UNARY(MathCeil, std::ceil(x))
MATH_UNARY(MathRound, std::floor(x + 0.5))
MATH_UNARY(MathSqrt, std::sqrt(x))
MATH_UNARY(MathSin, std::sin(x))
MATH_UNARY(MathCos, std::cos(x))
MATH_UNARY(MathTan, std::tan(x))
MATH_UNARY(MathLog, std::log(x))
MATH_UNARY(MathExp, std::exp(x))
#undef MATH_UNARY

Value MathPow(Interpreter& in, const Value&, std::vector<Value>& args) {
    return Number(std::pow(NumberArg(in, args, 0), NumberArg(in, args, 1)));
}

Value MathAtan2(Interpreter& in, const Value&, std::vector<Value>& args) {
    return Number(std::atan2(NumberArg(in, args, 0), NumberArg(in, args, 1)));
}

Value MathMin(Interpreter& in, const Value&, std::vector<Value>& args) {
    return Number(std::fmin(NumberArg(in, args, 0), NumberArg(in, args, 1)));
}

Value MathMax(Interpreter& in, const Value&, std::vector<Value>& args) {
    return Number(std::fmax(NumberArg(in, args, 0), NumberArg(in, args, 1)));
}

Value MathRandom(Interpreter& in, const Value&, std::vector<Value>&) {
    uint64_t& s = in.player.randomState;
    s ^= s << 13;
    s ^= s >> 7;
    s ^= s << 17;
    return Number(static_cast<double>(s >> 11) / 9007199254740992.0);
}

Value GlobalParseInt(Interpreter& in, const Value&, std::vector<Value>& args) {
    std::string s = TextArg(in, args, 0);
    double radixArg = args.size() > 1 ? NumberArg(in, args, 1) : 10;
    int radix =
        std::isfinite(radixArg) && std::fabs(radixArg) < 100 ? static_cast<int>(radixArg) : 0;
    size_t i = 0;
    while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
    bool negative = i < s.size() && s[i] == '-';
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
    if ((radix == 16 || args.size() < 2) && i + 1 < s.size() && s[i] == '0' &&
        (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        radix = 16;
        i += 2;
    }
    if (radix < 2 || radix > 36) return Number(NAN);
    double value = 0;
    bool any = false;
    for (; i < s.size(); ++i) {
        int c = std::tolower(static_cast<unsigned char>(s[i]));
        int digit = std::isdigit(c) ? c - '0' : (c >= 'a' && c <= 'z') ? c - 'a' + 10 : 99;
        if (digit >= radix) break;
        value = value * radix + digit;
        any = true;
    }
    return Number(any ? (negative ? -value : value) : NAN);
}

Value GlobalParseFloat(Interpreter& in, const Value&, std::vector<Value>& args) {
    std::string s = TextArg(in, args, 0);
    const char* begin = s.c_str();
    while (std::isspace(static_cast<unsigned char>(*begin))) ++begin;
    size_t n = 0;
    while (begin[n] && std::strchr("+-.0123456789eE", begin[n])) ++n;
    std::string digits(begin, n);
    while (!digits.empty()) {
        double v = StringToNumber(digits, 7);
        if (!std::isnan(v)) return Number(v);
        digits.pop_back();
    }
    return Number(NAN);
}

Value GlobalIsNaN(Interpreter& in, const Value&, std::vector<Value>& args) {
    return Bool(std::isnan(NumberArg(in, args, 0)));
}

Value GlobalNumber(Interpreter& in, const Value&, std::vector<Value>& args) {
    return Number(NumberArg(in, args, 0));
}

Value GlobalString(Interpreter& in, const Value&, std::vector<Value>& args) {
    return String(TextArg(in, args, 0));
}

Value GlobalBoolean(Interpreter& in, const Value&, std::vector<Value>& args) {
    return Bool(ToBoolean(Arg(args, 0), Version(in)));
}

Value GlobalGetTimer(Interpreter& in, const Value&, std::vector<Value>&) {
    return Number(std::floor(ElapsedMilliseconds(in.player)));
}

Instance* SelfClip(Interpreter& in, const Value& self) { return ClipOf(in.player, self); }

int FrameArg(Interpreter& in, Instance& clip, std::vector<Value>& args) {
    Value v = Arg(args, 0);
    if (v.type == ValueType::String) {
        double n = StringToNumber(v.text, 7);
        if (std::isnan(n)) return FindLabel(clip, v.text);
        return static_cast<int>(std::fmax(-1e9, std::fmin(1e9, n))) - 1;
    }
    double n = ToNumber(v, Version(in));
    return std::isfinite(n) ? static_cast<int>(std::fmax(-1e9, std::fmin(1e9, n))) - 1 : -1;
}

void ClipGoto(Interpreter& in, const Value& self, std::vector<Value>& args, bool play) {
    Instance* clip = SelfClip(in, self);
    if (!clip) return;
    int frame = FrameArg(in, *clip, args);
    if (frame < 0) return;
    in.steps += GotoFrameOf(in.player, *clip, frame);
    clip->playing = play;
}

Value ClipGotoAndPlay(Interpreter& in, const Value& self, std::vector<Value>& args) {
    ClipGoto(in, self, args, true);
    return Undefined();
}

Value ClipGotoAndStop(Interpreter& in, const Value& self, std::vector<Value>& args) {
    ClipGoto(in, self, args, false);
    return Undefined();
}

Value ClipPlay(Interpreter& in, const Value& self, std::vector<Value>&) {
    if (Instance* clip = SelfClip(in, self)) clip->playing = true;
    return Undefined();
}

Value ClipStop(Interpreter& in, const Value& self, std::vector<Value>&) {
    if (Instance* clip = SelfClip(in, self)) clip->playing = false;
    return Undefined();
}

Value ClipNextFrame(Interpreter& in, const Value& self, std::vector<Value>&) {
    if (Instance* clip = SelfClip(in, self)) {
        in.steps += GotoFrameOf(in.player, *clip, clip->frame + 1);
        clip->playing = false;
    }
    return Undefined();
}

Value ClipPrevFrame(Interpreter& in, const Value& self, std::vector<Value>&) {
    if (Instance* clip = SelfClip(in, self)) {
        in.steps += GotoFrameOf(in.player, *clip, clip->frame - 1);
        clip->playing = false;
    }
    return Undefined();
}

Value ClipDuplicate(Interpreter& in, const Value& self, std::vector<Value>& args) {
    Instance* clip = SelfClip(in, self);
    double depth = NumberArg(in, args, 1);
    if (!clip || !std::isfinite(depth) || std::fabs(depth) > 1e7) return Undefined();
    Instance* copy = DuplicateClip(in.player, *clip, TextArg(in, args, 0), static_cast<int>(depth));
    return copy ? ClipValue(DotPath(*copy)) : Undefined();
}

Value ClipRemove(Interpreter& in, const Value& self, std::vector<Value>&) {
    Instance* clip = SelfClip(in, self);
    if (clip && clip->dynamic) RemoveInstance(in.player, *clip);
    return Undefined();
}

Value ClipBytes(Interpreter& in, const Value& self, std::vector<Value>&) {
    Instance* clip = SelfClip(in, self);
    return Number(clip && clip->movie && clip->movie->bytes
                      ? static_cast<double>(clip->movie->bytes->size())
                      : 0);
}

void Method(Player& player, Object* holder, const char* name, NativeFunction native) {
    Object* fn = NewObject(player);
    if (!fn || !holder) return;
    fn->className = "Function";
    fn->native = native;
    holder->members[name] = ObjectValue(fn);
}

}  // namespace

void InstallBuiltins(Player& player) {
    player.global = NewObject(player);
    player.objectPrototype = NewObject(player);
    player.arrayPrototype = NewObject(player);
    player.functionPrototype = NewObject(player);
    player.stringPrototype = NewObject(player);
    player.clipPrototype = NewObject(player);
    Object* global = player.global;

    Method(player, global, "Object", MakeObject);
    Method(player, global, "Array", MakeArray);
    Method(player, global, "parseInt", GlobalParseInt);
    Method(player, global, "parseFloat", GlobalParseFloat);
    Method(player, global, "isNaN", GlobalIsNaN);
    Method(player, global, "Number", GlobalNumber);
    Method(player, global, "String", GlobalString);
    Method(player, global, "Boolean", GlobalBoolean);
    Method(player, global, "getTimer", GlobalGetTimer);
    global->members["NaN"] = Number(NAN);
    global->members["Infinity"] = Number(INFINITY);
    if (Value* object = &global->members["Object"]; object->type == ValueType::Object)
        object->object->members["prototype"] = ObjectValue(player.objectPrototype);
    if (Value* array = &global->members["Array"]; array->type == ValueType::Object)
        array->object->members["prototype"] = ObjectValue(player.arrayPrototype);

    Method(player, player.objectPrototype, "toString", SelfToString);
    if (player.arrayPrototype) player.arrayPrototype->proto = player.objectPrototype;
    Method(player, player.arrayPrototype, "push", ArrayPush);
    Method(player, player.arrayPrototype, "pop", ArrayPop);
    Method(player, player.arrayPrototype, "shift", ArrayShift);
    Method(player, player.arrayPrototype, "unshift", ArrayUnshift);
    Method(player, player.arrayPrototype, "join", ArrayJoin);
    Method(player, player.arrayPrototype, "reverse", ArrayReverse);
    Method(player, player.arrayPrototype, "slice", ArraySlice);
    Method(player, player.arrayPrototype, "concat", ArrayConcat);
    Method(player, player.arrayPrototype, "toString", ArrayJoin);

    Method(player, player.stringPrototype, "charAt", StringCharAt);
    Method(player, player.stringPrototype, "charCodeAt", StringCharCodeAt);
    Method(player, player.stringPrototype, "indexOf", StringIndexOf);
    Method(player, player.stringPrototype, "lastIndexOf", StringLastIndexOf);
    Method(player, player.stringPrototype, "substr", StringSubstr);
    Method(player, player.stringPrototype, "substring", StringSubstring);
    Method(player, player.stringPrototype, "slice", StringSubstring);
    Method(player, player.stringPrototype, "toUpperCase", StringUpper);
    Method(player, player.stringPrototype, "toLowerCase", StringLower);
    Method(player, player.stringPrototype, "split", StringSplit);
    Method(player, player.stringPrototype, "toString", SelfToString);

    Object* math = NewObject(player);
    if (math) {
        global->members["Math"] = ObjectValue(math);
        math->members["PI"] = Number(3.14159265358979323846);
        Method(player, math, "abs", MathAbs);
        Method(player, math, "floor", MathFloor);
        Method(player, math, "ceil", MathCeil);
        Method(player, math, "round", MathRound);
        Method(player, math, "sqrt", MathSqrt);
        Method(player, math, "sin", MathSin);
        Method(player, math, "cos", MathCos);
        Method(player, math, "tan", MathTan);
        Method(player, math, "log", MathLog);
        Method(player, math, "exp", MathExp);
        Method(player, math, "pow", MathPow);
        Method(player, math, "atan2", MathAtan2);
        Method(player, math, "min", MathMin);
        Method(player, math, "max", MathMax);
        Method(player, math, "random", MathRandom);
    }

    Object* clip = player.clipPrototype;
    Method(player, clip, "gotoAndPlay", ClipGotoAndPlay);
    Method(player, clip, "gotoAndStop", ClipGotoAndStop);
    Method(player, clip, "play", ClipPlay);
    Method(player, clip, "stop", ClipStop);
    Method(player, clip, "nextFrame", ClipNextFrame);
    Method(player, clip, "prevFrame", ClipPrevFrame);
    Method(player, clip, "duplicateMovieClip", ClipDuplicate);
    Method(player, clip, "removeMovieClip", ClipRemove);
    Method(player, clip, "getBytesLoaded", ClipBytes);
    Method(player, clip, "getBytesTotal", ClipBytes);
}

}  // namespace kelpo::player
