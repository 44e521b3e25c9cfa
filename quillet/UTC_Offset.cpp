#include "quillet/UTC_Offset.h"

#include "quillet/LibraryError.h"

namespace quillet {

namespace {
int TwoDigits(std::string_view s, size_t at) {
    if (at + 2 > s.size() || s[at] < '0' || s[at] > '9' || s[at + 1] < '0' || s[at + 1] > '9')
        throw LibraryError(kErrFormat, "UTC_Offset", "Invalid UTC_Offset format");
    return (s[at] - '0') * 10 + (s[at + 1] - '0');
}
std::string Pad2(int v) { return std::to_string(100 + v).substr(1); }
}  // namespace

int UTC_Offset::TotalSeconds() const {
    int s = hours_ * 3600 + minutes_ * 60 + seconds_;
    return positive_ ? s : -s;
}

void UTC_Offset::TryParse(std::string_view s) {
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    Reset();
    positive_ = true;
    // An unsigned offset is read as east of UTC rather than losing its first digit to the sign.
    size_t at = 1;
    if (!s.empty() && s[0] >= '0' && s[0] <= '9') at = 0;
    else if (!s.empty() && s[0] == '-') positive_ = false;
    hours_ = TwoDigits(s, at);
    minutes_ = TwoDigits(s, at + 2);
    if (s.size() >= at + 6) seconds_ = TwoDigits(s, at + 4);
}

std::string UTC_Offset::ToString() const {
    // Seconds are written when there are any: old local mean times have them, and dropping
    // them would move every instant of the observance.
    return (positive_ ? "+" : "-") + Pad2(hours_) + Pad2(minutes_) + (seconds_ != 0 ? Pad2(seconds_) : "");
}

std::string UTC_Offset::ToColonString() const {
    return (positive_ ? "+" : "-") + Pad2(hours_) + ":" + Pad2(minutes_);
}

}  // namespace quillet
