#pragma once
#include <string>
#include <string_view>

#include "quillet/DateValue.h"

namespace quillet {

class Duration {
public:
    bool Positive() const { return positive_; }
    void SetPositive(bool v) { positive_ = v; }
    int Weeks() const { return weeks_; }
    void SetWeeks(int v) { weeks_ = v; }
    int Days() const { return days_; }
    void SetDays(int v) { days_ = v; }
    int Hours() const { return hours_; }
    void SetHours(int v) { hours_ = v; }
    int Minutes() const { return minutes_; }
    void SetMinutes(int v) { minutes_ = v; }
    int Seconds() const { return seconds_; }
    void SetSeconds(int v) { seconds_ = v; }

    // Signed length; weeks, when given, stand alone.
    long long AllSeconds() const;
    // Signed length counting every field, the way Date_Time::Add moves a time.
    Secs Span() const;

    void Reset();
    void TryParse(std::string_view s);
    std::string ToString() const;
    void SetFromDays(double days);
    void SetFromSeconds(Secs s);

private:
    bool positive_ = false;
    int weeks_ = 0, days_ = 0, hours_ = 0, minutes_ = 0, seconds_ = 0;
};

}  // namespace quillet
