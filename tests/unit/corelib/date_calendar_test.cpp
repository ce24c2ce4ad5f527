// Calendar arithmetic and date text parsing: tables of known instants,
// a sweep across the whole time range, and inputs that must stay defined.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <string>

#include "corelib/date_calendar.h"
#include "corelib/date_parse.h"

namespace kelpo {
namespace {

struct Instant {
    double time;
    int64_t year;
    int month, date, weekDay, hours, minutes, seconds, ms;
};

const Instant kInstants[] = {
    {0, 1970, 0, 1, 4, 0, 0, 0, 0},
    {-1, 1969, 11, 31, 3, 23, 59, 59, 999},
    {951782400000, 2000, 1, 29, 2, 0, 0, 0, 0},
    {1078062330250, 2004, 1, 29, 0, 13, 45, 30, 250},
    {-2203891200000, 1900, 2, 1, 4, 0, 0, 0, 0},
    {-62167219200000, 0, 0, 1, 6, 0, 0, 0, 0},
    {-62198755200000, -1, 0, 1, 5, 0, 0, 0, 0},
    {8.64e15, 275760, 8, 13, 6, 0, 0, 0, 0},
    {-8.64e15, -271821, 3, 20, 2, 0, 0, 0, 0},
};

TEST(DateCalendar, SplitsAndComposesKnownInstants) {
    for (const Instant& c : kInstants) {
        SCOPED_TRACE(c.time);
        DateFields f = SplitTime(c.time);
        EXPECT_EQ(f.year, c.year);
        EXPECT_EQ(f.month, c.month);
        EXPECT_EQ(f.date, c.date);
        EXPECT_EQ(f.weekDay, c.weekDay);
        EXPECT_EQ(f.hours, c.hours);
        EXPECT_EQ(f.minutes, c.minutes);
        EXPECT_EQ(f.seconds, c.seconds);
        EXPECT_EQ(f.ms, c.ms);
        EXPECT_EQ(ComposeTime(static_cast<double>(c.year), c.month, c.date, c.hours, c.minutes,
                              c.seconds, c.ms),
                  c.time);
    }
}

TEST(DateCalendar, EveryDayOfTheRangeRoundTrips) {
    // Steps of 997 days plus an odd time of day cover every month, leap
    // rule and week day many times over.
    for (double day = -1e8; day <= 1e8; day += 997) {
        double t = day * kMsPerDay + 12345678;
        DateFields f = SplitTime(t);
        ASSERT_GE(f.month, 0);
        ASSERT_LE(f.month, 11);
        ASSERT_EQ(ComposeTime(static_cast<double>(f.year), f.month, f.date, f.hours, f.minutes,
                              f.seconds, f.ms),
                  t)
            << "day " << day;
    }
}

TEST(DateCalendar, OverflowingComponentsCarry) {
    EXPECT_EQ(ComposeTime(2004, 13, 1, 0, 0, 0, 0), ComposeTime(2005, 1, 1, 0, 0, 0, 0));
    EXPECT_EQ(ComposeTime(2004, -1, 1, 0, 0, 0, 0), ComposeTime(2003, 11, 1, 0, 0, 0, 0));
    EXPECT_EQ(ComposeTime(2004, 0, 0, 0, 0, 0, 0), ComposeTime(2003, 11, 31, 0, 0, 0, 0));
    EXPECT_EQ(ComposeTime(2004, 0, 1, 25, -1, 0, 0), ComposeTime(2004, 0, 2, 0, 59, 0, 0));
}

TEST(DateCalendar, ExtremeInputsStayDefined) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double values[] = {inf, -inf, nan, 1e300, -1e300, 9.3e18, -9.3e18, 1e17, 4e15};
    for (double v : values) {
        SCOPED_TRACE(v);
        DateFields f = SplitTime(v);
        EXPECT_GE(f.month, 0);
        EXPECT_LE(f.month, 11);
        EXPECT_GE(f.weekDay, 0);
        EXPECT_LE(f.weekDay, 6);
        for (int k = 0; k < 7; ++k) {
            double c[7] = {2004, 1, 1, 0, 0, 0, 0};
            c[k] = v;
            double t = ComposeTime(c[0], c[1], c[2], c[3], c[4], c[5], c[6]);
            if (std::fabs(v) > 1e16) {
                EXPECT_FALSE(InTimeRange(t)) << "component " << k;
            }
        }
    }
    EXPECT_FALSE(InTimeRange(nan));
    EXPECT_TRUE(InTimeRange(-8.64e15));
    EXPECT_FALSE(InTimeRange(8.64e15 + 1));
}

// Parses from a heap block of exactly the text's size, so that reading past
// the terminator is caught by the sanitizer.
bool ParseExact(const char* text, double offset, double* out) {
    size_t n = strlen(text) + 1;
    std::unique_ptr<char[]> copy(new char[n]);
    memcpy(copy.get(), text, n);
    return ParseDateText(copy.get(), offset, out);
}

struct ParseCase {
    const char* text;
    bool ok;
    double expected;  // UTC, with the local offset of 5 hours west
};

const double kWest = 300 * 60000.0;
const double kFeb29 = 1078012800000;  // 2004-02-29 00:00 UTC

const ParseCase kParseCases[] = {
    {"Feb 29 2004 10:00:00 GMT+0100", true, kFeb29 + 9 * 3600000.0},
    {"Feb 29 2004", true, kFeb29 + kWest},
    {"2/29/2004", true, kFeb29 + kWest},
    {"Sunday, February 29, 2004 10:00 PM", true, kFeb29 + 22 * 3600000.0 + kWest},
    {"Feb 29 2004 12:30 am gmt", true, kFeb29 + 30 * 60000.0},
    {"Feb 29 2004 GMT-3", true, kFeb29 + 3 * 3600000.0},
    {"Feb 29 2004 GMT-3:30", true, kFeb29 + 3.5 * 3600000.0},
    {"Feb 29 2004 CDT", true, kFeb29 + 5 * 3600000.0},
    {"Feb 29 2004 (x) (y (z)) UT", true, kFeb29},
    {"Feb 29 2004 GMT+0001", true, kFeb29 - 3600000.0},
    {"Feb 29 2004 GMT+2401", true, kFeb29 - 1441 * 60000.0},
    {"Feb 29 2004 GMT-0 1", true, kFeb29 + 60000.0},
    {"10:00 pm", false, 0},
    {"", false, 0},
    {"Feb 29", false, 0},
    {"Feb 29 2004 -", true, kFeb29 + kWest},
    {"Feb 29 2004 (", true, kFeb29 + kWest},
    {"Feb 29 2004 ((((", true, kFeb29 + kWest},
    {"Feb 29 2004 a", false, 0},
    {"Feb 29 2004 13:00 pm", false, 0},
    {"Feb 29 2004 GMT+1 +2", false, 0},
    {"Feb 29 2004 supercalifragilistic", false, 0},
    {"Feb 29 2004 \x80\xff", true, kFeb29 + kWest},
    {"99999999999999999999999999 Feb 29", false, 0},
    {"Feb 29 2004 1:2:3:4", false, 0},
    {"Feb 29 2004;", false, 0},
};

TEST(DateParse, TextsAndFailures) {
    for (const ParseCase& c : kParseCases) {
        SCOPED_TRACE(c.text);
        double t = -1;
        ASSERT_EQ(ParseExact(c.text, kWest, &t), c.ok);
        if (c.ok) {
            EXPECT_EQ(t, c.expected);
        }
    }
}

}  // namespace
}  // namespace kelpo
