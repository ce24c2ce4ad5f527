// The Math object: a class object with the numeric functions as methods and
// the constants as read-only properties, plus the random generator.
//
// Arguments go through ToNumber; Integers become doubles. A missing argument
// or one that is not a number gives NaN, and so does a function whose
// result is not a number (Math.sqrt(-1)): the language keeps not-a-number
// in its own tag, never in a Float.
//
// Math.random is the 48-bit linear congruential generator of the drand48
// family, seeded once per context at registration from the time in seconds.
#include "corelib/classes.h"

#include <cmath>
#include <ctime>

#include "runtime/class_kit.h"
#include "runtime/convert.h"

namespace kelpo {
namespace {

using Unary = double (*)(double);

struct MathFunction {
    const char* name;
    Unary unary;  // null for the members handled by name
    const char* text;
};

double Abs(double x) { return std::fabs(x); }
double Acos(double x) { return std::acos(x); }
double Asin(double x) { return std::asin(x); }
double Atan(double x) { return std::atan(x); }
double Ceil(double x) { return std::ceil(x); }
double Cos(double x) { return std::cos(x); }
double Exp(double x) { return std::exp(x); }
double Floor(double x) { return std::floor(x); }
double Log(double x) { return std::log(x); }
double Sin(double x) { return std::sin(x); }
double Sqrt(double x) { return std::sqrt(x); }
double Tan(double x) { return std::tan(x); }

enum Method {
    kAbs,
    kAcos,
    kAsin,
    kAtan,
    kAtan2,
    kCeil,
    kCos,
    kExp,
    kFloor,
    kLog,
    kMax,
    kMin,
    kPow,
    kRandom,
    kRound,
    kSin,
    kSqrt,
    kTan,
    kMethodCount
};

const MathFunction kFunctions[kMethodCount] = {
    {"abs", Abs, "abs(x) -> Float: the absolute value (a Float for an Integer too)"},
    {"acos", Acos, "acos(x) -> Float: the arc cosine in radians"},
    {"asin", Asin, "asin(x) -> Float: the arc sine in radians"},
    {"atan", Atan, "atan(x) -> Float: the arc tangent in radians"},
    {"atan2", nullptr, "atan2(y, x) -> Float: the angle of the point (x, y) in radians"},
    {"ceil", Ceil, "ceil(x) -> Float: the smallest whole number not below x"},
    {"cos", Cos, "cos(x) -> Float: the cosine of x radians"},
    {"exp", Exp, "exp(x) -> Float: e to the power x"},
    {"floor", Floor, "floor(x) -> Float: the largest whole number not above x"},
    {"log", Log, "log(x) -> Float: the natural logarithm"},
    {"max", nullptr, "max(x, ...) -> Float: the largest argument; NaN without one or for any NaN"},
    {"min", nullptr, "min(x, ...) -> Float: the smallest argument; NaN without one or for any NaN"},
    {"pow", nullptr,
     "pow(x, y) -> Number: x to the power y; an Integer (truncated) when both are Integers and "
     "the result is below 2^53"},
    {"random", nullptr, "random() -> Float: the next pseudo-random number, 0 <= r < 1"},
    {"round", nullptr, "round(x) -> Integer: floor(x + 0.5); an infinity stays a Float"},
    {"sin", Sin, "sin(x) -> Float: the sine of x radians"},
    {"sqrt", Sqrt, "sqrt(x) -> Float: the square root"},
    {"tan", Tan, "tan(x) -> Float: the tangent of x radians"},
};

struct MathConstant {
    const char* name;
    double value;
    const char* text;
};

const MathConstant kConstants[] = {
    {"E", 2.718281828459045, "Float, read-only: e, 2.718281828459045"},
    {"LN10", 2.302585092994046, "Float, read-only: the natural logarithm of 10"},
    {"LN2", 0.6931471805599453, "Float, read-only: the natural logarithm of 2"},
    {"LOG10E", 0.4342944819032518, "Float, read-only: the base-10 logarithm of e"},
    {"LOG2E", 1.4426950408889634, "Float, read-only: the base-2 logarithm of e"},
    {"PI", 3.141592653589793, "Float, read-only: pi, 3.141592653589793"},
    {"SQRT1_2", 0.7071067811865476, "Float, read-only: the square root of 1/2"},
    {"SQRT2", 1.4142135623730951, "Float, read-only: the square root of 2"},
};

struct MathData {
    uint64_t randomState;  // 48 bits
};

constexpr uint64_t kRandomMask = (uint64_t{1} << 48) - 1;

// The argument k as a double; false when it is missing or not a number.
bool NumberOperand(ScriptContext* context, Value* args, int64_t k, double* out, bool* isInteger) {
    if (!HasArg(args, k)) return false;
    Value n = ToNumber(context, args[k]);
    if (isInteger != nullptr) *isInteger = n.tag == ValueTag::Integer;
    if (n.tag == ValueTag::Integer) {
        *out = static_cast<double>(n.integer);
        return true;
    }
    if (n.tag == ValueTag::Float) {
        *out = n.number;
        return !std::isnan(n.number);
    }
    return false;
}

Value FloatResult(double x) { return std::isnan(x) ? MakeNaN() : MakeFloat(x); }

Value Extreme(ScriptContext* context, Value* args, bool largest) {
    if (!HasArg(args, 1)) return MakeNaN();
    double best = 0.0;
    for (int64_t k = 1; k <= ArgCount(args); ++k) {
        double x;
        if (!NumberOperand(context, args, k, &x, nullptr)) return MakeNaN();
        if (k == 1 || (largest ? x > best : x < best)) best = x;
    }
    return MakeFloat(best);
}

// Two Integer arguments give an Integer while the power stays below 2^53
// (truncated toward zero, so 2 ** -1 is 0).
Value Power(ScriptContext* context, Value* args) {
    double x, y;
    bool xInteger = false, yInteger = false;
    if (!NumberOperand(context, args, 1, &x, &xInteger) ||
        !NumberOperand(context, args, 2, &y, &yInteger)) {
        return MakeNaN();
    }
    double r = std::pow(x, y);
    if (xInteger && yInteger && std::fabs(r) < 9007199254740992.0) {
        return MakeInteger(static_cast<int64_t>(std::trunc(r)));
    }
    return FloatResult(r);
}

// floor(x + 0.5) as an Integer; infinities, and values too large for an
// Integer, stay Floats. An Integer argument is already rounded.
Value Round(ScriptContext* context, Value* args) {
    if (!HasArg(args, 1)) return MakeNaN();
    Value n = ToNumber(context, args[1]);
    if (n.tag == ValueTag::Integer) return n;
    if (n.tag != ValueTag::Float || std::isnan(n.number)) return MakeNaN();
    double r = std::floor(n.number + 0.5);
    if (!(std::fabs(r) < 9223372036854775808.0)) return MakeFloat(r);
    return MakeInteger(static_cast<int64_t>(r));
}

double NextRandom(MathData* data) {
    data->randomState = (data->randomState * 0x5DEECE66Du + 0xBu) & kRandomMask;
    return static_cast<double>(data->randomState) / static_cast<double>(uint64_t{1} << 48);
}

int MathMethod(ScriptContext* context, NativeClass* klass, void*, int member, Value* out,
               Value* args) {
    double x, y;
    switch (member) {
        case kAtan2:
            *out = NumberOperand(context, args, 1, &y, nullptr) &&
                           NumberOperand(context, args, 2, &x, nullptr)
                       ? FloatResult(std::atan2(y, x))
                       : MakeNaN();
            break;
        case kMax: *out = Extreme(context, args, true); break;
        case kMin: *out = Extreme(context, args, false); break;
        case kPow: *out = Power(context, args); break;
        case kRandom: *out = MakeFloat(NextRandom(static_cast<MathData*>(ClassData(klass)))); break;
        case kRound: *out = Round(context, args); break;
        default:
            *out = NumberOperand(context, args, 1, &x, nullptr)
                       ? FloatResult(kFunctions[member].unary(x))
                       : MakeNaN();
            break;
    }
    return 1;
}

// The constants are read-only: writes are accepted and ignored.
int MathProperty(ScriptContext*, NativeClass*, void*, int member, int isSet, Value* io) {
    if (!isSet) *io = MakeFloat(kConstants[member].value);
    return 1;
}

void FreeMathData(void* data) { ContextFree(data); }

const ClassSpec kMathClass = {
    .name = "Math",
    .text = u"[object Math]",
    .about =
        "The mathematical functions and constants; every function gives NaN when an "
        "argument is missing or not a number",
    .methods = kFunctions,
    .method = MathMethod,
    .properties = kConstants,
    .property = MathProperty,
};

}  // namespace

void RegisterMathObject(ScriptContext* context) {
    auto* data = static_cast<MathData*>(ContextCalloc(context, 1, sizeof(MathData)));
    const uint64_t seconds = static_cast<uint64_t>(std::time(nullptr));
    data->randomState = ((seconds << 16) + 0x330E) & kRandomMask;
    DefineClass(context, kMathClass, data, FreeMathData);
}

}  // namespace kelpo
