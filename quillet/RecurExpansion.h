#pragma once
#include <cstdint>
#include <vector>

#include "quillet/DateValue.h"

namespace quillet {

class Recur;

// One expansion of a rule from a given first start, in whole seconds on the event's clock.
//
// It walks the rule period by period (year, month, week, day; for the sub-daily frequencies
// day by day over the grid of hours, minutes or seconds), builds each period's set from the BY
// parts that expand or limit at that frequency, applies BYSETPOS to the set and hands the set
// on in ascending order. Every walk ends; the bounds are:
//  - never past the query end, the UNTIL limit, COUNT, or the last day of the year 9999;
//  - a run of empty periods as long as one full 400-year cycle of the calendar (in periods of
//    the rule's own grid, so 400/gcd(interval, 400) years, 4800/gcd months, 20871/gcd weeks,
//    146097/gcd days; 146097 days for the sub-daily frequencies) proves the rule can never
//    produce again, because the calendar repeats after that cycle;
//  - at most kMaxOccurrences starts are returned and kMaxCandidates starts examined (those
//    before the range included, which a COUNT has to count) per expansion.
class RecurExpansion {
public:
    static constexpr std::size_t kMaxOccurrences = 100000;
    static constexpr std::int64_t kMaxCandidates = 5000000;

    RecurExpansion(const Recur& rule, Secs start, bool startIsOccurrence, bool dates);

    // Appends the starts c with lower < c < to, ascending.
    void Run(Secs lower, Secs to, std::vector<Secs>& out);

private:
    struct Day {
        std::int64_t day;
        int year, month, mday, wday, yday, daysInMonth, daysInYear;
    };
    struct Weekday {
        int wday;  // 0 = Sunday
        int n;     // ordinal, 0 = every
    };
    enum class Scope { Plain, Month, Year };

    bool DayMatches(const Day& x) const;
    bool WeekNoMatches(const Day& x) const;
    std::int64_t FirstWeekStart(int year) const;
    int WeeksInYear(int year) const { return static_cast<int>((FirstWeekStart(year + 1) - FirstWeekStart(year)) / 7); }
    static Day MakeDay(std::int64_t day);
    static Day MakeDay(int year, int month, int mday, std::int64_t jan1);

    void RunPeriods();
    void RunSubDaily();
    std::int64_t FirstPeriodIndex() const;
    // False when the period lies wholly past the walk's end.
    bool PeriodFrame(std::int64_t k, std::int64_t& firstDay);
    void CollectDays(std::int64_t k);
    void AddDayIfMatching(const Day& d);
    // Applies BYSETPOS to set_ and hands the result to Emit; false when the walk must end.
    bool EmitSet();
    bool Emit(Secs c);

    // The rule, prepared.
    int freq_ = 0;
    std::int64_t interval_ = 1;
    int wkst_ = 1;
    bool hasMonth_ = false, hasWeekNo_ = false, hasYearDay_ = false, hasMonthDay_ = false,
         hasDay_ = false, hasHour_ = false, hasMinute_ = false, hasSecond_ = false;
    unsigned monthMask_ = 0;
    std::uint64_t mdayPos_ = 0, mdayNeg_ = 0;
    std::vector<int> months_, weekNos_, yearDays_, monthDays_, setPos_;
    std::vector<Weekday> weekdays_;
    unsigned plainWdays_ = 0;  // weekdays that match without an ordinal
    Scope scope_ = Scope::Plain;
    std::vector<Secs> timesOfDay_;  // DAILY and coarser: the times each day carries
    std::vector<Secs> subOffsets_;  // sub-daily: offsets inside one period
    std::vector<Secs> periodTods_;  // sub-daily: starts of the periods the limits allow
    std::vector<bool> periodAllowed_;
    bool hasUntil_ = false;
    Secs until_ = 0;
    std::int64_t count_ = 0;

    // The first start.
    Secs start_ = 0;
    std::int64_t startDay_ = 0;
    DateFields sf_;
    int baseYear_ = 0;  // year of the first YEARLY period: the week-numbering year with BYWEEKNO
    bool startIsOccurrence_ = true;
    bool dates_ = false;

    // Walk state.
    Secs lower_ = 0, to_ = 0;
    std::vector<Secs>* out_ = nullptr;
    std::int64_t counted_ = 0, examined_ = 0;
    std::vector<Day> days_;
    std::vector<std::int64_t> dayNumbers_;
    std::vector<Secs> set_;
};

}  // namespace quillet
