#include "quillet/ZoneRules.h"

#include <date/tz.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "quillet/TimeZone.h"
#include "quillet/WindowsZones.h"

namespace quillet {

namespace {

// Seconds between 1899-12-30 and 1970-01-01.
constexpr Secs kUnixOffset = 25569LL * kSecondsPerDay;

class IanaRules final : public ZoneRules {
public:
    explicit IanaRules(const date::time_zone* tz) : tz_(tz) { Tabulate(); }
    int OffsetAt(Secs utc) const override {
        if (const Span* s = Find(utc)) return s->offset;
        return static_cast<int>(Info(utc).offset.count());
    }
    bool IsDaylightAt(Secs utc) const override {
        if (const Span* s = Find(utc)) return s->daylight;
        return Info(utc).save.count() != 0;
    }
    std::string AbbrevAt(Secs utc) const override { return Info(utc).abbrev; }

private:
    // The offsets between 1900 and 2200 as a sorted table: a lookup there is a binary search over a
    // few hundred entries instead of the database's own, much slower, search.
    struct Span {
        Secs begin;
        int offset;
        bool daylight;
    };
    void Tabulate() {
        const Secs first = FieldsToSeconds({1900, 1, 1, 0, 0, 0}), last = FieldsToSeconds({2200, 1, 1, 0, 0, 0});
        for (Secs t = first; t < last;) {
            date::sys_info info = Info(t);
            spans_.push_back({t, static_cast<int>(info.offset.count()), info.save.count() != 0});
            const auto end = info.end.time_since_epoch().count();
            if (end >= last - kUnixOffset) break;
            t = std::max<Secs>(t + 1, end + kUnixOffset);
        }
        tableEnd_ = last;
    }
    const Span* Find(Secs utc) const {
        if (spans_.empty() || utc < spans_.front().begin || utc >= tableEnd_) return nullptr;
        auto it = std::upper_bound(spans_.begin(), spans_.end(), utc, [](Secs u, const Span& s) { return u < s.begin; });
        return &*(it - 1);
    }
    date::sys_info Info(Secs utc) const {
        return tz_->get_info(date::sys_seconds(std::chrono::seconds(utc - kUnixOffset)));
    }
    const date::time_zone* tz_;
    std::vector<Span> spans_;
    Secs tableEnd_ = 0;
};

// The C library's view of the host zone (TZ as it reads it); for rule strings date/tz cannot name.
class CLibRules final : public ZoneRules {
public:
    int OffsetAt(Secs utc) const override { return static_cast<int>(Tm(utc).tm_gmtoff); }
    bool IsDaylightAt(Secs utc) const override { return Tm(utc).tm_isdst > 0; }
    std::string AbbrevAt(Secs utc) const override {
        std::tm tm = Tm(utc);
        return tm.tm_zone ? tm.tm_zone : "";
    }

private:
    static std::tm Tm(Secs utc) {
        std::time_t t = static_cast<std::time_t>(utc - kUnixOffset);
        std::tm tm{};
        localtime_r(&t, &tm);
        return tm;
    }
};

class FixedRules final : public ZoneRules {
public:
    int OffsetAt(Secs) const override { return 0; }
    std::string AbbrevAt(Secs) const override { return "UTC"; }
};

// A VTIMEZONE's observances as a sorted list of changes of offset.
class DefinitionRules final : public ZoneRules {
public:
    struct Change {
        Secs utc;
        int offset;
        bool daylight;
        std::string name;
    };
    DefinitionRules(std::vector<Change> changes, int initial) : changes_(std::move(changes)), initial_(initial) {}

