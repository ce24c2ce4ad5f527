// Clock and time-zone bias from the C library; the zone follows TZ.
#include "platform/local_time.h"

#include <ctime>

namespace kelpo {

double SystemTimeMs() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec / 1000000);
}

int LocalTimeBiasMinutes() {
    // Read TZ again: a process may change it after start.
    tzset();
    time_t now = time(nullptr);
    tm local{};
    if (localtime_r(&now, &local) == nullptr) return 0;
    return static_cast<int>(-local.tm_gmtoff / 60);
}

}  // namespace kelpo
