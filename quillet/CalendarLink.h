#pragma once
#include <memory>

#include "quillet/WeakReference.h"

namespace quillet {

class iCalendar;

// The shared back link of a calendar's components; empty when the component was never linked.
using CalendarLink = std::shared_ptr<WeakReference<iCalendar>>;

inline std::shared_ptr<iCalendar> ResolveLink(const CalendarLink& link) {
    return link ? link->Target() : nullptr;
}

}  // namespace quillet
