#pragma once
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "quillet/Collections.h"
#include "quillet/DateValue.h"
#include "quillet/Date_Time.h"
#include "quillet/URI.h"
#include "quillet/UTC_Offset.h"

namespace quillet {

// One STANDARD or DAYLIGHT observance of a VTIMEZONE.
class TimeZoneInfo {
public:
    TimeZoneInfo();

    // The onset: a wall time of the zone's clock before the change, kept as written.
    const Date_TimePtr& DTStart() const { return dtstart_; }
    void SetDTStart(Date_TimePtr v);
    bool HasDTStart() const { return dtstart_->IsSet(); }
    TextCollection& TZName() { return tzname_; }
    const TextCollection& TZName() const { return tzname_; }
    const std::shared_ptr<UTC_Offset>& TZOffsetFrom() const { return from_; }
    void SetTZOffsetFrom(std::shared_ptr<UTC_Offset> v) { from_ = std::move(v); }
    const std::shared_ptr<UTC_Offset>& TZOffsetTo() const { return to_; }
    void SetTZOffsetTo(std::shared_ptr<UTC_Offset> v) { to_ = std::move(v); }
    TextCollection& Comment() { return comment_; }
    const TextCollection& Comment() const { return comment_; }
    Date_TimeCollection& RDate() { return rdate_; }
    const Date_TimeCollection& RDate() const { return rdate_; }
    RecurCollection& RRule() { return rrule_; }
    const RecurCollection& RRule() const { return rrule_; }
    // Lines the observance holds beyond the modelled ones, written back as read.
    XPropList& XProp() { return xprop_; }

    // The onset moved into the current year by the first rule; 1 January 1900 when it cannot be
    // computed. Computed once and kept.
    DateValue OccurDate();

    void Reset();
    void TryParse(std::string_view text);
    std::string ToString() const;

private:
    Date_TimePtr dtstart_;
    TextCollection tzname_, comment_;
    std::shared_ptr<UTC_Offset> from_, to_;
    Date_TimeCollection rdate_;
    RecurCollection rrule_;
    XPropList xprop_;
    DateValue occur_ = 0;
};

using TimeZoneInfoPtr = std::shared_ptr<TimeZoneInfo>;

// One VTIMEZONE. It keeps every observance block it read, in order; Standard and Daylight are
// the last of each kind.
class TimeZone {
public:
    struct Observance {
        bool Daylight;
        TimeZoneInfoPtr Info;
    };

    TimeZone();

    const std::string& TZID() const { return tzid_; }
    void SetTZID(std::string v) { tzid_ = std::move(v); }
    const Date_TimePtr& Last_Modified() const { return lastModified_; }
    void SetLast_Modified(Date_TimePtr v) { lastModified_ = v ? std::move(v) : std::make_shared<Date_Time>(); }
    const std::shared_ptr<URI>& TZUrl() const { return tzurl_; }
    void SetTZUrl(std::shared_ptr<URI> v) { tzurl_ = v ? std::move(v) : std::make_shared<URI>(); }

    TimeZoneInfoPtr Standard() { return Last(false); }
    void SetStandard(TimeZoneInfoPtr v) { Replace(false, std::move(v)); }
    TimeZoneInfoPtr Daylight() { return Last(true); }
    void SetDaylight(TimeZoneInfoPtr v) { Replace(true, std::move(v)); }
    const std::vector<Observance>& Observances() const { return observances_; }
    void AddObservance(bool daylight, TimeZoneInfoPtr info) { observances_.push_back({daylight, std::move(info)}); }

    XPropList& XProp() { return xprop_; }
    const XPropList& XProp() const { return xprop_; }

    // The observance in force now, by the onsets of Standard and Daylight in the current year.
    TimeZoneInfoPtr CurrentTimeZoneInfo();
    void SetCurrentTimeZoneInfo(TimeZoneInfoPtr v) { current_ = std::move(v); }

    // The host's offset from UTC in force now, daylight saving included: "+02:00".
    std::string GetLocalOffset() const;
    // The host's offset in force at a UTC instant, in the same form.
    static std::string GetLocalOffsetAt(DateValue vUTC);

    void Reset();
    void TryParse(std::string_view text);
    std::string ToString() const;

private:
    TimeZoneInfoPtr Last(bool daylight);
    void Replace(bool daylight, TimeZoneInfoPtr v);

    std::string tzid_;
    std::string tzidParams_;  // parameters of the TZID line, written back as read
    Date_TimePtr lastModified_;
    std::shared_ptr<URI> tzurl_;
    std::vector<Observance> observances_;
    XPropList xprop_;
    TimeZoneInfoPtr current_;
    bool parsed_ = false;
};

using TimeZonePtr = std::shared_ptr<TimeZone>;
using TimeZoneCollection = Collection<TimeZone>;

// The host's zone as a TimeZone: named by the abbreviation in force now, its current
// observance carrying the current offset. Rebuilt on this thread when the host zone or its
// offset changed since the last call.
TimeZonePtr LocalTimeZone();

}  // namespace quillet