    int OffsetAt(Secs utc) const override {
        const Change* c = Find(utc);
        return c ? c->offset : initial_;
    }
    bool IsDaylightAt(Secs utc) const override {
        const Change* c = Find(utc);
        return c && c->daylight;
    }
    std::string AbbrevAt(Secs utc) const override {
        const Change* c = Find(utc);
        return c ? c->name : std::string();
    }

private:
    const Change* Find(Secs utc) const {
        auto it = std::upper_bound(changes_.begin(), changes_.end(), utc,
                                   [](Secs u, const Change& c) { return u < c.utc; });
        return it == changes_.begin() ? nullptr : &*(it - 1);
    }
    std::vector<Change> changes_;
    int initial_;
};

// Rules are expanded up to this wall time; later instants keep the last offset.
const Secs kDefinitionHorizon = FieldsToSeconds({2200, 1, 1, 0, 0, 0});

std::string ZoneinfoName(std::string_view tz) {
    // ":/usr/share/zoneinfo/Europe/Berlin" and similar absolute paths name a zone by their tail.
    size_t at = tz.find("zoneinfo/");
    if (at != std::string_view::npos) return std::string(tz.substr(at + 9));
    return std::string(tz);
}

ZoneRulesPtr BuildHostRules(const char* tz) {
    try {
        if (!tz) {
            if (const date::time_zone* z = date::current_zone()) return std::make_shared<IanaRules>(z);
        } else {
            std::string_view v = tz;
            if (!v.empty() && v.front() == ':') v.remove_prefix(1);
            if (v.empty()) return std::make_shared<FixedRules>();
            if (auto z = IanaZone(ZoneinfoName(v))) return z;
        }
    } catch (const std::exception&) {
        // No usable zone database entry: the C library still knows the host's rules.
    }
    return std::make_shared<CLibRules>();
}

thread_local iCalendar* tCurrentCalendar = nullptr;

}  // namespace

Secs ZoneRules::ToUTC(Secs wall) const {
    // The offsets a day either side bracket any single change near this wall time.
    const int before = OffsetAt(wall - kSecondsPerDay);
    const int after = OffsetAt(wall + kSecondsPerDay);
    if (before == after) return wall - before;  // no change near: the usual case
    const Secs a = wall - before, b = wall - after;
    const bool aHolds = OffsetAt(a) == before, bHolds = OffsetAt(b) == after;
    if (aHolds && bHolds) return std::min(a, b);
    if (bHolds) return b;
    return a;  // the offset before a gap, or the only one that holds
}

ZoneRulesPtr IanaZone(std::string_view name) {
    if (name.empty()) return nullptr;
    try {
        const date::time_zone* z = date::locate_zone(name);
        return z ? std::make_shared<IanaRules>(z) : nullptr;
    } catch (const std::exception&) {
        return nullptr;
    }
}

ZoneRulesPtr ZoneByName(const std::string& tzid) {
    static std::mutex mutex;
    static std::unordered_map<std::string, ZoneRulesPtr> known;
    std::lock_guard<std::mutex> lock(mutex);
    auto it = known.find(tzid);
    if (it != known.end()) return it->second;
    ZoneRulesPtr z = IanaZone(tzid);
    if (!z) {
        if (const char* iana = WindowsZoneToIana(tzid)) z = IanaZone(iana);
    }
    if (!z && !tzid.empty() && tzid.front() == '/') {
        // Prefixed identifiers such as "/example.org/20050126_1/America/New_York": the longest
        // tail that names a zone.
        for (size_t p = tzid.find('/', 1); !z && p != std::string::npos; p = tzid.find('/', p + 1))
            z = IanaZone(std::string_view(tzid).substr(p + 1));
    }
    known.emplace(tzid, z);
    return z;
}

ZoneRulesPtr ZoneFromDefinition(const TimeZone& zone) {
    std::vector<DefinitionRules::Change> changes;
    int initial = 0;
    Secs earliest = 0;
    bool any = false;
    for (const auto& ob : zone.Observances()) {
        const TimeZoneInfo& info = *ob.Info;
        if (!info.HasDTStart()) continue;
        const int from = info.TZOffsetFrom()->TotalSeconds();
        const int to = info.TZOffsetTo()->TotalSeconds();
        std::string name = info.TZName().Empty() ? std::string() : info.TZName().Item(1)->Value();
        // Onsets are wall times of the clock in force before them, unless written in UTC.
        auto onset = [&](const Date_Time& d) { return d.IsUTCTime() ? d.ValueSeconds() : d.ValueSeconds() - from; };
        auto add = [&](Secs utc) {
            changes.push_back({utc, to, ob.Daylight, name});
            if (!any || utc < earliest) earliest = utc, initial = from, any = true;
        };
        const Date_Time& start = *info.DTStart();
        add(onset(start));
        const Secs wallStart = start.IsUTCTime() ? start.ValueSeconds() + from : start.ValueSeconds();
        for (const auto& rule : info.RRule()) {
            if (rule->Frequency() < SECONDLY || rule->Frequency() > YEARLY) continue;
            Recur local = *rule;
            if (rule->pUntil()->IsSet() && !rule->pUntil()->IsDate() && !rule->pUntil()->KeepsWallTime()) {
                // UNTIL is an instant; the onsets run on the clock before the change.
                auto until = std::make_shared<Date_Time>();
                until->SetKeepsWallTime(true);
                until->SetValueSeconds(rule->pUntil()->ValueSeconds() + from);
                local.SetpUntil(until);
            }
            std::vector<Secs> walls;
            try {
                local.ExpandSeconds(wallStart, 1, wallStart, kDefinitionHorizon, true, walls);
            } catch (const std::exception&) {
                continue;
            }
            for (Secs w : walls) add(w - from);
        }
        for (const auto& d : info.RDate()) add(onset(*d));
    }
    if (changes.empty()) return nullptr;
    std::stable_sort(changes.begin(), changes.end(),
                     [](const DefinitionRules::Change& a, const DefinitionRules::Change& b) { return a.utc < b.utc; });
    return std::make_shared<DefinitionRules>(std::move(changes), initial);
}

ZoneRulesPtr HostZoneRules() {
    struct Cache {
        bool valid = false;
        bool set = false;
        std::string tz;
        ZoneRulesPtr rules;
    };
    thread_local Cache cache;
    const char* tz = std::getenv("TZ");
    if (!cache.valid || cache.set != (tz != nullptr) || (tz && cache.tz != tz)) {
        tzset();  // the C library fall-back must read the same TZ
        cache.rules = BuildHostRules(tz);
        cache.set = tz != nullptr;
        cache.tz = tz ? tz : "";
        cache.valid = true;
    }
    return cache.rules;
}

ZoneParseScope::ZoneParseScope(iCalendar* cal) : previous_(tCurrentCalendar) { tCurrentCalendar = cal; }
ZoneParseScope::~ZoneParseScope() { tCurrentCalendar = previous_; }
iCalendar* ZoneParseScope::Current() { return tCurrentCalendar; }

}  // namespace quillet
