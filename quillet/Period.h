#pragma once
#include <memory>
#include <unordered_set>

#include "quillet/Collection.h"
#include "quillet/Date_Time.h"
#include "quillet/Duration.h"

namespace quillet {

// One occurrence: a start and a length; the end is derived on every read.
class Period {
public:
    Period(Date_TimePtr start, std::shared_ptr<Duration> duration)
        : start_(std::move(start)), duration_(std::move(duration)) {}

    const Date_TimePtr& StartTime() const { return start_; }
    const std::shared_ptr<Duration>& GetDuration() const { return duration_; }
    Date_TimePtr EndTime() const { return start_->Add(*duration_, true); }

private:
    Date_TimePtr start_;
    std::shared_ptr<Duration> duration_;
};

class PeriodCollection : public Collection<Period> {
public:
    // Appends unless a period with the same start (the key) is already present.
    bool AddPeriod(std::shared_ptr<Duration> duration, DateValue start);
    bool AddPeriodSeconds(std::shared_ptr<Duration> duration, Secs start);
    void RemoveAt(int index);
    void ClearPeriods();
    // Occurrences in ascending order of start.
    void SortByStart();

private:
    // Starts almost always arrive in ascending order, where comparing with the last one is enough;
    // the set of starts is built only once one arrives out of order.
    bool ascending_ = true;
    std::unordered_set<Secs> keys_;
};

}  // namespace quillet
