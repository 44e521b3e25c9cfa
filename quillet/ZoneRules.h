#pragma once
#include <memory>
#include <string>
#include <string_view>

#include "quillet/DateValue.h"

namespace quillet {

class iCalendar;
class TimeZone;

// The offsets of one time zone over time. Instants and wall times are library seconds
// (since 1899-12-30); a wall time is a reading of the zone's own clock.
class ZoneRules {
public:
    virtual ~ZoneRules() = default;

    // Seconds east of UTC in force at a UTC instant.
    virtual int OffsetAt(Secs utc) const = 0;
    virtual bool IsDaylightAt(Secs utc) const { (void)utc; return false; }
    virtual std::string AbbrevAt(Secs utc) const { (void)utc; return std::string(); }

    Secs ToWall(Secs utc) const { return utc + OffsetAt(utc); }
    // A wall time skipped by a change of offset is read with the offset before the change; one
    // that occurs twice means the first of the two instants.
    Secs ToUTC(Secs wall) const;
};

using ZoneRulesPtr = std::shared_ptr<const ZoneRules>;

// The zone of an IANA name from the system's time-zone database; null when unknown.
ZoneRulesPtr IanaZone(std::string_view name);

// A zone identifier without a calendar definition: an IANA name, else a Windows zone name
// (standard or display form); null when neither, which callers read as the host zone.
// Answers are kept, so a name is looked up once per process.
ZoneRulesPtr ZoneByName(const std::string& tzid);

// The offsets a VTIMEZONE defines with all of its observances; null when it defines none.
ZoneRulesPtr ZoneFromDefinition(const TimeZone& zone);

// The host's zone: TZ when set (an IANA name, ":name", a zoneinfo path or a POSIX rule),
// else the system's configured zone. Never null.
ZoneRulesPtr HostZoneRules();

// While alive, date-times parsed on this thread resolve their TZID in this calendar first.
class ZoneParseScope {
public:
    explicit ZoneParseScope(iCalendar* cal);
    ~ZoneParseScope();
    ZoneParseScope(const ZoneParseScope&) = delete;
    ZoneParseScope& operator=(const ZoneParseScope&) = delete;
    static iCalendar* Current();

private:
    iCalendar* previous_;
};

}  // namespace quillet
