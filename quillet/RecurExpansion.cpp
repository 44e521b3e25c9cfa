#include "quillet/RecurExpansion.h"

#include <algorithm>
#include <numeric>

#include "quillet/Recur.h"

namespace quillet {

namespace {

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

const std::int64_t kLastDay = DaysFromCivil(9999, 12, 31);
constexpr std::int64_t kCycleDays = 146097;  // the Gregorian calendar repeats after 400 years

void SortUnique(std::vector<int>& v) {
    std::sort(v.begin(), v.end());
    v.erase(std::unique(v.begin(), v.end()), v.end());
}

std::vector<int> InRange(const IntegerCollection& list, int lo, int hi, bool negativesToo) {
    std::vector<int> out;
    for (int v : list)
        if ((v >= lo && v <= hi) || (negativesToo && v <= -lo && v >= -hi)) out.push_back(v);
    SortUnique(out);
    return out;
}

}  // namespace

RecurExpansion::RecurExpansion(const Recur& rule, Secs start, bool startIsOccurrence, bool dates)
    : start_(start), startIsOccurrence_(startIsOccurrence), dates_(dates) {
    freq_ = rule.Frequency();
    interval_ = rule.Interval() < 1 ? 1 : rule.Interval();
    wkst_ = rule.WeekStart();
    count_ = rule.Count() > 0 ? rule.Count() : 0;
    hasUntil_ = rule.LastStartOnClock(until_);
    startDay_ = FloorDiv(start, kSecondsPerDay);
    sf_ = SecondsToFields(start);

    // A BY part that is present but holds only impossible values matches nothing.
    hasMonth_ = !rule.ByMonth().Empty();
    hasWeekNo_ = !rule.ByWeekNo().Empty();
    hasYearDay_ = !rule.ByYearDay().Empty();
    hasMonthDay_ = !rule.ByMonthDay().Empty();
    hasDay_ = !rule.ByDay().Empty();
    // Whole days carry no time of day to expand or limit.
    hasHour_ = !dates && !rule.ByHour().Empty();
    hasMinute_ = !dates && !rule.ByMinute().Empty();
    hasSecond_ = !dates && !rule.BySecond().Empty();
    months_ = InRange(rule.ByMonth(), 1, 12, false);
    weekNos_ = InRange(rule.ByWeekNo(), 1, 53, true);
    yearDays_ = InRange(rule.ByYearDay(), 1, 366, true);
    monthDays_ = InRange(rule.ByMonthDay(), 1, 31, true);
    for (const auto& d : rule.ByDay()) {
        int dow = d->DayOfWeek();
        if (dow < 1 || dow > 7 || d->Num() < -53 || d->Num() > 53) continue;
        weekdays_.push_back({dow - 1, d->Num()});
    }
    for (int v : rule.BySetPos())
        if (v != 0) setPos_.push_back(v);

    // What the rule leaves open is taken from the first start.
    if (!hasWeekNo_ && !hasYearDay_ && !hasMonthDay_ && !hasDay_) {
        if (freq_ == YEARLY) {
            monthDays_ = {sf_.day};
            hasMonthDay_ = true;
            if (!hasMonth_) {
                months_ = {sf_.month};
                hasMonth_ = true;
            }
        } else if (freq_ == MONTHLY) {
            monthDays_ = {sf_.day};
            hasMonthDay_ = true;
        } else if (freq_ == WEEKLY) {
            weekdays_ = {{WeekdayOfDays(startDay_), 0}};
            hasDay_ = true;
        }
    }
    // With week numbers a year is the year of the week numbering, and the first start's week
    // tells which one it belongs to (31 December may lie in week 1 of the next year).
    baseYear_ = sf_.year;
    if (freq_ == YEARLY && hasWeekNo_)
        baseYear_ = CivilFromDays(startDay_ - (WeekdayOfDays(startDay_) - wkst_ + 7) % 7 + 3).year;
    if (freq_ == YEARLY && hasWeekNo_ && !hasYearDay_ && !hasMonthDay_ && !hasDay_) {
        weekdays_ = {{WeekdayOfDays(startDay_), 0}};
        hasDay_ = true;
    }
    for (int m : months_) monthMask_ |= 1u << m;
    for (int v : monthDays_) {
        if (v > 0) mdayPos_ |= std::uint64_t{1} << v;
        else mdayNeg_ |= std::uint64_t{1} << -v;
    }

    // Ordinals count within the month for MONTHLY and for YEARLY with BYMONTH, within the year
    // for other YEARLY rules; elsewhere (and beside BYWEEKNO) they are not defined and ignored.
    if (freq_ == MONTHLY) scope_ = Scope::Month;
    else if (freq_ == YEARLY && !hasWeekNo_) scope_ = hasMonth_ ? Scope::Month : Scope::Year;
    for (auto& w : weekdays_) {
        if (scope_ == Scope::Plain) w.n = 0;
        if (w.n == 0) plainWdays_ |= 1u << w.wday;
    }
    weekdays_.erase(std::remove_if(weekdays_.begin(), weekdays_.end(), [](const Weekday& w) { return w.n == 0; }),
                    weekdays_.end());

    std::vector<int> hours = InRange(rule.ByHour(), 0, 23, false);
    std::vector<int> minutes = InRange(rule.ByMinute(), 0, 59, false);
    std::vector<int> seconds = InRange(rule.BySecond(), 0, 59, false);
    auto orStart = [](bool has, std::vector<int> v, int fallback) {
        return has ? v : std::vector<int>{fallback};
    };
    if (freq_ >= DAILY) {
        for (int h : orStart(hasHour_, hours, sf_.hour))
            for (int m : orStart(hasMinute_, minutes, sf_.minute))
                for (int s : orStart(hasSecond_, seconds, sf_.second))
                    timesOfDay_.push_back(h * 3600 + m * 60 + s);
    } else {
        Secs unit = freq_ == HOURLY ? 3600 : freq_ == MINUTELY ? 60 : 1;
        if (freq_ == HOURLY) {
            for (int m : orStart(hasMinute_, minutes, sf_.minute))
                for (int s : orStart(hasSecond_, seconds, sf_.second)) subOffsets_.push_back(m * 60 + s);
        } else if (freq_ == MINUTELY) {
            for (int s : orStart(hasSecond_, seconds, sf_.second)) subOffsets_.push_back(s);
        } else {
            subOffsets_.push_back(0);
        }
        // The limiting parts: the periods of a day that may hold occurrences.
        periodAllowed_.assign(static_cast<size_t>(kSecondsPerDay / unit), false);
        std::vector<int> allH(24), allM(60), allS(60);
        std::iota(allH.begin(), allH.end(), 0);
        std::iota(allM.begin(), allM.end(), 0);
        std::iota(allS.begin(), allS.end(), 0);
        std::vector<int> hs = hasHour_ ? hours : allH;
        std::vector<int> ms = freq_ <= MINUTELY && hasMinute_ ? minutes : freq_ <= MINUTELY ? allM : std::vector<int>{0};
        std::vector<int> ss = freq_ == SECONDLY && hasSecond_ ? seconds : freq_ == SECONDLY ? allS : std::vector<int>{0};
        for (int h : hs)
            for (int m : ms)
                for (int s : ss) {
                    Secs tod = h * 3600 + m * 60 + s;
                    periodTods_.push_back(tod);
                    periodAllowed_[static_cast<size_t>(tod / unit)] = true;
                }
    }
}

RecurExpansion::Day RecurExpansion::MakeDay(int year, int month, int mday, std::int64_t jan1) {
    Day d;
    d.day = DaysFromCivil(year, month, mday);
    d.year = year;
    d.month = month;
    d.mday = mday;
    d.wday = WeekdayOfDays(d.day);
    d.yday = static_cast<int>(d.day - jan1) + 1;
    d.daysInMonth = DaysInMonth(year, month);
    d.daysInYear = IsLeapYear(year) ? 366 : 365;
    return d;
}

RecurExpansion::Day RecurExpansion::MakeDay(std::int64_t day) {
    const DateFields f = CivilFromDays(day);
    Day d;
    d.day = day;
    d.year = f.year;
    d.month = f.month;
    d.mday = f.day;
    d.wday = WeekdayOfDays(day);
    d.yday = static_cast<int>(day - DaysFromCivil(f.year, 1, 1)) + 1;
    d.daysInMonth = DaysInMonth(f.year, f.month);
    d.daysInYear = IsLeapYear(f.year) ? 366 : 365;
    return d;
}

std::int64_t RecurExpansion::FirstWeekStart(int year) const {
    // Week 1 is the first week with at least four days in the year: the one holding 4 January.
    std::int64_t jan4 = DaysFromCivil(year, 1, 4);
    return jan4 - (WeekdayOfDays(jan4) - wkst_ + 7) % 7;
}

bool RecurExpansion::WeekNoMatches(const Day& x) const {
    std::int64_t weekStart = x.day - (x.wday - wkst_ + 7) % 7;
    int weekYear = CivilFromDays(weekStart + 3).year;
    std::int64_t first = FirstWeekStart(weekYear);
    int no = static_cast<int>((weekStart - first) / 7) + 1;
    int weeks = WeeksInYear(weekYear);
    for (int v : weekNos_)
        if (v > 0 ? no == v : no == weeks + 1 + v) return true;
    return false;
}

bool RecurExpansion::DayMatches(const Day& x) const {
    if (hasMonth_ && !(monthMask_ & (1u << x.month))) return false;
    if (hasMonthDay_ && !(mdayPos_ & (std::uint64_t{1} << x.mday)) &&
        !(mdayNeg_ & (std::uint64_t{1} << (x.daysInMonth + 1 - x.mday))))
        return false;
    if (hasYearDay_) {
        bool any = false;
        for (int v : yearDays_)
            if (v > 0 ? x.yday == v : x.yday == x.daysInYear + 1 + v) {
                any = true;
                break;
            }
        if (!any) return false;
    }
    if (hasDay_ && !(plainWdays_ & (1u << x.wday))) {
        bool any = false;
        for (const Weekday& w : weekdays_) {
            if (w.wday != x.wday) continue;
            int pos = scope_ == Scope::Month ? x.mday : x.yday;
            int len = scope_ == Scope::Month ? x.daysInMonth : x.daysInYear;
            if (w.n > 0 ? (pos - 1) / 7 + 1 == w.n : (len - pos) / 7 + 1 == -w.n) {
                any = true;
                break;
            }
        }
        if (!any) return false;
    }
    if (hasWeekNo_ && !WeekNoMatches(x)) return false;
    return true;
}

void RecurExpansion::AddDayIfMatching(const Day& d) {
    if (DayMatches(d)) days_.push_back(d);
}

// The days of period k that pass every day-level part, ascending. Only the days a part could
// admit are visited; DayMatches still decides.
void RecurExpansion::CollectDays(std::int64_t k) {
    days_.clear();
    auto monthDays = [&](int y, int m, std::int64_t jan1) {
        int dim = DaysInMonth(y, m);
        if (hasMonthDay_) {
            std::uint64_t bits = 0;
            for (int v : monthDays_) {
                int d = v > 0 ? v : dim + 1 + v;
                if (d >= 1 && d <= dim) bits |= std::uint64_t{1} << d;
            }
            for (int d = 1; d <= dim; ++d)
                if (bits & (std::uint64_t{1} << d)) AddDayIfMatching(MakeDay(y, m, d, jan1));
        } else {
            Day x = MakeDay(y, m, 1, jan1);
            for (int d = 1; d <= dim; ++d) {
                if (DayMatches(x)) days_.push_back(x);
                ++x.day, ++x.mday, ++x.yday;
                x.wday = (x.wday + 1) % 7;
            }
        }
    };
    switch (freq_) {
        case YEARLY: {
            int y = static_cast<int>(baseYear_ + k);
            std::int64_t jan1 = DaysFromCivil(y, 1, 1);
            if (hasWeekNo_) {
                // The weeks of the year's own week numbering, which may reach into its neighbours.
                std::int64_t first = FirstWeekStart(y);
                int weeks = WeeksInYear(y);
                dayNumbers_.clear();
                for (int v : weekNos_) {
                    int w = v > 0 ? v : weeks + 1 + v;
                    if (w < 1 || w > weeks) continue;
                    for (int i = 0; i < 7; ++i) dayNumbers_.push_back(first + 7 * (w - 1) + i);
                }
                std::sort(dayNumbers_.begin(), dayNumbers_.end());
                dayNumbers_.erase(std::unique(dayNumbers_.begin(), dayNumbers_.end()), dayNumbers_.end());
                for (std::int64_t d : dayNumbers_) AddDayIfMatching(MakeDay(d));
            } else if (hasYearDay_ && !hasMonth_) {
                int diy = IsLeapYear(y) ? 366 : 365;
                dayNumbers_.clear();
                for (int v : yearDays_) {
                    int yd = v > 0 ? v : diy + 1 + v;
                    if (yd >= 1 && yd <= diy) dayNumbers_.push_back(jan1 + yd - 1);
                }
                std::sort(dayNumbers_.begin(), dayNumbers_.end());
                dayNumbers_.erase(std::unique(dayNumbers_.begin(), dayNumbers_.end()), dayNumbers_.end());
                for (std::int64_t d : dayNumbers_) AddDayIfMatching(MakeDay(d));
            } else {
                for (int m = 1; m <= 12; ++m)
                    if (!hasMonth_ || (monthMask_ & (1u << m))) monthDays(y, m, jan1);
            }
            break;
        }
        case MONTHLY: {
            std::int64_t mi = static_cast<std::int64_t>(sf_.year) * 12 + (sf_.month - 1) + k;
            int y = static_cast<int>(FloorDiv(mi, 12));
            int m = static_cast<int>(mi - static_cast<std::int64_t>(y) * 12) + 1;
            monthDays(y, m, DaysFromCivil(y, 1, 1));
            break;
        }
        case WEEKLY: {
            std::int64_t first = startDay_ - (WeekdayOfDays(startDay_) - wkst_ + 7) % 7 + 7 * k;
            // Weekly ordinals are ignored, so BYDAY is a plain set of weekdays: only those are built.
            const int firstWday = WeekdayOfDays(first);
            for (int i = 0; i < 7; ++i)
                if (!hasDay_ || (plainWdays_ & (1u << ((firstWday + i) % 7)))) AddDayIfMatching(MakeDay(first + i));
            break;
        }
        default: AddDayIfMatching(MakeDay(startDay_ + k)); break;
    }
}

bool RecurExpansion::PeriodFrame(std::int64_t k, std::int64_t& firstDay) {
    switch (freq_) {
        case YEARLY: {
            std::int64_t y = baseYear_ + k;
            if (y > 9999) return false;
            firstDay = DaysFromCivil(static_cast<int>(y), 1, 1) - (hasWeekNo_ ? 7 : 0);
            break;
        }
        case MONTHLY: {
            std::int64_t mi = static_cast<std::int64_t>(sf_.year) * 12 + (sf_.month - 1) + k;
            if (mi / 12 > 9999) return false;
            firstDay = DaysFromCivil(static_cast<int>(mi / 12), static_cast<int>(mi % 12) + 1, 1);
            break;
        }
        case WEEKLY:
            firstDay = startDay_ - (WeekdayOfDays(startDay_) - wkst_ + 7) % 7 + 7 * k;
            break;
        default: firstDay = startDay_ + k; break;
    }
    if (firstDay > kLastDay) return false;
    Secs firstSec = firstDay * kSecondsPerDay;
    if (firstSec >= to_) return false;
    if (hasUntil_ && firstSec > until_) return false;
    return true;
}

std::int64_t RecurExpansion::FirstPeriodIndex() const {
    std::int64_t lowerDay = FloorDiv(lower_, kSecondsPerDay);
    if (lowerDay <= startDay_) return 0;
    std::int64_t units = 0;
    switch (freq_) {
        case YEARLY: units = CivilFromDays(lowerDay).year - baseYear_; break;
        case MONTHLY: {
            DateFields f = CivilFromDays(lowerDay);
            units = (static_cast<std::int64_t>(f.year) * 12 + f.month) - (static_cast<std::int64_t>(sf_.year) * 12 + sf_.month);
            break;
        }
        case WEEKLY: {
            std::int64_t w0 = startDay_ - (WeekdayOfDays(startDay_) - wkst_ + 7) % 7;
            units = FloorDiv(lowerDay - w0, 7);
            break;
        }
        default: units = lowerDay - startDay_; break;
    }
    std::int64_t k = FloorDiv(units, interval_) * interval_;
    // A year of week numbers begins up to three days before 1 January, so the year before may
    // still reach the range.
    if (freq_ == YEARLY && hasWeekNo_) k -= interval_;
    return k < 0 ? 0 : k;
}

bool RecurExpansion::Emit(Secs c) {
    if (c < start_) return true;  // the part of the first period before the start
    if (c == start_ && startIsOccurrence_) return true;
    if (dates_ && c % kSecondsPerDay != 0) return true;
    if (hasUntil_ && c > until_) return false;
    if (c >= to_) return false;
    if (++examined_ > kMaxCandidates) return false;
    ++counted_;
    if (c > lower_) {
        out_->push_back(c);
        if (out_->size() >= kMaxOccurrences) return false;
    }
    return count_ == 0 || counted_ < count_;
}

bool RecurExpansion::EmitSet() {
    if (setPos_.empty()) {
        for (Secs c : set_)
            if (!Emit(c)) return false;
        return true;
    }
    const int n = static_cast<int>(set_.size());
    // Positions are few; pick them in ascending order of the set without a second buffer.
    std::uint64_t small = 0;
    std::vector<int> picked;
    for (int v : setPos_) {
        int i = v > 0 ? v - 1 : n + v;
        if (i < 0 || i >= n) continue;
        if (i < 64) small |= std::uint64_t{1} << i;
        else picked.push_back(i);
    }
    for (int i = 0; i < 64 && i < n; ++i)
        if ((small & (std::uint64_t{1} << i)) && !Emit(set_[static_cast<size_t>(i)])) return false;
    SortUnique(picked);
    for (int i : picked)
        if (!Emit(set_[static_cast<size_t>(i)])) return false;
    return true;
}

void RecurExpansion::RunPeriods() {
    if (timesOfDay_.empty()) return;  // the time parts admit no time of day at all
    std::int64_t maxEmpty = 0;
    switch (freq_) {
        case YEARLY: maxEmpty = 400; break;
        case MONTHLY: maxEmpty = 4800; break;
        case WEEKLY: maxEmpty = 20871; break;
        default: maxEmpty = kCycleDays; break;
    }
    maxEmpty /= std::gcd(maxEmpty, interval_);
    std::int64_t empty = 0;
    std::int64_t k = count_ == 0 ? FirstPeriodIndex() : 0;
    for (;; k += interval_) {
        std::int64_t firstDay = 0;
        if (!PeriodFrame(k, firstDay)) return;
        CollectDays(k);
        set_.clear();
        for (const Day& d : days_)
            for (Secs tod : timesOfDay_) set_.push_back(d.day * kSecondsPerDay + tod);
        if (set_.empty()) {
            if (++empty >= maxEmpty) return;
            continue;
        }
        empty = 0;
        if (!EmitSet()) return;
    }
}

void RecurExpansion::RunSubDaily() {
    if (subOffsets_.empty() || periodTods_.empty()) return;  // the time parts admit nothing
    const Secs unit = freq_ == HOURLY ? 3600 : freq_ == MINUTELY ? 60 : 1;
    const Secs step = interval_ * unit;
    const Secs base = FloorDiv(start_, unit) * unit;
    std::int64_t day = startDay_;
    if (count_ == 0) day = std::max(day, FloorDiv(lower_, kSecondsPerDay));
    std::int64_t emptyDays = 0;
    auto period = [&](Secs p) {
        set_.clear();
        for (Secs off : subOffsets_) set_.push_back(p + off);
        return EmitSet();
    };
    for (;; ++day) {
        const Secs ds = day * kSecondsPerDay;
        if (day > kLastDay || ds >= to_ || (hasUntil_ && ds > until_)) return;
        if (!DayMatches(MakeDay(day))) {
            if (++emptyDays >= kCycleDays) return;
            continue;
        }
        bool produced = false;
        if (static_cast<Secs>(periodTods_.size()) <= kSecondsPerDay / step + 1) {
            // Few allowed periods: test each against the interval's grid.
            for (Secs tod : periodTods_) {
                Secs p = ds + tod;
                if (p < base || (p - base) % step != 0) continue;
                produced = true;
                if (!period(p)) return;
            }
        } else {
            Secs first = ds <= base ? base : base + (ds - base + step - 1) / step * step;
            for (Secs p = first; p < ds + kSecondsPerDay; p += step) {
                if (!periodAllowed_[static_cast<size_t>((p - ds) / unit)]) continue;
                produced = true;
                if (!period(p)) return;
            }
        }
        if (produced) emptyDays = 0;
        else if (++emptyDays >= kCycleDays) return;
    }
}

void RecurExpansion::Run(Secs lower, Secs to, std::vector<Secs>& out) {
    out_ = &out;
    lower_ = lower;
    to_ = to;
    counted_ = examined_ = 0;
    if (startIsOccurrence_) {
        // The first start is the first occurrence, whatever the rule says about it.
        counted_ = 1;
        if (start_ > lower && start_ < to) out.push_back(start_);
        if (count_ == 1 || start_ >= to || (hasUntil_ && start_ > until_)) return;
    }
    if (freq_ >= DAILY) RunPeriods();
    else RunSubDaily();
}

}  // namespace quillet
