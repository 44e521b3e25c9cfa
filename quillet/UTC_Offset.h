#pragma once
#include <string>
#include <string_view>

namespace quillet {

class UTC_Offset {
public:
    bool Positive() const { return positive_; }
    void SetPositive(bool v) { positive_ = v; }
    int Hours() const { return hours_; }
    void SetHours(int v) { hours_ = v; }
    int Minutes() const { return minutes_; }
    void SetMinutes(int v) { minutes_ = v; }
    int Seconds() const { return seconds_; }
    void SetSeconds(int v) { seconds_ = v; }

    // Signed offset east of UTC in seconds.
    int TotalSeconds() const;

    void Reset() { hours_ = minutes_ = seconds_ = 0; }
    void TryParse(std::string_view s);
    std::string ToString() const;
    std::string ToColonString() const;

private:
    bool positive_ = false;
    int hours_ = 0, minutes_ = 0, seconds_ = 0;
};

}  // namespace quillet
