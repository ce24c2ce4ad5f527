// Clock and time-zone bias from the Win32 time API.
#include "platform/local_time.h"

#include <windows.h>

namespace kelpo {

double SystemTimeMs() {
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    // 100-nanosecond ticks since 1601-01-01; 11644473600 s lie before 1970.
    const unsigned long long ticks =
        (static_cast<unsigned long long>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    const unsigned long long unixTicks = 116444736000000000ULL;
    if (ticks < unixTicks) return -static_cast<double>((unixTicks - ticks) / 10000);
    return static_cast<double>((ticks - unixTicks) / 10000);
}

int LocalTimeBiasMinutes() {
    TIME_ZONE_INFORMATION zone;
    switch (GetTimeZoneInformation(&zone)) {
        case TIME_ZONE_ID_STANDARD: return static_cast<int>(zone.Bias + zone.StandardBias);
        case TIME_ZONE_ID_DAYLIGHT: return static_cast<int>(zone.Bias + zone.DaylightBias);
        case TIME_ZONE_ID_UNKNOWN: return static_cast<int>(zone.Bias);
        default: return 0;
    }
}

}  // namespace kelpo
