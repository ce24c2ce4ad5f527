// The Date class: instances hold one time value (milliseconds since
// 1970-01-01 UTC, a double within the time range), and the members read,
// set and print its UTC or local components.
//
// Local time is UTC minus one process-wide offset taken from the system
// when the class is registered; there is no per-date daylight adjustment.
// The calendar is computed by date_calendar.cpp, never by the system, so
// every year in the time range works the same on every platform.
#include "corelib/classes.h"
#include "corelib/date_class.h"

#include <cmath>
#include <cstdio>

#include "corelib/date_calendar.h"
#include "corelib/date_parse.h"
#include "platform/local_time.h"
#include "runtime/class_kit.h"
#include "runtime/convert.h"
#include "runtime/strings.h"

namespace kelpo {
namespace {

// Milliseconds to add to local time to get UTC.
double gLocalOffsetMs = 0.0;

// Components in composition order; setters replace a run of them.
enum Field { kYear, kMonth, kDate, kHours, kMinutes, kSeconds, kMs, kFieldCount, kWeekDay };

enum class Kind {
    ToString,
    ValueOf,
    Parse,
    Utc,
    Get,
    Set,
    GetTime,
    TimezoneOffset,
    GetYear,
    SetTime,
    SetYear,
    GmtText,
    LocalText
};

struct DateMember {
    const char* name;
    Kind kind;
    bool local;
    int field;  // Get: the component; Set: the first component replaced
    int count;  // Set: how many components the arguments give
    const char* text;
};

const DateMember kMembers[] = {
    {"toString", Kind::ToString, true, 0, 0,
     "toString() -> String: the local time as \"Thu Jan 01 01:00:00 GMT+0100 1970\" (\"B.C.\" "
     "after years <= 0); \"[object Date]\" on the class"},
    {"valueOf", Kind::ValueOf, false, 0, 0,
     "valueOf() -> Integer: the time value; the class's global on the class"},
    {"parse", Kind::Parse, false, 0, 0,
     "parse(text) -> Integer: the time value of text, or of a number (the current time when text "
     "does not parse; 0 without it); also on the class"},
    {"getDate", Kind::Get, true, kDate, 0,
     "getDate() -> Integer: the day of the month, local time"},
    {"getDay", Kind::Get, true, kWeekDay, 0,
     "getDay() -> Integer: the day of the week, 0 = Sunday, local time"},
    {"getFullYear", Kind::Get, true, kYear, 0, "getFullYear() -> Integer: the year, local time"},
    {"getHours", Kind::Get, true, kHours, 0, "getHours() -> Integer: the hour, local time"},
    // The millisecond is the same in every zone: offsets are whole minutes.
    {"getMilliseconds", Kind::Get, false, kMs, 0,
     "getMilliseconds() -> Integer: the millisecond (the same in every zone)"},
    {"getMinutes", Kind::Get, true, kMinutes, 0, "getMinutes() -> Integer: the minute, local time"},
    {"getMonth", Kind::Get, true, kMonth, 0,
     "getMonth() -> Integer: the month, 0 = January, local time"},
    {"getSeconds", Kind::Get, true, kSeconds, 0, "getSeconds() -> Integer: the second, local time"},
    {"getTime", Kind::GetTime, false, 0, 0,
     "getTime() -> Integer: the time value, milliseconds since 1970-01-01 00:00 UTC"},
    {"getTimezoneOffset", Kind::TimezoneOffset, false, 0, 0,
     "getTimezoneOffset() -> Integer: minutes to add to local time for UTC, one value for every "
     "date"},
    {"getUTCDate", Kind::Get, false, kDate, 0,
     "getUTCDate() -> Integer: the day of the month, UTC"},
    {"getUTCDay", Kind::Get, false, kWeekDay, 0,
     "getUTCDay() -> Integer: the day of the week, 0 = Sunday, UTC"},
    {"getUTCFullYear", Kind::Get, false, kYear, 0, "getUTCFullYear() -> Integer: the year, UTC"},
    {"getUTCHours", Kind::Get, false, kHours, 0, "getUTCHours() -> Integer: the hour, UTC"},
    {"getUTCMilliseconds", Kind::Get, false, kMs, 0,
     "getUTCMilliseconds() -> Integer: the millisecond, UTC"},
    {"getUTCMinutes", Kind::Get, false, kMinutes, 0, "getUTCMinutes() -> Integer: the minute, UTC"},
    {"getUTCMonth", Kind::Get, false, kMonth, 0,
     "getUTCMonth() -> Integer: the month, 0 = January, UTC"},
    {"getUTCSeconds", Kind::Get, false, kSeconds, 0, "getUTCSeconds() -> Integer: the second, UTC"},
    {"getYear", Kind::GetYear, true, 0, 0,
     "getYear() -> Integer: the local year, less 1900 for 1900-1999"},
    {"setDate", Kind::Set, true, kDate, 1,
     "setDate(date) -> Integer: replaces these local fields (Integers, Floats floored); the time "
     "value"},
    {"setFullYear", Kind::Set, true, kYear, 3,
     "setFullYear(year [, month [, date]]) -> Integer: replaces these local fields (Integers, "
     "Floats floored); the time value"},
    {"setHours", Kind::Set, true, kHours, 4,
     "setHours(hours [, minutes [, seconds [, ms]]]) -> Integer: replaces these local fields "
     "(Integers, Floats floored); the time value"},
    {"setMinutes", Kind::Set, true, kMinutes, 3,
     "setMinutes(minutes [, seconds [, ms]]) -> Integer: replaces these local fields (Integers, "
     "Floats floored); the time value"},
    {"setMilliseconds", Kind::Set, true, kMs, 1,
     "setMilliseconds(ms) -> Integer: replaces these local fields (Integers, Floats floored); the "
     "time value"},
    {"setMonth", Kind::Set, true, kMonth, 2,
     "setMonth(month [, date]) -> Integer: replaces these local fields (Integers, Floats floored); "
     "the time value"},
    {"setSeconds", Kind::Set, true, kSeconds, 2,
     "setSeconds(seconds [, ms]) -> Integer: replaces these local fields (Integers, Floats "
     "floored); the time value"},
    {"setTime", Kind::SetTime, false, 0, 0,
     "setTime(t) -> Integer: t becomes the time value when within range; the time value"},
    {"setUTCDate", Kind::Set, false, kDate, 1,
     "setUTCDate(date) -> Integer: replaces these UTC fields; the time value"},
    {"setUTCFullYear", Kind::Set, false, kYear, 3,
     "setUTCFullYear(year [, month [, date]]) -> Integer: replaces these UTC fields; the time "
     "value"},
    {"setUTCHours", Kind::Set, false, kHours, 4,
     "setUTCHours(hours [, minutes [, seconds [, ms]]]) -> Integer: replaces these UTC fields; the "
     "time value"},
    {"setUTCMilliseconds", Kind::Set, false, kMs, 1,
     "setUTCMilliseconds(ms) -> Integer: replaces these UTC fields; the time value"},
    {"setUTCMinutes", Kind::Set, false, kMinutes, 3,
     "setUTCMinutes(minutes [, seconds [, ms]]) -> Integer: replaces these UTC fields; the time "
     "value"},
    {"setUTCMonth", Kind::Set, false, kMonth, 2,
     "setUTCMonth(month [, date]) -> Integer: replaces these UTC fields; the time value"},
    {"setUTCSeconds", Kind::Set, false, kSeconds, 2,
     "setUTCSeconds(seconds [, ms]) -> Integer: replaces these UTC fields; the time value"},
    {"setYear", Kind::SetYear, true, 0, 0,
     "setYear(year) -> Integer: replaces the local year (0-99 mean 1900-1999); the time value"},
    {"toGMTString", Kind::GmtText, false, 0, 0,
     "toGMTString() -> String: UTC as \"Thu, 01 Jan 1970 00:00:00 GMT\""},
    {"toLocaleString", Kind::LocalText, true, 0, 0,
     "toLocaleString() -> String: the local time, as toString"},
    {"UTC", Kind::Utc, false, 0, 0,
     "UTC(year, month [, date [, hours [, minutes [, seconds [, ms]]]]]) -> Integer: the time "
     "value of the UTC fields (0 when out of range); also on the class"},
};

const char* const kDayNames[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const kMonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

double Now() { return std::floor(SystemTimeMs()); }

// An Integer as it is, a Float floored; false for every other value.
bool WholeNumberArg(const Value& v, double* out) {
    if (v.tag == ValueTag::Integer) {
        *out = static_cast<double>(v.integer);
        return true;
    }
    if (v.tag == ValueTag::Float) {
        *out = std::floor(v.number);
        return true;
    }
    return false;
}

// The time value as an Integer (stored values are always in range).
Value TimeInteger(double t) { return MakeInteger(InTimeRange(t) ? static_cast<int64_t>(t) : 0); }

// The one-argument form: a number is the time value (0 when out of range),
// a String is parsed (the current time when it is no date), anything else
// is the current time.
double TimeOfValue(ScriptContext* context, const Value& v) {
    double t;
    if (v.tag == ValueTag::Integer || v.tag == ValueTag::Float) {
        t = v.tag == ValueTag::Integer ? static_cast<double>(v.integer) : std::trunc(v.number);
        return InTimeRange(t) ? t : 0.0;
    }
    if (v.tag == ValueTag::String) {
        char* text = StringToAnsi(context, v);
        bool parsed = ParseDateText(text, gLocalOffsetMs, &t);
        ContextFree(text);
        if (parsed) return InTimeRange(t) ? t : 0.0;
    }
    return Now();
}

// Components from the arguments over the defaults 1970, 0, 1, 0, 0, 0, 0;
// an argument that is not a number keeps its default. NaN when the
// composed value is out of range.
double TimeOfFields(Value* args) {
    double f[kFieldCount] = {1970, 0, 1, 0, 0, 0, 0};
    for (int k = 0; k < kFieldCount && HasArg(args, k + 1); ++k) WholeNumberArg(args[k + 1], &f[k]);
    double t =
        ComposeTime(f[kYear], f[kMonth], f[kDate], f[kHours], f[kMinutes], f[kSeconds], f[kMs]);
    return InTimeRange(t) ? t : NAN;
}

void FieldsOf(double t, double* f) {
    DateFields d = SplitTime(t);
    f[kYear] = static_cast<double>(d.year);
    f[kMonth] = d.month;
    f[kDate] = d.date;
    f[kHours] = d.hours;
    f[kMinutes] = d.minutes;
    f[kSeconds] = d.seconds;
    f[kMs] = d.ms;
}

int64_t FieldValue(double t, int field) {
    DateFields d = SplitTime(t);
    switch (field) {
        case kYear: return d.year;
        case kMonth: return d.month;
        case kDate: return d.date;
        case kWeekDay: return d.weekDay;
        case kHours: return d.hours;
        case kMinutes: return d.minutes;
        case kSeconds: return d.seconds;
        default: return d.ms;
    }
}

// Replaces components and keeps the result when it is in range.
void SetFields(double* time, const DateMember& m, Value* args) {
    double first;
    if (!HasArg(args, 1) || !WholeNumberArg(args[1], &first)) return;
    const double offset = m.local ? gLocalOffsetMs : 0.0;
    double f[kFieldCount];
    FieldsOf(*time - offset, f);
    for (int k = 0; k < m.count && HasArg(args, k + 1); ++k)
        WholeNumberArg(args[k + 1], &f[m.field + k]);
    double t =
        ComposeTime(f[kYear], f[kMonth], f[kDate], f[kHours], f[kMinutes], f[kSeconds], f[kMs]) +
        offset;
    if (InTimeRange(t)) *time = t;
}

void SetYear(double* time, Value* args) {
    if (!HasArg(args, 1)) return;
    double year;
    const Value& v = args[1];
    if (v.tag == ValueTag::Integer) {
        year = static_cast<double>(v.integer);
    } else if (v.tag == ValueTag::Float) {
        year = std::trunc(v.number);
    } else {
        return;
    }
    if (year >= 0 && year < 100) year += 1900;
    double f[kFieldCount];
    FieldsOf(*time - gLocalOffsetMs, f);
    double t = ComposeTime(year, f[kMonth], f[kDate], f[kHours], f[kMinutes], f[kSeconds], f[kMs]) +
               gLocalOffsetMs;
    if (InTimeRange(t)) *time = t;
}

Value AsciiText(ScriptContext* context, const char* text, int length) {
    if (length < 0) length = 0;
    return NewStringFromAnsi(context, text, static_cast<size_t>(length));
}

// "Thu Jan 01 00:00:00 GMT+0000 1970" in local time; the zone is the offset
// as a signed hhmm number, east positive. Years up to 0 count B.C.
Value LocalText(ScriptContext* context, double t) {
    DateFields d = SplitTime(t - gLocalOffsetMs);
    const int east = -static_cast<int>(gLocalOffsetMs / kMsPerMinute);
    const int magnitude = east < 0 ? -east : east;
    const int zone = (east < 0 ? -1 : 1) * (magnitude / 60 * 100 + magnitude % 60);
    const bool bc = d.year <= 0;
    char text[128];
    int n =
        snprintf(text, sizeof text, "%s %s %02d %02d:%02d:%02d GMT%+05d %s%s%04lld%s",
                 kDayNames[d.weekDay], kMonthNames[d.month], d.date, d.hours, d.minutes, d.seconds,
                 zone, "", "", static_cast<long long>(bc ? 1 - d.year : d.year), bc ? " B.C." : "");
    return AsciiText(context, text, n);
}

// "Thu, 01 Jan 1970 00:00:00 GMT".
Value GmtText(ScriptContext* context, double t) {
    DateFields d = SplitTime(t);
    const bool bc = d.year <= 0;
    char text[128];
    int n =
        snprintf(text, sizeof text, "%s, %02d %s %04lld %02d:%02d:%02d GMT%s", kDayNames[d.weekDay],
                 d.date, kMonthNames[d.month], static_cast<long long>(bc ? 1 - d.year : d.year),
                 d.hours, d.minutes, d.seconds, bc ? " B.C." : "");
    return AsciiText(context, text, n);
}

void ConstructDate(ScriptContext* context, NativeClass* klass, Value* args, Value* out) {
    double t;
    int64_t count = ArgCount(args);
    if (count == 0) {
        t = Now();
    } else if (count == 1) {
        t = TimeOfValue(context, args[1]);
    } else {
        // Local fields; an out-of-range composition counts as 0.
        t = TimeOfFields(args);
        if (t != t) t = 0.0;
        t += gLocalOffsetMs;
    }
    auto* data = static_cast<double*>(ContextCalloc(context, 1, sizeof(double)));
    *data = t;
    *out = BindNative(context, klass, data);
}

void CallDate(ScriptContext* context, NativeClass*, void*, Value* out, Value*) {
    *out = LocalText(context, Now());
}

// Members every target answers: the class object and instances alike.
bool ClassMember(ScriptContext* context, const DateMember& m, Value* out, Value* args) {
    if (m.kind == Kind::Parse) {
        *out = HasArg(args, 1) ? TimeInteger(TimeOfValue(context, args[1])) : MakeInteger(0);
        return true;
    }
    if (m.kind == Kind::Utc) {
        double t = TimeOfFields(args);
        *out = MakeInteger(t == t ? static_cast<int64_t>(t) : 0);
        return true;
    }
    return false;
}

// `data` is the instance's time value, or null for the class object.
int DateMethod(ScriptContext* context, NativeClass*, void* data, int member, Value* out,
               Value* args) {
    auto* time = static_cast<double*>(data);
    const DateMember& m = kMembers[member];
    if (m.kind == Kind::ToString) {
        *out = time != nullptr ? LocalText(context, *time) : StaticText(context, u"[object Date]");
        return 1;
    }
    if (m.kind == Kind::ValueOf) {
        *out = time != nullptr ? TimeInteger(*time) : GetGlobal(context, "Date");
        return 1;
    }
    if (ClassMember(context, m, out, args)) return 1;
    if (time == nullptr) return 0;
    const double local = *time - gLocalOffsetMs;
    switch (m.kind) {
        case Kind::Get: *out = MakeInteger(FieldValue(m.local ? local : *time, m.field)); break;
        case Kind::GetTime: *out = TimeInteger(*time); break;
        case Kind::TimezoneOffset:
            *out = MakeInteger(static_cast<int64_t>(gLocalOffsetMs / kMsPerMinute));
            break;
        case Kind::GetYear: {
            int64_t year = FieldValue(local, kYear);
            *out = MakeInteger(year >= 1900 && year <= 1999 ? year - 1900 : year);
            break;
        }
        case Kind::Set:
            SetFields(time, m, args);
            *out = TimeInteger(*time);
            break;
        case Kind::SetTime: {
            double t;
            if (HasArg(args, 1) &&
                (args[1].tag == ValueTag::Integer || args[1].tag == ValueTag::Float)) {
                t = args[1].tag == ValueTag::Integer ? static_cast<double>(args[1].integer)
                                                     : std::trunc(args[1].number);
                if (InTimeRange(t)) *time = t;
            }
            *out = TimeInteger(*time);
            break;
        }
        case Kind::SetYear:
            SetYear(time, args);
            *out = TimeInteger(*time);
            break;
        case Kind::GmtText: *out = GmtText(context, *time); break;
        case Kind::LocalText: *out = LocalText(context, *time); break;
        default: return 0;
    }
    return 1;
}

const ClassSpec kDateClass = {
    .name = "Date",
    .about =
        "Points in time, in milliseconds since 1970-01-01 00:00 UTC: new Date() now, new "
        "Date(ms or text), new Date(year, month [, date, hours, minutes, seconds, ms]) in "
        "local time; Date() without new gives the current time as text",
    .methods = kMembers,
    .method = DateMethod,
    .otherProperties = NoOwnProperties,
    .call = CallDate,
    .construct = ConstructDate,
    .finalize = FreeNativeData,
};

}  // namespace

bool DateTimeOf(const Value& value, double* time) {
    // The class is recognised by its spec, so a script that rebinds the
    // global Date cannot pass off another class's instance.
    if (value.tag != ValueTag::Native || value.native == nullptr) return false;
    if (ClassSpecOf(value.native->klass) != &kDateClass || value.native->data == nullptr)
        return false;
    *time = *static_cast<const double*>(value.native->data);
    return true;
}

void RegisterDateClass(ScriptContext* context) {
    gLocalOffsetMs = static_cast<double>(LocalTimeBiasMinutes()) * kMsPerMinute;
    DefineClass(context, kDateClass);
}

}  // namespace kelpo
