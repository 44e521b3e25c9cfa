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

    const std::string& TZID() const { return tzid_; }
    void SetTZID(std::string v) {
        tzid_ = std::move(v);
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
    const std::string& Params() const { return params_; }
    void SetParams(std::string p) { params_ = std::move(p); }

    // For a VALUE=PERIOD value: the text after "/" (an end or a duration) and the period's length.
    const std::string& PeriodText() const { return periodText_; }
    bool IsPeriod() const { return !periodText_.empty(); }
    Secs PeriodLength() const { return periodLength_; }

    void Reset();

private:
    void ParseDateText(std::string_view s);

    Secs secs_ = 0;
    bool utc_ = false;
    bool date_ = false;
    bool wall_ = false;
    bool tzidQuoted_ = false;  // written back quoted, as read
    std::string tzid_;
    mutable ZoneRulesPtr zone_;
    mutable bool zoneKnown_ = false;
    std::string params_;
    std::string periodText_;
    Secs periodLength_ = 0;
    CalendarLink link_;
};

using Date_TimePtr = std::shared_ptr<Date_Time>;

}  // namespace quillet
