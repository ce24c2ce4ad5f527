// The two facts about time that Date asks the operating system for: the
// clock and the local time zone's current bias. All calendar arithmetic is
// Date's own, so no year is ever handed to a system time conversion.
#pragma once

namespace kelpo {

// The current time in milliseconds since 1970-01-01 00:00:00 UTC.
double SystemTimeMs();

// Minutes to add to local time to get UTC, as the system reports them now:
// the zone's bias plus the daylight bias while daylight time is in effect
// (or the standard bias otherwise). Positive west of Greenwich.
int LocalTimeBiasMinutes();

}  // namespace kelpo
