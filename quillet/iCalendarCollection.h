#pragma once
#include "quillet/Collection.h"
#include "quillet/iCalendar.h"

namespace quillet {

// Several calendars queried as one.
class iCalendarCollection : public Collection<iCalendar> {
public:
    EventCollection QueryEvent(DateValue vFromDate, DateValue vToDate) {
        EventCollection result;
        for (const auto& cal : *this) cal->QueryEventInto(result, vFromDate, vToDate);
        return result;
    }
};

}  // namespace quillet
