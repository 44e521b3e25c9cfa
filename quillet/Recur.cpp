#include "quillet/Recur.h"

#include <cmath>
#include <cstdlib>

#include "quillet/ContentLines.h"
#include "quillet/LibraryError.h"
#include "quillet/RecurExpansion.h"

namespace quillet {

namespace {

constexpr std::string_view kFrequencyList = "NONE|SECONDLY|MINUTELY|HOURLY|DAILY|WEEKLY|MONTHLY|YEARLY";

[[noreturn]] void Invalid() { throw LibraryError(kErrFormat, "Recur", "Invalid Recur format"); }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

// A decimal number (sign and fraction allowed), rounded as the caller asks.
int ParseNumber(std::string_view text, bool roundDown) {
    std::string s(Trim(text));
    if (s.empty()) Invalid();
    char* end = nullptr;
    double v = std::strtod(s.c_str(), &end);
    if (end != s.c_str() + s.size() || !std::isfinite(v)) Invalid();
    v = roundDown ? std::floor(v) : std::nearbyint(v);
    if (v < -2147483648.0 || v > 2147483647.0) Invalid();
    return static_cast<int>(v);
}

IntegerCollection ParseList(std::string_view value) {
    IntegerCollection out;
    for (size_t pos = 0;;) {
        size_t comma = value.find(',', pos);
        out.Add(ParseNumber(value.substr(pos, comma == std::string_view::npos ? comma : comma - pos), true));
        if (comma == std::string_view::npos) break;
        pos = comma + 1;
    }
    return out;
}

void AppendList(std::string& out, std::string_view name, const IntegerCollection& list) {
    if (list.Empty()) return;
    out += ';';
    out += name;
    out += '=';
    bool first = true;
    for (int v : list) {
        if (!first) out += ',';
        out += std::to_string(v);
        first = false;
    }
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

// Calendar-month arithmetic of FirstPeriodStart: the day of the month is clamped to the
// target month, which is fine for naming a period but never used to step through periods.
Secs AddMonthsClamped(Secs t, std::int64_t months) {
    DateFields f = SecondsToFields(t);
    std::int64_t m = static_cast<std::int64_t>(f.year) * 12 + (f.month - 1) + months;
    f.year = static_cast<int>(FloorDiv(m, 12));
    f.month = static_cast<int>(m - static_cast<std::int64_t>(f.year) * 12) + 1;
    if (f.day > DaysInMonth(f.year, f.month)) f.day = DaysInMonth(f.year, f.month);
    return FieldsToSeconds(f);
}

}  // namespace

Recur::Recur() : until_(std::make_shared<Date_Time>()) {}

void Recur::Reset() {
    count_ = 0;
    interval_ = 1;
    frequency_ = static_cast<EnumFrequencyType>(-1);
    bySecond_.Clear();
    byMinute_.Clear();
    byHour_.Clear();
    byDay_.Clear();
    byMonthDay_.Clear();
    byYearDay_.Clear();
    byWeekNo_.Clear();
    byMonth_.Clear();
    bySetPos_.Clear();
    wkst_ = 1;
    wkstGiven_ = false;
    // The whole limit goes: a text without UNTIL must not inherit the limit of an earlier one.
    until_->Reset();
}

bool Recur::TryParse(std::string_view vData) {
    Reset();
    bool result = true;
    try {
        for (size_t pos = 0; pos <= vData.size();) {
            size_t semi = vData.find(';', pos);
            std::string_view part =
                Trim(vData.substr(pos, semi == std::string_view::npos ? semi : semi - pos));
            pos = semi == std::string_view::npos ? vData.size() + 1 : semi + 1;
            size_t eq = part.find('=');
            if (eq == std::string_view::npos) continue;
            std::string_view name = part.substr(0, eq);
            std::string_view value = part.substr(eq + 1);
            if (name == "FREQ") {
                frequency_ = static_cast<EnumFrequencyType>(IndexInList(kFrequencyList, value));
                if (frequency_ == NONE) result = false;
            } else if (name == "INTERVAL") {
                interval_ = ParseNumber(value, false);
                // An interval must be positive; 0 means the default, which a save then states.
                if (interval_ == 0) interval_ = 1;
            } else if (name == "COUNT") {
                count_ = ParseNumber(value, false);
            } else if (name == "BYSECOND") {
                bySecond_ = ParseList(value);
            } else if (name == "BYMINUTE") {
                byMinute_ = ParseList(value);
            } else if (name == "BYHOUR") {
                byHour_ = ParseList(value);
            } else if (name == "BYMONTHDAY") {
                byMonthDay_ = ParseList(value);
            } else if (name == "BYYEARDAY") {
                byYearDay_ = ParseList(value);
            } else if (name == "BYWEEKNO") {
                byWeekNo_ = ParseList(value);
            } else if (name == "BYMONTH") {
                byMonth_ = ParseList(value);
            } else if (name == "BYSETPOS") {
                bySetPos_ = ParseList(value);
            } else if (name == "BYDAY") {
                for (size_t p = 0;;) {
                    size_t comma = value.find(',', p);
                    DaySpecifier d;
                    d.TryParse(value.substr(p, comma == std::string_view::npos ? comma : comma - p));
                    byDay_.Add(d.DayOfWeek(), d.Num());
                    if (comma == std::string_view::npos) break;
                    p = comma + 1;
                }
            } else if (name == "WKST") {
                wkst_ = IndexInList(kDayKeywords, value);
                wkstGiven_ = true;
            } else if (name == "UNTIL") {
                until_->TryParse(value);
            }
        }
    } catch (const std::exception&) {
        Invalid();
    }
    return result;
}

std::string Recur::ToString() const {
    std::string out;
    if (frequency_ != -1) {
        if (frequency_ < 0 || frequency_ > YEARLY) ThrowSubscript("Recur");
        out += "FREQ=" + ItemInList(kFrequencyList, frequency_);
    }
    if (interval_ != 0) out += ";INTERVAL=" + std::to_string(interval_);
    if (count_ != 0) out += ";COUNT=" + std::to_string(count_);
    AppendList(out, "BYSECOND", bySecond_);
    AppendList(out, "BYMINUTE", byMinute_);
    AppendList(out, "BYHOUR", byHour_);
    if (!byDay_.Empty()) {
        out += ";BYDAY=";
        bool first = true;
        for (const auto& d : byDay_) {
            if (!first) out += ',';
            out += d->ToString();
            first = false;
        }
    }
    AppendList(out, "BYMONTHDAY", byMonthDay_);
    AppendList(out, "BYYEARDAY", byYearDay_);
    AppendList(out, "BYWEEKNO", byWeekNo_);
    AppendList(out, "BYMONTH", byMonth_);
    AppendList(out, "BYSETPOS", bySetPos_);
    // A rule read without WKST expands with Monday; where the week start changes its meaning,
    // that is what is written, so that the rule reads back the same.
    bool weekMatters = !byWeekNo_.Empty() || (frequency_ == WEEKLY && interval_ > 1 && !byDay_.Empty());
    if (wkst_ == 0 || (!wkstGiven_ && weekMatters)) {
        out += ";WKST=MO";
    } else if (wkst_ != -1) {
        if (wkst_ < 0 || wkst_ > 7) ThrowSubscript("Recur");
        out += ";WKST=" + ItemInList(kDayKeywords, wkst_);
    }
    if (until_->IsSet()) {
        // The value text is what follows the colon of the date's own text form.
        std::string text = until_->ToString();
        out += ";UNTIL=" + text.substr(text.rfind(':') + 1);
    }
    if (!out.empty() && out.front() == ';') out.erase(0, 1);
    return out;
}

int Recur::WeekStart() const {
    if (!wkstGiven_ || wkst_ < 1 || wkst_ > 7) return 1;
    return wkst_ - 1;
}

bool Recur::LastStartOnClock(Secs& out) const {
    if (!until_->IsSet()) return false;
    // A date limit admits every start on that date; a date-time limit is an instant, which
    // the event's clock (host-local wall time) expresses as its local time.
    out = until_->IsDate() ? until_->ValueSeconds() + kSecondsPerDay - 1 : until_->LocalSeconds();
    return true;
}

void Recur::CheckFrequency() const {
    if (frequency_ < 0 || frequency_ > YEARLY) ThrowSubscript("Recur");
    if (frequency_ == NONE)
        throw LibraryError(kErrInvalidArgument, "Recur", "Invalid procedure call or argument");
}

std::vector<std::int64_t> Recur::Signature(Secs s, bool startIsOccurrence, bool dates) const {
    Secs until = 0;
    const bool hasUntil = LastStartOnClock(until);
    std::vector<std::int64_t> v = {s, startIsOccurrence, dates, frequency_, interval_, count_, WeekStart(), hasUntil, until};
    for (const IntegerCollection* list : {&bySecond_, &byMinute_, &byHour_, &byMonthDay_, &byYearDay_, &byWeekNo_,
                                          &byMonth_, &bySetPos_}) {
        v.push_back(list->Count());
        for (int x : *list) v.push_back(x);
    }
    for (const auto& d : byDay_) {
        v.push_back(d->DayOfWeek());
        v.push_back(d->Num());
    }
    return v;
}

void Recur::ExpandSeconds(Secs s, Secs length, Secs from, Secs to, bool vStartIsOccurrence,
                          std::vector<Secs>& out, bool vDates) const {
    CheckFrequency();
    // No occurrence starts before the first start: a series that begins after the range is skipped
    // without setting up its walk.
    if (s >= to) return;
    if (count_ > 0) {
        std::vector<std::int64_t> signature = Signature(s, vStartIsOccurrence, vDates);
        if (signature != countedEnd_.signature) {
            std::vector<Secs> all;
            RecurExpansion whole(*this, s, vStartIsOccurrence, vDates);
            whole.Run(s - 1, FieldsToSeconds({10000, 1, 1, 0, 0, 0}), all);
            countedEnd_.signature = std::move(signature);
            countedEnd_.known = static_cast<std::int64_t>(all.size()) == count_;
            countedEnd_.any = !all.empty();
            countedEnd_.lastStart = all.empty() ? 0 : all.back();
        }
        if (countedEnd_.known && (!countedEnd_.any || countedEnd_.lastStart <= from - length)) return;
    }
    RecurExpansion x(*this, s, vStartIsOccurrence, vDates);
    x.Run(from - length, to, out);
}

std::vector<DateValue> Recur::Expand(DateValue s, DateValue e, DateValue from, DateValue to) const {
    std::vector<Secs> starts;
    Secs ss = ToSeconds(s);
    ExpandSeconds(ss, ToSeconds(e) - ss, ToSeconds(from), ToSeconds(to), true, starts);
    std::vector<DateValue> out;
    out.reserve(starts.size());
    for (Secs v : starts) out.push_back(FromSeconds(v));
    return out;
}

DateValue Recur::FirstPeriodStart(DateValue s, DateValue e, DateValue from) const {
    CheckFrequency();
    Secs ss = ToSeconds(s);
    Secs ff = ToSeconds(from);
    if (ss > ff) return s;
    Secs lower = ff - (ToSeconds(e) - ss);
    const std::int64_t interval = interval_ < 1 ? 1 : interval_;
    auto day = [](Secs t) { return FloorDiv(t, kSecondsPerDay); };
    std::int64_t n = 0;
    switch (frequency_) {
        case SECONDLY: n = lower - ss; break;
        case MINUTELY: n = FloorDiv(lower, 60) - FloorDiv(ss, 60); break;
        case HOURLY: n = FloorDiv(lower, 3600) - FloorDiv(ss, 3600); break;
        case DAILY: n = day(lower) - day(ss); break;
        case WEEKLY: {
            auto weekOf = [&](Secs t) {
                std::int64_t d = day(t);
                return d - (WeekdayOfDays(d) - WeekStart() + 7) % 7;
            };
            n = (weekOf(lower) - weekOf(ss)) / 7;
            break;
        }
        case MONTHLY: {
            DateFields a = SecondsToFields(ss), b = SecondsToFields(lower);
            n = (static_cast<std::int64_t>(b.year) * 12 + b.month) - (static_cast<std::int64_t>(a.year) * 12 + a.month);
            break;
        }
        case YEARLY: n = SecondsToFields(lower).year - SecondsToFields(ss).year; break;
        default: break;
    }
    if (n <= 0) return s;
    std::int64_t k = (n + interval - 1) / interval * interval;
    switch (frequency_) {
        case SECONDLY: return FromSeconds(ss + k);
        case MINUTELY: return FromSeconds(ss + k * 60);
        case HOURLY: return FromSeconds(ss + k * 3600);
        case DAILY: return FromSeconds(ss + k * kSecondsPerDay);
        case WEEKLY: return FromSeconds(ss + k * 7 * kSecondsPerDay);
        case MONTHLY: return FromSeconds(AddMonthsClamped(ss, k));
        default: return FromSeconds(AddMonthsClamped(ss, k * 12));
    }
}

}  // namespace quillet
