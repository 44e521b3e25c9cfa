#include "quillet/Period.h"

#include <algorithm>

namespace quillet {

bool PeriodCollection::AddPeriod(std::shared_ptr<Duration> duration, DateValue start) {
    return AddPeriodSeconds(std::move(duration), ToSeconds(start));
}

bool PeriodCollection::AddPeriodSeconds(std::shared_ptr<Duration> duration, Secs start) {
    if (!keys_.insert(start).second) return false;
    auto dt = std::make_shared<Date_Time>();
    dt->SetValueSeconds(start);
    Add(std::make_shared<Period>(std::move(dt), std::move(duration)));
    return true;
}

void PeriodCollection::RemoveAt(int index) {
    keys_.erase(Item(index)->StartTime()->ValueSeconds());
    Remove(index);
}

void PeriodCollection::ClearPeriods() {
    Clear();
    keys_.clear();
}

void PeriodCollection::SortByStart() {
    std::stable_sort(Items().begin(), Items().end(), [](const auto& a, const auto& b) {
        return a->StartTime()->ValueSeconds() < b->StartTime()->ValueSeconds();
    });
}

}  // namespace quillet
