#include "quillet/HostZone.h"

#include <ctime>

namespace quillet {

namespace {
// Secs between 1899-12-30 and 1970-01-01.
constexpr Secs kUnixOffset = 25569LL * kSecondsPerDay;
}  // namespace

int HostOffsetAt(Secs utc) {
    std::time_t t = static_cast<std::time_t>(utc - kUnixOffset);
    std::tm tm{};
    localtime_r(&t, &tm);
    return static_cast<int>(tm.tm_gmtoff);
}

Secs UTCToLocalSeconds(Secs utc) { return utc + HostOffsetAt(utc); }

Secs LocalToUTCSeconds(Secs local) {
    DateFields f = SecondsToFields(local);
    std::tm tm{};
    tm.tm_year = f.year - 1900;
    tm.tm_mon = f.month - 1;
    tm.tm_mday = f.day;
    tm.tm_hour = f.hour;
    tm.tm_min = f.minute;
    tm.tm_sec = f.second;
    tm.tm_isdst = -1;
    std::time_t t = mktime(&tm);
    return static_cast<Secs>(t) + kUnixOffset;
}

DateValue LocalToUTC(DateValue local) { return FromSeconds(LocalToUTCSeconds(ToSeconds(local))); }
DateValue UTCToLocal(DateValue utc) { return FromSeconds(UTCToLocalSeconds(ToSeconds(utc))); }

int HostOffsetNow() { return HostOffsetAt(static_cast<Secs>(std::time(nullptr)) + kUnixOffset); }

DateValue NowUTC() { return FromSeconds(static_cast<Secs>(std::time(nullptr)) + kUnixOffset); }
DateValue NowLocal() { return UTCToLocal(NowUTC()); }

}  // namespace quillet
