// Calendar arithmetic (see date_calendar.h).
//
// Days and years are computed in doubles as the classic definitions do
// (DayFromYear, the 365.2425-day year estimate, the cumulative month-start
// tables); only values already known to be small (a year within a million
// years, a month index 0 to 11) are ever converted to integers.
#include "corelib/date_calendar.h"

#include <cmath>

namespace kelpo {
namespace {

// No time value in range lies more than about 275,760 years from 1970.
constexpr double kYearLimit = 1000000.0;
// SplitTime decomposes nothing larger than this (local times stay close to
// the range, everything else is garbage in).
constexpr double kSplitLimit = 1e17;

const int kMonthStart[2][13] = {
    {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365},
    {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335, 366},
};

double DayFromYear(double y) {
    return 365.0 * (y - 1970.0) + std::floor((y - 1969.0) / 4.0) -
           std::floor((y - 1901.0) / 100.0) + std::floor((y - 1601.0) / 400.0);
}

// `year` is within kYearLimit.
int IsLeapYear(int64_t year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0 ? 1 : 0;
}

double PositiveRemainder(double a, double b) {
    double r = std::fmod(a, b);
    return r < 0 ? r + b : r;
}

}  // namespace

bool InTimeRange(double t) { return std::fabs(t) <= kMaxTimeValue; }

DateFields SplitTime(double t) {
    if (!(std::fabs(t) <= kSplitLimit)) t = 0.0;
    const double day = std::floor(t / kMsPerDay);
    double year = std::floor(day / 365.2425) + 1970.0;
    while (DayFromYear(year) > day) year -= 1.0;
    while (DayFromYear(year + 1.0) <= day) year += 1.0;

    DateFields f{};
    f.year = static_cast<int64_t>(year);
    const int leap = IsLeapYear(f.year);
    const int dayInYear = static_cast<int>(day - DayFromYear(year));  // 0 to 365
    int month = 0;
    while (month < 11 && dayInYear >= kMonthStart[leap][month + 1]) ++month;
    f.month = month;
    f.date = dayInYear - kMonthStart[leap][month] + 1;
    f.weekDay = static_cast<int>(PositiveRemainder(day + 4.0, 7.0));

    // 0 to kMsPerDay - 1; beyond 2^53 the subtraction may round outside.
    double inDay = t - day * kMsPerDay;
    if (!(inDay >= 0.0)) inDay = 0.0;
    if (inDay > kMsPerDay - 1.0) inDay = kMsPerDay - 1.0;
    const int64_t ms = static_cast<int64_t>(inDay);
    f.hours = static_cast<int>(ms / 3600000);
    f.minutes = static_cast<int>(ms / 60000 % 60);
    f.seconds = static_cast<int>(ms / 1000 % 60);
    f.ms = static_cast<int>(ms % 1000);
    return f;
}

double MakeTime(double hours, double minutes, double seconds, double ms) {
    if (!std::isfinite(hours) || !std::isfinite(minutes) || !std::isfinite(seconds) ||
        !std::isfinite(ms)) {
        return NAN;
    }
    return hours * kMsPerHour + minutes * kMsPerMinute + seconds * kMsPerSecond + ms;
}

double MakeDay(double year, double month, double date) {
    if (!std::isfinite(year) || !std::isfinite(month) || !std::isfinite(date)) return NAN;
    if (std::fabs(year) > kYearLimit || std::fabs(month) > 12.0 * kYearLimit) return NAN;
    const double wholeYear = year + std::floor(month / 12.0);
    if (std::fabs(wholeYear) > kYearLimit) return NAN;
    int monthIndex = static_cast<int>(PositiveRemainder(month, 12.0));
    if (monthIndex < 0 || monthIndex > 11) monthIndex = 0;
    const int leap = IsLeapYear(static_cast<int64_t>(wholeYear));
    return DayFromYear(wholeYear) + kMonthStart[leap][monthIndex] + date - 1.0;
}

double MakeDate(double day, double time) {
    if (!std::isfinite(day) || !std::isfinite(time)) return NAN;
    return day * kMsPerDay + time;
}

double ComposeTime(double year, double month, double date, double hours, double minutes,
                   double seconds, double ms) {
    return MakeDate(MakeDay(year, month, date), MakeTime(hours, minutes, seconds, ms));
}

}  // namespace kelpo
