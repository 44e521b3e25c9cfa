#pragma once
#include "quillet/DateValue.h"

namespace quillet {

// Conversions between the host's local wall time and UTC, with the rules in force on that date.
DateValue LocalToUTC(DateValue local);
DateValue UTCToLocal(DateValue utc);
Secs LocalToUTCSeconds(Secs local);
Secs UTCToLocalSeconds(Secs utc);

// The host's offset from UTC, in seconds east, at a UTC instant and now.
int HostOffsetAt(Secs utc);
int HostOffsetNow();

// Current host-local and UTC date and time as date values.
DateValue NowLocal();
DateValue NowUTC();

}  // namespace quillet
