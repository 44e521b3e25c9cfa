#pragma once
#include <memory>
#include <string>
#include <string_view>

#include "quillet/CalendarLink.h"
#include "quillet/DateValue.h"
#include "quillet/Duration.h"
#include "quillet/ZoneRules.h"

namespace quillet {

struct PropertyEntry;
class TimeZoneInfo;

// One DATE or DATE-TIME value. A date is kept as its calendar date; a date-time as its UTC instant.
class Date_Time {
public:
    DateValue Value() const { return FromSeconds(secs_); }
    void SetValue(DateValue d) { secs_ = ToSeconds(d); }
    Secs ValueSeconds() const { return secs_; }
    void SetValueSeconds(Secs s) { secs_ = s; }
    bool IsSet() const { return secs_ != 0; }

    const std::string& TZID() const { return rare_ ? rare_->tzid : EmptyText(); }
    void SetTZID(std::string v) {
        if (rare_ || !v.empty()) Rare().tzid = std::move(v);
        tzidQuoted_ = false;
        zoneKnown_ = false;
    }
    bool IsUTCTime() const { return utc_; }
    void SetIsUTCTime(bool v) { utc_ = v; }
    bool IsDate() const { return date_; }
    void SetIsDate(bool v) { date_ = v; }

    // A floating time kept on its own clock: stored as written, not converted, written back
    // without "Z". Observance onsets of a VTIMEZONE are such times.
    bool KeepsWallTime() const { return wall_; }
    void SetKeepsWallTime(bool v) { wall_ = v; }

    // The zone a TZID names (the calendar's VTIMEZONE, an IANA or a Windows zone); null for
    // none, which means the host zone.
    ZoneRulesPtr Zone() const;
    // Wall time on the clock of its own zone: the TZID's zone, else the host's.
    Secs ZoneSeconds() const;

    // Host-local wall time of a date-time; the date itself for a date.
    DateValue localtime() const;
    Secs LocalSeconds() const;
    void Setlocaltime(DateValue d);

    std::shared_ptr<iCalendar> Quillet() const { return ResolveLink(link_); }
    void SetQuillet(const CalendarLink& link) {
        if (link) link_ = link;
    }
    const CalendarLink& Link() const { return link_; }

    std::shared_ptr<Date_Time> Add(const Duration& d, bool vPositive = true) const;

    std::string ToString() const;
    void TryParse(std::string_view vData);
    // Reads one value of a property line, using its parameters (TZID, VALUE) and keeping the rest.
    void ParseProperty(const std::string& params, std::string_view value);

    DateValue GetUTC() const;
    std::shared_ptr<TimeZoneInfo> GetTimeZoneInfo() const;

    // Parameters other than TZID and VALUE=DATE, written back as read (";X-A=1").
    const std::string& Params() const { return rare_ ? rare_->params : EmptyText(); }
    void SetParams(std::string p) {
        if (rare_ || !p.empty()) Rare().params = std::move(p);
    }

    // For a VALUE=PERIOD value: the text after "/" (an end or a duration) and the period's length.
    const std::string& PeriodText() const { return rare_ ? rare_->periodText : EmptyText(); }
    bool IsPeriod() const { return rare_ && !rare_->periodText.empty(); }
    Secs PeriodLength() const { return rare_ ? rare_->periodLength : 0; }

    void Reset();

private:
    // What most date-times lack (a zone name, extra parameters, a period's end) lives apart and
    // exists only when present: a calendar holds several date-times per event.
    struct RareParts {
        std::string tzid, params, periodText;
        Secs periodLength = 0;
    };
    class RarePtr {
    public:
        RarePtr() = default;
        RarePtr(const RarePtr& o) : p_(o.p_ ? std::make_unique<RareParts>(*o.p_) : nullptr) {}
        RarePtr& operator=(const RarePtr& o) {
            p_ = o.p_ ? std::make_unique<RareParts>(*o.p_) : nullptr;
            return *this;
        }
        RarePtr(RarePtr&&) noexcept = default;
        RarePtr& operator=(RarePtr&&) noexcept = default;
        explicit operator bool() const { return p_ != nullptr; }
        RareParts* operator->() const { return p_.get(); }
        RareParts& Make() {
            if (!p_) p_ = std::make_unique<RareParts>();
            return *p_;
        }
        void reset() { p_.reset(); }

    private:
        std::unique_ptr<RareParts> p_;
    };
    static const std::string& EmptyText() {
        static const std::string empty;
        return empty;
    }
    RareParts& Rare() { return rare_.Make(); }
    void ParseDateText(std::string_view s);

    Secs secs_ = 0;
    bool utc_ = false;
    bool date_ = false;
    bool wall_ = false;
    bool tzidQuoted_ = false;  // written back quoted, as read
    mutable bool zoneKnown_ = false;
    mutable ZoneRulesPtr zone_;
    RarePtr rare_;
    CalendarLink link_;
};

using Date_TimePtr = std::shared_ptr<Date_Time>;

}  // namespace quillet
