#include "YearOccurrences.h"

namespace orvelle::bench {

long QuilletOccurrences(quillet::iCalendar& cal, int year, const PerEvent& each) {
    using namespace quillet;
    EventCollection found = cal.QueryEvent(FieldsToValue({year, 1, 1, 0, 0, 0}), FieldsToValue({year + 1, 1, 1, 0, 0, 0}));
    long total = 0;
    for (const auto& ev : found) {
        total += ev->Periods().Count();
        if (each) each(ev->UID()->Value(), ev->Periods().Count());
    }
    return total;
}

namespace {

struct Tally {
    time_t from, to;
    bool allDay;
    long count = 0;
};

// libical stretches the span of an all-day occurrence by a day less a second (it reads DTEND as
// the last day), so one ending where the year begins would count; take the end as the file gives
// it and count what overlaps [from, to), as the quillet query does.
void CountOccurrence(icalcomponent*, icaltime_span* span, void* data) {
    auto& t = *static_cast<Tally*>(data);
    time_t end = t.allDay ? span->end - (24 * 60 * 60 - 1) : span->end;
    bool overlaps = span->start < t.to && (end > t.from || (end == span->start && span->start >= t.from));
    if (overlaps) ++t.count;
}

}  // namespace

long LibicalOccurrences(icalcomponent* root, int year, const PerEvent& each) {
    // Date-times, not dates: against a DATE bound libical compares days only and drops the
    // evening of Dec 31 in zones west of UTC.
    icaltimetype from = icaltime_from_string((std::to_string(year) + "0101T000000Z").c_str());
    icaltimetype to = icaltime_from_string((std::to_string(year + 1) + "0101T000000Z").c_str());
    long total = 0;
    for (icalcomponent* ev = icalcomponent_get_first_component(root, ICAL_VEVENT_COMPONENT); ev;
         ev = icalcomponent_get_next_component(root, ICAL_VEVENT_COMPONENT)) {
        Tally t{icaltime_as_timet(from), icaltime_as_timet(to), icalcomponent_get_dtstart(ev).is_date == 1};
        icalcomponent_foreach_recurrence(ev, from, to, CountOccurrence, &t);
        total += t.count;
        if (each && t.count > 0) each(icalcomponent_get_uid(ev), t.count);
    }
    return total;
}

}  // namespace orvelle::bench
