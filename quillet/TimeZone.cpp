#include "quillet/TimeZone.h"

#include "quillet/ContentLines.h"
#include "quillet/HostZone.h"
#include "quillet/LibraryError.h"
#include "quillet/PropertyText.h"
#include "quillet/ZoneRules.h"

namespace quillet {

namespace {

constexpr DateValue kNotComputed = 3.0;  // 2 January 1900
constexpr DateValue kNoOnset = 2.0;      // 1 January 1900

// Onsets and RDATEs of an observance are wall times of the zone itself, not of the host.
Date_TimePtr WallDate() {
    auto d = std::make_shared<Date_Time>();
    d->SetKeepsWallTime(true);
    return d;
}

void WriteUnchanged(std::vector<std::string>& lines, const char* name, const TextCollection& c) {
    for (const auto& t : c) lines.push_back(std::string(name) + t->Params() + ":" + t->Value());
}

std::shared_ptr<Text> Unchanged(const PropertyEntry& e) {
    auto t = std::make_shared<Text>(RawOf(e));
    t->SetParams(e.Params);
    return t;
}

std::string OffsetText(int seconds) {
    UTC_Offset o;
    o.SetPositive(seconds >= 0);
    int a = seconds < 0 ? -seconds : seconds;
    o.SetHours(a / 3600);
    o.SetMinutes(a / 60 % 60);
    o.SetSeconds(a % 60);
    return o.ToColonString();
}

}  // namespace

TimeZoneInfo::TimeZoneInfo()
    : dtstart_(WallDate()), from_(std::make_shared<UTC_Offset>()), to_(std::make_shared<UTC_Offset>()) {}

void TimeZoneInfo::SetDTStart(Date_TimePtr v) {
    dtstart_ = v ? std::move(v) : WallDate();
}

void TimeZoneInfo::Reset() {
    dtstart_ = WallDate();
    tzname_.Clear();
    comment_.Clear();
    rdate_.Clear();
    rrule_.Clear();
    xprop_.Clear();
    from_->Reset();
    to_->Reset();
    occur_ = kNotComputed;
}

void TimeZoneInfo::TryParse(std::string_view text) {
    Reset();
    try {
        for (PropertyEntry& e : ParseContentLines(text)) {
            const std::string& raw = RawOf(e);
            if (e.IsComponent) xprop_.Add(std::make_shared<PropertyEntry>(std::move(e)));
            else if (e.Name == "DTSTART") ReadDate(*dtstart_, e);
            else if (e.Name == "TZNAME") tzname_.Add(Unchanged(e));
            else if (e.Name == "TZOFFSETFROM") from_->TryParse(raw);
            else if (e.Name == "TZOFFSETTO") to_->TryParse(raw);
            else if (e.Name == "COMMENT") comment_.Add(Unchanged(e));
            else if (e.Name == "RDATE") {
                // Every value of a multi-valued line.
                size_t pos = 0;
                while (pos <= raw.size()) {
                    size_t comma = raw.find(',', pos);
                    std::string_view one = std::string_view(raw).substr(
                        pos, comma == std::string::npos ? std::string::npos : comma - pos);
                    if (!one.empty()) {
                        auto d = WallDate();
                        d->ParseProperty(e.Params, one);
                        rdate_.Add(d);
                    }
                    if (comma == std::string::npos) break;
                    pos = comma + 1;
                }
            } else if (e.Name == "RRULE") {
                auto r = std::make_shared<Recur>();
                r->TryParse(raw);
                r->SetParams(e.Params);
                rrule_.Add(r);
            } else {
                xprop_.Add(std::make_shared<PropertyEntry>(std::move(e)));
            }
        }
    } catch (const std::exception&) {
        throw LibraryError(kErrFormat, "TimeZoneInfo", "Invalid TimeZoneInfo format");
    }
}

std::string TimeZoneInfo::ToString() const {
    if (!dtstart_->IsSet()) throw LibraryError(kErrFormat, "TimeZoneInfo", "must input DTStart property");
    std::vector<std::string> lines;
    lines.push_back("DTSTART" + dtstart_->ToString());
    WriteUnchanged(lines, "TZNAME", tzname_);
    lines.push_back("TZOFFSETFROM:" + from_->ToString());
    lines.push_back("TZOFFSETTO:" + to_->ToString());
    WriteUnchanged(lines, "COMMENT", comment_);
    WriteDates(lines, "RDATE", rdate_);
    WriteRules(lines, "RRULE", rrule_);
    WriteXProps(lines, xprop_);
    return JoinLines(lines);
}

DateValue TimeZoneInfo::OccurDate() {
    if (occur_ != kNotComputed) return occur_;
    try {
        if (rrule_.Empty()) return kNoOnset;
        DateValue s = dtstart_->Value();
        occur_ = rrule_.Item(1)->FirstPeriodStart(s, s, NowLocal());
        return occur_;
    } catch (const std::exception&) {
        occur_ = kNotComputed;
        return kNoOnset;
    }
}

TimeZone::TimeZone()
    : lastModified_(std::make_shared<Date_Time>()), tzurl_(std::make_shared<URI>()) {}

TimeZoneInfoPtr TimeZone::Last(bool daylight) {
    for (auto it = observances_.rbegin(); it != observances_.rend(); ++it)
        if (it->Daylight == daylight) return it->Info;
    // Comes into being empty on first touch; a parsed zone has reset both of its observances.
    auto info = std::make_shared<TimeZoneInfo>();
    if (parsed_) info->Reset();
    observances_.push_back({daylight, info});
    return info;
}

void TimeZone::Replace(bool daylight, TimeZoneInfoPtr v) {
    if (!v) v = std::make_shared<TimeZoneInfo>();
    for (auto it = observances_.rbegin(); it != observances_.rend(); ++it) {
        if (it->Daylight == daylight) {
            it->Info = std::move(v);
            return;
        }
    }
    observances_.push_back({daylight, std::move(v)});
}

void TimeZone::Reset() {
    tzid_.clear();
    tzidParams_.clear();
    lastModified_ = std::make_shared<Date_Time>();
    tzurl_ = std::make_shared<URI>();
    observances_.clear();
    xprop_ = XPropList();
    current_.reset();
    parsed_ = true;
}

void TimeZone::TryParse(std::string_view text) {
    Reset();
    try {
        for (PropertyEntry& e : ParseContentLines(text)) {
            if (!e.IsComponent && e.Name == "TZID") {
                tzid_ = RawOf(e);
                tzidParams_ = e.Params;
            }
            else if (!e.IsComponent && e.Name == "LAST-MODIFIED") ReadDate(*lastModified_, e);
            else if (!e.IsComponent && e.Name == "TZURL") {
                tzurl_->SetValue(RawOf(e));
                tzurl_->SetParams(e.Params);
            } else if (e.IsComponent && (e.Name == "STANDARD" || e.Name == "DAYLIGHT")) {
                auto info = std::make_shared<TimeZoneInfo>();
                info->TryParse(e.Value);
                observances_.push_back({e.Name == "DAYLIGHT", info});
            } else {
                xprop_.Add(std::make_shared<PropertyEntry>(std::move(e)));
            }
        }
    } catch (const std::exception&) {
        throw LibraryError(kErrFormat, "TimeZone", "Invalid TimeZone format");
    }
}

std::string TimeZone::ToString() const {
    std::vector<std::string> lines;
    if (!tzid_.empty()) lines.push_back("TZID" + tzidParams_ + ":" + tzid_);
    WriteDate(lines, "LAST-MODIFIED", *lastModified_);
    WriteRaw(lines, "TZURL", tzurl_->Params(), tzurl_->Value());
    WriteXProps(lines, xprop_);
    for (bool daylight : {false, true}) {
        const char* kind = daylight ? "DAYLIGHT" : "STANDARD";
        for (const auto& ob : observances_) {
            if (ob.Daylight != daylight || !ob.Info->HasDTStart()) continue;
            lines.push_back(std::string("BEGIN:") + kind);
            lines.push_back(ob.Info->ToString());
            lines.push_back(std::string("END:") + kind);
        }
    }
    return JoinLines(lines);
}

TimeZoneInfoPtr TimeZone::CurrentTimeZoneInfo() {
    TimeZoneInfoPtr standard = Standard(), daylight = Daylight();
    const DateValue d = daylight->OccurDate(), s = standard->OccurDate(), n = NowLocal();
    if (d == kNoOnset) current_ = standard;
    else if (s <= d) current_ = (s <= n && n <= d) ? standard : daylight;
    else current_ = (d <= n && n <= s) ? daylight : standard;
    return current_;
}

std::string TimeZone::GetLocalOffset() const { return OffsetText(HostOffsetNow()); }

std::string TimeZone::GetLocalOffsetAt(DateValue vUTC) { return OffsetText(HostOffsetAt(ToSeconds(vUTC))); }

TimeZonePtr LocalTimeZone() {
    struct Cache {
        ZoneRulesPtr rules;
        int offset = 0;
        TimeZonePtr zone;
    };
    thread_local Cache cache;
    ZoneRulesPtr rules = HostZoneRules();
    const Secs now = ToSeconds(NowUTC());
    const int offset = rules->OffsetAt(now);
    if (cache.zone && cache.rules == rules && cache.offset == offset) return cache.zone;
    auto zone = std::make_shared<TimeZone>();
    const bool dst = rules->IsDaylightAt(now);
    zone->SetTZID(rules->AbbrevAt(now));
    TimeZoneInfoPtr info = dst ? zone->Daylight() : zone->Standard();
    zone->SetCurrentTimeZoneInfo(info);
    // The offset in force now, daylight saving included, on the observance the getter answers.
    TimeZoneInfoPtr current = zone->CurrentTimeZoneInfo();
    const int a = offset < 0 ? -offset : offset;
    current->TZOffsetTo()->SetPositive(offset >= 0);
    current->TZOffsetTo()->SetHours(a / 3600);
    current->TZOffsetTo()->SetMinutes(a / 60 % 60);
    current->TZOffsetTo()->SetSeconds(a % 60);
    cache = {rules, offset, zone};
    return zone;
}

}  // namespace quillet
