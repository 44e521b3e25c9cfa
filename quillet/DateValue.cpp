#include "quillet/DateValue.h"

#include <cmath>
#include <cstdio>

namespace quillet {

namespace {
// 1970-01-01 is day 25569 of the date-value count.
constexpr std::int64_t kUnixEpochDay = 25569;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}
}  // namespace

Secs ToSeconds(DateValue d) { return static_cast<Secs>(std::llround(d * kSecondsPerDay)); }

DateValue FromSeconds(Secs s) { return static_cast<double>(s) / kSecondsPerDay; }

std::int64_t DaysFromCivil(int year, int month, int day) {
    // Howard Hinnant's days_from_civil, shifted to our epoch.
    std::int64_t y = year - (month <= 2 ? 1 : 0);
    const std::int64_t era = FloorDiv(y, 400);
    const std::int64_t yoe = y - era * 400;
    const std::int64_t mp = (month + 9) % 12;
    const std::int64_t doy = (153 * mp + 2) / 5 + day - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468 + kUnixEpochDay;
}

DateFields CivilFromDays(std::int64_t days) {
    std::int64_t z = days - kUnixEpochDay + 719468;
    const std::int64_t era = FloorDiv(z, 146097);
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    DateFields f;
    f.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    f.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    f.year = static_cast<int>(yoe + era * 400 + (f.month <= 2 ? 1 : 0));
    return f;
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

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

int WeekdayOfDays(std::int64_t days) {
    // Day 0 (1899-12-30) was a Saturday.
    return static_cast<int>(((days + 6) % 7 + 7) % 7);
}

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
