// Calendar arithmetic on time values: milliseconds since 1970-01-01 UTC in a
// double, on the proleptic Gregorian calendar without leap seconds.
//
// Every function is defined for every double: non-finite inputs give NaN
// (or the epoch's fields for SplitTime), and magnitudes far outside the
// time range are rejected before any conversion to an integer type.
#pragma once

#include <cstdint>

namespace kelpo {

constexpr double kMsPerDay = 86400000.0;
constexpr double kMsPerHour = 3600000.0;
constexpr double kMsPerMinute = 60000.0;
constexpr double kMsPerSecond = 1000.0;
// Time values whose magnitude exceeds this are out of range.
constexpr double kMaxTimeValue = 8.64e15;

// The components of a time value.
struct DateFields {
    int64_t year;
    int month;    // 0 to 11
    int date;     // 1 to 31
    int weekDay;  // 0 = Sunday
    int hours;
    int minutes;
    int seconds;
    int ms;
};

// True when t is a number within the time range.
bool InTimeRange(double t);

// The components of t; a t that is not finite or lies far outside the time
// range decomposes as 0.
DateFields SplitTime(double t);

// Composition from components (each an integral double); NaN when an input
// is not finite or the year lies far outside the time range.
double MakeTime(double hours, double minutes, double seconds, double ms);
double MakeDay(double year, double month, double date);
double MakeDate(double day, double time);

// MakeDate(MakeDay(...), MakeTime(...)) of a whole set of components.
double ComposeTime(double year, double month, double date, double hours, double minutes,
                   double seconds, double ms);

}  // namespace kelpo
