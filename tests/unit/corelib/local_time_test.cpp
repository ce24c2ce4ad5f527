// The platform's clock and time-zone bias.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "platform/local_time.h"

namespace kelpo {
namespace {

TEST(LocalTime, ClockIsNow) {
    double now = SystemTimeMs();
    double seconds = static_cast<double>(time(nullptr));
    EXPECT_NEAR(now / 1000.0, seconds, 2.0);
}

#if !defined(_WIN32)
// Zones without daylight time, so the bias does not depend on the date.
TEST(LocalTime, BiasFollowsTz) {
    const char* saved = getenv("TZ");
    std::string previous = saved != nullptr ? saved : "";
    const struct {
        const char* zone;
        int bias;
    } cases[] = {{"UTC", 0}, {"Asia/Tokyo", -540}, {"Asia/Kolkata", -330}, {"America/Bogota", 300}};
    for (const auto& c : cases) {
        setenv("TZ", c.zone, 1);
        EXPECT_EQ(LocalTimeBiasMinutes(), c.bias) << c.zone;
    }
    if (saved != nullptr) {
        setenv("TZ", previous.c_str(), 1);
    } else {
        unsetenv("TZ");
    }
}
#endif

}  // namespace
}  // namespace kelpo
