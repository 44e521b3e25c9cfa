#pragma once
#include <cstdint>
#include <string>

namespace quillet {

// A date value is a count of days since 1899-12-30 00:00 with the time of day as fraction.
// Internally we work in whole seconds since that moment, which is exact.
using DateValue = double;
using Secs = std::int64_t;

struct DateFields {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

constexpr Secs kSecondsPerDay = 86400;

Secs ToSeconds(DateValue d);
DateValue FromSeconds(Secs s);

namespace detail {
// 1970-01-01 is day 25569 of the date-value count.
constexpr std::int64_t kUnixEpochDay = 25569;
constexpr std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}
}  // namespace detail

// The calendar arithmetic below is inline: recurrence expansion calls it for every day it visits.

// Days since 1899-12-30 for a proleptic Gregorian date (no validation).
constexpr std::int64_t DaysFromCivil(int year, int month, int day) {
    // Howard Hinnant's days_from_civil, shifted to our epoch.
    std::int64_t y = year - (month <= 2 ? 1 : 0);
    const std::int64_t era = detail::FloorDiv(y, 400);
    const std::int64_t yoe = y - era * 400;
    const std::int64_t mp = (month + 9) % 12;
    const std::int64_t doy = (153 * mp + 2) / 5 + day - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468 + detail::kUnixEpochDay;
}

constexpr DateFields CivilFromDays(std::int64_t days) {
    std::int64_t z = days - detail::kUnixEpochDay + 719468;
    const std::int64_t era = detail::FloorDiv(z, 146097);
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

bool IsValidDate(int year, int month, int day);

constexpr bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

constexpr int DaysInMonth(int year, int month) {
    constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

Secs FieldsToSeconds(const DateFields& f);
DateFields SecondsToFields(Secs s);
DateValue FieldsToValue(const DateFields& f);
DateFields ValueToFields(DateValue d);

// 0 = Sunday … 6 = Saturday.
constexpr int WeekdayOfDays(std::int64_t days) {
    // Day 0 (1899-12-30) was a Saturday.
    return static_cast<int>(((days + 6) % 7 + 7) % 7);
}

// Midnight of the day that holds d.
DateValue DateOnly(DateValue d);
bool HasTimeOfDay(DateValue d);

// YYYYMMDD, YYYYMMDDTHHMMSS, YYYY-MM-DD, YYYY-MM-DDTHH:MM:SS.
std::string FormatBasicDate(const DateFields& f);
std::string FormatBasicDateTime(const DateFields& f);
std::string FormatIsoDate(const DateFields& f);
std::string FormatIsoDateTime(const DateFields& f);

}  // namespace quillet
