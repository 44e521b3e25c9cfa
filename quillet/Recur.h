#pragma once
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "quillet/DateValue.h"
#include "quillet/Date_Time.h"
#include "quillet/DaySpecifierCollection.h"
#include "quillet/IntegerCollection.h"

namespace quillet {

enum EnumFrequencyType : int {
    NONE = 0, SECONDLY = 1, MINUTELY = 2, HOURLY = 3, DAILY = 4, WEEKLY = 5, MONTHLY = 6, YEARLY = 7
};

// Error number raised when a rule whose frequency is NONE is expanded.
constexpr long kErrInvalidArgument = 5;

// One recurrence rule (RRULE or EXRULE value).
class Recur {
public:
    Recur();

    int Interval() const { return interval_; }
    void SetInterval(int v) { interval_ = v; }
    EnumFrequencyType Frequency() const { return frequency_; }
    void SetFrequency(int v) { frequency_ = static_cast<EnumFrequencyType>(v); }
    const IntegerCollection& BySecond() const { return bySecond_; }
    void SetBySecond(IntegerCollection v) { bySecond_ = std::move(v); }
    const IntegerCollection& ByMinute() const { return byMinute_; }
    void SetByMinute(IntegerCollection v) { byMinute_ = std::move(v); }
    const IntegerCollection& ByHour() const { return byHour_; }
    void SetByHour(IntegerCollection v) { byHour_ = std::move(v); }
    DaySpecifierCollection& ByDay() { return byDay_; }
    const DaySpecifierCollection& ByDay() const { return byDay_; }
    void SetByDay(DaySpecifierCollection v) { byDay_ = std::move(v); }
    const IntegerCollection& ByMonthDay() const { return byMonthDay_; }
    void SetByMonthDay(IntegerCollection v) { byMonthDay_ = std::move(v); }
    const IntegerCollection& ByYearDay() const { return byYearDay_; }
    void SetByYearDay(IntegerCollection v) { byYearDay_ = std::move(v); }
    const IntegerCollection& ByWeekNo() const { return byWeekNo_; }
    void SetByWeekNo(IntegerCollection v) { byWeekNo_ = std::move(v); }
    const IntegerCollection& ByMonth() const { return byMonth_; }
    void SetByMonth(IntegerCollection v) { byMonth_ = std::move(v); }
    const IntegerCollection& BySetPos() const { return bySetPos_; }
    void SetBySetPos(IntegerCollection v) { bySetPos_ = std::move(v); }
    // 1 = Sunday … 7 = Saturday; 0 = not set; -1 = unrecognised text.
    int Wkst() const { return wkst_; }
    void SetWkst(int v) {
        wkst_ = v;
        wkstGiven_ = true;
    }
    const Date_TimePtr& pUntil() const { return until_; }
    void SetpUntil(Date_TimePtr v) { until_ = v ? std::move(v) : std::make_shared<Date_Time>(); }
    int Count() const { return count_; }
    void SetCount(int v) { count_ = v; }
    // Parameters of the RRULE or EXRULE line (";X-A=1"), written back as read.
    const std::string& Params() const { return params_; }
    void SetParams(std::string p) { params_ = std::move(p); }

    void Reset();
    bool TryParse(std::string_view vData);
    std::string ToString() const;

    // Starts (on the event's clock) of the occurrences whose span [start, start + (e - s))
    // overlaps [from, to), ascending. s is the first occurrence.
    std::vector<DateValue> Expand(DateValue s, DateValue e, DateValue from, DateValue to) const;
    // The same in whole seconds. With vStartIsOccurrence false (an exclusion rule) the start
    // belongs to the result only when the rule itself generates it. With vDates (an all-day
    // item) occurrences are whole days: BYHOUR, BYMINUTE and BYSECOND do not apply and a
    // sub-daily rule only yields the starts that fall on midnight.
    void ExpandSeconds(Secs s, Secs length, Secs from, Secs to, bool vStartIsOccurrence,
                       std::vector<Secs>& out, bool vDates = false) const;

    // Start of the first period of the rule that can hold an occurrence reaching past `from`.
    DateValue FirstPeriodStart(DateValue s, DateValue e, DateValue from) const;

    // The latest occurrence start UNTIL allows, on the event's clock; false when there is no UNTIL.
    // The one place that decides the clock of the comparison.
    bool LastStartOnClock(Secs& out) const;

    // First day of the week as 0 = Sunday … 6 = Saturday, as the expansion uses it: Monday when
    // the rule names none, as the rule's text then means.
    int WeekStart() const;

private:
    void CheckFrequency() const;
    std::vector<std::int64_t> Signature(Secs s, bool startIsOccurrence, bool dates) const;

    // Where a counted series ends, kept with everything it was worked out from, so that a series
    // that ended before a query is passed over instead of being walked from its start again.
    struct CountedEnd {
        std::vector<std::int64_t> signature;
        bool known = false;  // false when a bound of the walk stopped it before COUNT was reached
        bool any = false;
        Secs lastStart = 0;
    };
    mutable CountedEnd countedEnd_;

    int interval_ = 0;
    EnumFrequencyType frequency_ = NONE;
    IntegerCollection bySecond_, byMinute_, byHour_, byMonthDay_, byYearDay_, byWeekNo_, byMonth_,
        bySetPos_;
    DaySpecifierCollection byDay_;
    int wkst_ = 0;
    bool wkstGiven_ = false;
    Date_TimePtr until_;
    int count_ = 0;
    std::string params_;
};

using RecurPtr = std::shared_ptr<Recur>;

}  // namespace quillet
