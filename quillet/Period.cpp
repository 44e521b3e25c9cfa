#include "quillet/Period.h"

#include <algorithm>

namespace quillet {

bool PeriodCollection::AddPeriod(std::shared_ptr<Duration> duration, DateValue start) {
    return AddPeriodSeconds(std::move(duration), ToSeconds(start));
}

bool PeriodCollection::AddPeriodSeconds(std::shared_ptr<Duration> duration, Secs start) {
    if (Empty()) {
        ascending_ = true;
        keys_.clear();
    } else if (ascending_) {
        const Secs last = Items().back()->StartTime()->ValueSeconds();
        if (start == last) return false;
        if (start < last) {
            ascending_ = false;
            for (const auto& p : Items()) keys_.insert(p->StartTime()->ValueSeconds());
        }
    }
    if (!ascending_ && !keys_.insert(start).second) return false;
    auto dt = std::make_shared<Date_Time>();
    dt->SetValueSeconds(start);
    Add(std::make_shared<Period>(std::move(dt), std::move(duration)));
    return true;
}

void PeriodCollection::RemoveAt(int index) {
    if (!ascending_) keys_.erase(Item(index)->StartTime()->ValueSeconds());
    Remove(index);
}

void PeriodCollection::ClearPeriods() {
    Clear();
    if (!ascending_) keys_ = {};
    ascending_ = true;
}

void PeriodCollection::SortByStart() {
    std::stable_sort(Items().begin(), Items().end(), [](const auto& a, const auto& b) {
        return a->StartTime()->ValueSeconds() < b->StartTime()->ValueSeconds();
    });
    // Starts are unique, so sorted they are strictly ascending again.
    ascending_ = true;
    keys_ = {};
}

}  // namespace quillet
