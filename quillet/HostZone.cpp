#include "quillet/HostZone.h"

#include <ctime>

#include "quillet/ZoneRules.h"

namespace quillet {

namespace {
// Secs between 1899-12-30 and 1970-01-01.
constexpr Secs kUnixOffset = 25569LL * kSecondsPerDay;

Secs NowSeconds() { return static_cast<Secs>(std::time(nullptr)) + kUnixOffset; }
}  // namespace

int HostOffsetAt(Secs utc) { return HostZoneRules()->OffsetAt(utc); }

Secs UTCToLocalSeconds(Secs utc) { return HostZoneRules()->ToWall(utc); }

Secs LocalToUTCSeconds(Secs local) { return HostZoneRules()->ToUTC(local); }

DateValue LocalToUTC(DateValue local) { return FromSeconds(LocalToUTCSeconds(ToSeconds(local))); }
DateValue UTCToLocal(DateValue utc) { return FromSeconds(UTCToLocalSeconds(ToSeconds(utc))); }

int HostOffsetNow() { return HostOffsetAt(NowSeconds()); }

DateValue NowUTC() { return FromSeconds(NowSeconds()); }
DateValue NowLocal() { return UTCToLocal(NowUTC()); }

}  // namespace quillet
