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

namespace {
// Writing is dominated by date-times; digits are put down directly instead of through printf,
// which is kept for fields outside the four- and two-digit forms.
bool FitsDigits(const DateFields& f) {
    auto two = [](int v) { return v >= 0 && v <= 99; };
    return f.year >= 0 && f.year <= 9999 && two(f.month) && two(f.day) && two(f.hour) && two(f.minute) &&
           two(f.second);
}

char* PutDigits(char* p, int v, int width) {
    for (int i = width - 1; i >= 0; --i, v /= 10) p[i] = static_cast<char>('0' + v % 10);
    return p + width;
}

std::string Format(const DateFields& f, bool withTime, bool iso) {
    if (!FitsDigits(f)) {
        char buf[96];
        if (withTime)
            std::snprintf(buf, sizeof buf, iso ? "%04d-%02d-%02dT%02d:%02d:%02d" : "%04d%02d%02dT%02d%02d%02d", f.year,
                          f.month, f.day, f.hour, f.minute, f.second);
        else
            std::snprintf(buf, sizeof buf, iso ? "%04d-%02d-%02d" : "%04d%02d%02d", f.year, f.month, f.day);
        return buf;
    }
    char buf[20];
    char* p = PutDigits(buf, f.year, 4);
    if (iso) *p++ = '-';
    p = PutDigits(p, f.month, 2);
    if (iso) *p++ = '-';
    p = PutDigits(p, f.day, 2);
    if (withTime) {
        *p++ = 'T';
        p = PutDigits(p, f.hour, 2);
        if (iso) *p++ = ':';
        p = PutDigits(p, f.minute, 2);
        if (iso) *p++ = ':';
        p = PutDigits(p, f.second, 2);
    }
    return std::string(buf, p);
}
}  // namespace

std::string FormatBasicDate(const DateFields& f) { return Format(f, false, false); }
std::string FormatBasicDateTime(const DateFields& f) { return Format(f, true, false); }
std::string FormatIsoDate(const DateFields& f) { return Format(f, false, true); }
std::string FormatIsoDateTime(const DateFields& f) { return Format(f, true, true); }

}  // namespace quillet
