#pragma once
#include <string>
#include <string_view>

namespace quillet {

// One element of BYDAY: a weekday (1 = Sunday … 7 = Saturday, 0 = placeholder) and an optional
// ordinal (0 = every such day, negative = counted from the end of the month or year).
class DaySpecifier {
public:
    DaySpecifier() = default;
    DaySpecifier(int vDayOfWeek, int vNum) : dayOfWeek_(vDayOfWeek), num_(vNum) {}

    int Num() const { return num_; }
    void SetNum(int v) { num_ = v; }
    int DayOfWeek() const { return dayOfWeek_; }
    void SetDayOfWeek(int v) { dayOfWeek_ = v; }

    void Reset() {
        num_ = 0;
        dayOfWeek_ = -1;
    }
    void TryParse(std::string_view s);
    std::string ToString() const;

private:
    int dayOfWeek_ = 0;
    int num_ = 0;
};

// "DF|SU|MO|TU|WE|TH|FR|SA": the day keywords by day number.
inline constexpr std::string_view kDayKeywords = "DF|SU|MO|TU|WE|TH|FR|SA";

}  // namespace quillet
