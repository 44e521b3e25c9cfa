#pragma once
#include "quillet/CalendarLink.h"
#include "quillet/Collection.h"
#include "quillet/Event.h"

namespace quillet {

// The events of one calendar (or a query result, which has no calendar).
class EventCollection : public Collection<Event> {
public:
    EventCollection() = default;
    explicit EventCollection(CalendarLink link) : link_(std::move(link)) {}

    // Links the event to this collection's calendar, then appends it.
    void Add(EventPtr vEvent) {
        if (vEvent) vEvent->SetQuillet(link_);
        Collection<Event>::Add(std::move(vEvent));
    }
    void RemoveEvent(const EventPtr& vEvent) { RemoveObject(vEvent.get()); }
    std::shared_ptr<iCalendar> Quillet() const { return ResolveLink(link_); }

private:
    CalendarLink link_;
};

}  // namespace quillet
