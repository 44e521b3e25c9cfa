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

// Days since 1899-12-30 for a proleptic Gregorian date (no validation).
std::int64_t DaysFromCivil(int year, int month, int day);
DateFields CivilFromDays(std::int64_t days);

bool IsValidDate(int year, int month, int day);
int DaysInMonth(int year, int month);
bool IsLeapYear(int year);

Secs FieldsToSeconds(const DateFields& f);
DateFields SecondsToFields(Secs s);
DateValue FieldsToValue(const DateFields& f);
DateFields ValueToFields(DateValue d);

// 0 = Sunday … 6 = Saturday.
int WeekdayOfDays(std::int64_t days);

// Midnight of the day that holds d.
DateValue DateOnly(DateValue d);
bool HasTimeOfDay(DateValue d);

// YYYYMMDD, YYYYMMDDTHHMMSS, YYYY-MM-DD, YYYY-MM-DDTHH:MM:SS.
std::string FormatBasicDate(const DateFields& f);
std::string FormatBasicDateTime(const DateFields& f);
std::string FormatIsoDate(const DateFields& f);
std::string FormatIsoDateTime(const DateFields& f);

}  // namespace quillet
