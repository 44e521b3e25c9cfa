#include "quillet/DateValue.h"

#include <cmath>
#include <cstdio>

namespace quillet {

using detail::FloorDiv;

Secs ToSeconds(DateValue d) { return static_cast<Secs>(std::llround(d * kSecondsPerDay)); }

DateValue FromSeconds(Secs s) { return static_cast<double>(s) / kSecondsPerDay; }

bool IsValidDate(int year, int month, int day) {
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
           day <= DaysInMonth(year, month);
}

Secs FieldsToSeconds(const DateFields& f) {
    return DaysFromCivil(f.year, f.month, f.day) * kSecondsPerDay + f.hour * 3600 + f.minute * 60 +
           f.second;
}

DateFields SecondsToFields(Secs s) {
    std::int64_t days = FloorDiv(s, kSecondsPerDay);
    std::int64_t rem = s - days * kSecondsPerDay;
    DateFields f = CivilFromDays(days);
    f.hour = static_cast<int>(rem / 3600);
    f.minute = static_cast<int>(rem / 60 % 60);
    f.second = static_cast<int>(rem % 60);
    return f;
}

DateValue FieldsToValue(const DateFields& f) { return FromSeconds(FieldsToSeconds(f)); }
DateFields ValueToFields(DateValue d) { return SecondsToFields(ToSeconds(d)); }

DateValue DateOnly(DateValue d) {
    return FromSeconds(FloorDiv(ToSeconds(d), kSecondsPerDay) * kSecondsPerDay);
}

bool HasTimeOfDay(DateValue d) { return ToSeconds(d) % kSecondsPerDay != 0; }

std::string FormatBasicDate(const DateFields& f) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d", f.year, f.month, f.day);
    return buf;
}
std::string FormatBasicDateTime(const DateFields& f) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%04d%02d%02dT%02d%02d%02d", f.year, f.month, f.day, f.hour,
                  f.minute, f.second);
    return buf;
}
std::string FormatIsoDate(const DateFields& f) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", f.year, f.month, f.day);
    return buf;
}
std::string FormatIsoDateTime(const DateFields& f) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d", f.year, f.month, f.day, f.hour,
                  f.minute, f.second);
    return buf;
}

}  // namespace quillet
