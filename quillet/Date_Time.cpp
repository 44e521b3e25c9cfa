#include "quillet/Date_Time.h"

#include "quillet/ContentLines.h"
#include "quillet/HostZone.h"
#include "quillet/LibraryError.h"
#include "quillet/TimeZone.h"
#include "quillet/iCalendar.h"

namespace quillet {

namespace {

[[noreturn]] void Invalid() { throw LibraryError(kErrFormat, "Date_Time", "Invalid Date_Time format"); }

int Digits(std::string_view s, size_t at, size_t n) {
    if (at + n > s.size()) Invalid();
    int v = 0;
    for (size_t i = at; i < at + n; ++i) {
        if (s[i] < '0' || s[i] > '9') Invalid();
        v = v * 10 + (s[i] - '0');
    }
    return v;
}

std::string QuoteIfNeeded(const std::string& v) {
    return v.find_first_of(";:,") == std::string::npos ? v : "\"" + v + "\"";
}

}  // namespace

void Date_Time::Reset() {
    secs_ = 0;
    utc_ = date_ = false;
    tzidQuoted_ = false;
    zoneKnown_ = false;
    rare_.reset();
}

ZoneRulesPtr Date_Time::Zone() const {
    const std::string& tzid = TZID();
    if (tzid.empty()) return nullptr;
    if (!zoneKnown_) {
        if (iCalendar* parsing = ZoneParseScope::Current()) {
            zone_ = parsing->ZoneFor(tzid);
        } else {
            std::shared_ptr<iCalendar> cal;
            try {
                cal = Quillet();
            } catch (const std::exception&) {
                // The calendar is gone: the name alone still says what it can.
            }
            zone_ = cal ? cal->ZoneFor(tzid) : ZoneByName(tzid);
        }
        zoneKnown_ = true;
    }
    return zone_;
}

Secs Date_Time::ZoneSeconds() const {
    if (date_ || (wall_ && !utc_)) return secs_;
    if (ZoneRulesPtr z = Zone()) return z->ToWall(secs_);
    return UTCToLocalSeconds(secs_);
}

Secs Date_Time::LocalSeconds() const { return date_ || (wall_ && !utc_) ? secs_ : UTCToLocalSeconds(secs_); }

DateValue Date_Time::localtime() const { return FromSeconds(LocalSeconds()); }

void Date_Time::Setlocaltime(DateValue d) {
    Secs s = ToSeconds(d);
    if (s % kSecondsPerDay == 0) {
        secs_ = s;
        date_ = true;
    } else {
        secs_ = LocalToUTCSeconds(s);
    }
}

std::shared_ptr<Date_Time> Date_Time::Add(const Duration& d, bool vPositive) const {
    auto r = std::make_shared<Date_Time>();
    Secs span = d.Span();
    r->secs_ = secs_ + (vPositive ? span : -span);
    r->utc_ = utc_;
    if (!TZID().empty()) r->Rare().tzid = TZID();
    r->tzidQuoted_ = tzidQuoted_;
    r->zone_ = zone_;
    r->zoneKnown_ = zoneKnown_;
    r->wall_ = wall_;
    r->link_ = link_;
    return r;
}

std::string Date_Time::ToString() const {
    std::string out;
    const std::string& tzid = TZID();
    const std::string& params = Params();
    if (date_) {
        // A period keeps its own VALUE=PERIOD; a second VALUE would make the line invalid.
        const bool ownValue = FindParam(params, "VALUE").size() != 0;
        out = (ownValue ? "" : ";VALUE=DATE") + params + ":" + FormatBasicDate(SecondsToFields(secs_));
    } else if (!tzid.empty()) {
        out = ";TZID=" + (tzidQuoted_ ? "\"" + tzid + "\"" : QuoteIfNeeded(tzid)) + params + ":" +
              FormatBasicDateTime(SecondsToFields(ZoneSeconds()));
    } else if (wall_ && !utc_) {
        out = params + ":" + FormatBasicDateTime(SecondsToFields(secs_));
    } else {
        out = params + ":" + FormatBasicDateTime(SecondsToFields(secs_)) + "Z";
    }
    if (IsPeriod()) out += "/" + PeriodText();
    return out;
}

void Date_Time::ParseDateText(std::string_view s) {
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    DateFields f;
    if (s.size() == 8 || s.size() == 9) {
        f.year = Digits(s, 0, 4);
        f.month = Digits(s, 4, 2);
        f.day = Digits(s, 6, 2);
        if (!IsValidDate(f.year, f.month, f.day)) Invalid();
        date_ = true;
        secs_ = FieldsToSeconds(f);
        return;
    }
    f.year = Digits(s, 0, 4);
    f.month = Digits(s, 4, 2);
    f.day = Digits(s, 6, 2);
    f.hour = Digits(s, 9, 2);
    f.minute = Digits(s, 11, 2);
    if (s.size() >= 15) f.second = Digits(s, 13, 2);
    if (!IsValidDate(f.year, f.month, f.day) || f.hour > 23 || f.minute > 59 || f.second > 60)
        Invalid();
    if (f.second == 60) f.second = 59;  // a leap second reads as the second before it
    date_ = false;
    utc_ = s.back() == 'Z' || s.back() == 'z';
    Secs v = FieldsToSeconds(f);
    if (utc_ || wall_) secs_ = v;
    else if (ZoneRulesPtr z = Zone()) secs_ = z->ToUTC(v);
    else secs_ = LocalToUTCSeconds(v);
}

void Date_Time::TryParse(std::string_view vData) {
    if (rare_) rare_->tzid.clear();
    zoneKnown_ = false;
    date_ = utc_ = false;
    if (vData.find('=') == std::string_view::npos) {
        ParseDateText(vData);
        return;
    }
    for (auto& [name, value] : ParseParams(vData)) {
        if (name == "TZID") {
            SetTZID(value);
            zoneKnown_ = false;
        }
        else if (name == "DATE") ParseDateText(value);
    }
}

void Date_Time::ParseProperty(const std::string& params, std::string_view value) {
    rare_.reset();
    zoneKnown_ = false;
    date_ = utc_ = false;
    bool isPeriod = false;
    bool isDate = false;
    for (auto& [name, v] : ParseParams(params)) {
        if (EqualsIgnoreCase(name, "TZID")) {
            const bool quoted = v.size() >= 2 && v.front() == '"';
            SetTZID(quoted ? v.substr(1, v.size() - 2) : v);
            tzidQuoted_ = quoted;
            continue;
        }
        if (EqualsIgnoreCase(name, "VALUE")) {
            if (EqualsIgnoreCase(v, "DATE")) isDate = true;
            if (EqualsIgnoreCase(v, "DATE") || EqualsIgnoreCase(v, "DATE-TIME")) continue;
            if (EqualsIgnoreCase(v, "PERIOD")) isPeriod = true;
        }
        std::string& extra = Rare().params;
        extra += ";" + name;
        if (!v.empty()) extra += "=" + v;
    }
    size_t slash = value.find('/');
    std::string_view start = value.substr(0, slash);
    if (isDate && start.size() > 9) start = start.substr(0, 8);
    ParseDateText(start);
    // A date is a day on every clock: a TZID beside it means nothing, and kept it would turn
    // the date's end, derived by adding a duration, into a time of day in that zone.
    if (date_ && rare_) rare_->tzid.clear();
    if (isPeriod && slash != std::string_view::npos) {
        std::string_view rest = value.substr(slash + 1);
        Rare().periodText.assign(rest);
        if (!rest.empty() && (rest[0] == 'P' || rest[0] == '+' || rest[0] == '-')) {
            Duration d;
            d.Reset();
            d.TryParse(rest);
            Rare().periodLength = d.Span();
        } else {
            Date_Time end;
            end.SetTZID(TZID());
            end.zone_ = zone_;
            end.zoneKnown_ = zoneKnown_;
            end.wall_ = wall_;
            end.ParseDateText(rest);
            Rare().periodLength = end.secs_ - secs_;
        }
    }
}

DateValue Date_Time::GetUTC() const {
    // A date-time already holds its UTC instant; a date (or a time kept on its own clock)
    // starts at its wall time in its zone.
    if (utc_ || (!date_ && !wall_)) return Value();
    if (ZoneRulesPtr z = Zone()) return FromSeconds(z->ToUTC(secs_));
    return FromSeconds(LocalToUTCSeconds(secs_));
}

std::shared_ptr<TimeZoneInfo> Date_Time::GetTimeZoneInfo() const {
    try {
        auto cal = Quillet();
        if (!cal) return nullptr;
        for (const auto& z : cal->TimeZones())
            if (z->TZID() == TZID()) return z->CurrentTimeZoneInfo();
    } catch (...) {
    }
    return nullptr;
}

}  // namespace quillet
