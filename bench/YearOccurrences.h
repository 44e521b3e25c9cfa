#pragma once
#include <libical/ical.h>

#include <functional>
#include <string>

#include "quillet/iCalendar.h"

namespace orvelle::bench {

// Called once per event that has occurrences in the year, with its UID and their number.
using PerEvent = std::function<void(const std::string& uid, long count)>;

// Occurrences of every event that overlap the year [Jan 1, Jan 1 next year) in the host zone,
// through the calendar's own query.
long QuilletOccurrences(quillet::iCalendar& cal, int year, const PerEvent& each = {});

// The same count through libical: each VEVENT of `root` with icalcomponent_foreach_recurrence,
// the year taken in UTC (so run with TZ=UTC for the two to compare), DTSTART in its own zone.
long LibicalOccurrences(icalcomponent* root, int year, const PerEvent& each = {});

}  // namespace orvelle::bench
