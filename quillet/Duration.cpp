#include "quillet/Duration.h"

#include <cmath>

#include "quillet/LibraryError.h"

namespace quillet {

long long Duration::AllSeconds() const {
    long long s = weeks_ != 0 ? weeks_ * 604800LL
                              : days_ * 86400LL + hours_ * 3600LL + minutes_ * 60LL + seconds_;
    return positive_ ? s : -s;
}

Secs Duration::Span() const {
    Secs s = weeks_ * 604800LL + days_ * 86400LL + hours_ * 3600LL + minutes_ * 60LL + seconds_;
    return positive_ ? s : -s;
}

void Duration::Reset() {
    positive_ = true;
    weeks_ = days_ = hours_ = minutes_ = seconds_ = 0;
}

void Duration::TryParse(std::string_view s) {
    // [+|-]P then counts with unit letters; "T" separates the time units and may stand alone.
    auto fail = [] { throw LibraryError(kErrFormat, "Duration", "Invalid Duration format"); };
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    size_t i = 0;
    while (i < s.size() && s[i] == ' ') ++i;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) {
        if (s[i] == '-') positive_ = false;
        ++i;
    }
    if (i >= s.size() || (s[i] != 'P' && s[i] != 'p')) fail();
    ++i;
    bool time = false;
    while (i < s.size()) {
        char c = s[i];
        if (c == 'T' || c == 't') {
            time = true;
            ++i;
            continue;
        }
        if (c < '0' || c > '9') fail();
        long long n = 0;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
            n = n * 10 + (s[i] - '0');
            if (n > 100000000) fail();
            ++i;
        }
        if (i >= s.size()) fail();
        char u = static_cast<char>(s[i] & ~0x20);
        int v = static_cast<int>(n);
        if (u == 'W') weeks_ = v;
        else if (u == 'D') days_ = v;
        else if (u == 'H' && time) hours_ = v;
        else if (u == 'M' && time) minutes_ = v;
        else if (u == 'S' && time) seconds_ = v;
        else fail();
        ++i;
    }
}

std::string Duration::ToString() const {
    std::string out = positive_ ? "P" : "-P";
    if (weeks_ != 0) return out + std::to_string(weeks_) + "W";
    if (days_ != 0) out += std::to_string(days_) + "D";
    out += "T";
    if (hours_ != 0) out += std::to_string(hours_) + "H";
    if (minutes_ != 0) out += std::to_string(minutes_) + "M";
    if (seconds_ != 0) out += std::to_string(seconds_) + "S";
    return out;
}

void Duration::SetFromDays(double days) {
    // Rounded to whole seconds first: a difference of two date values is never exact in binary.
    SetFromSeconds(static_cast<Secs>(std::llround(days * kSecondsPerDay)));
}

void Duration::SetFromSeconds(Secs s) {
    if (s < 0) s = -s;
    days_ = static_cast<int>(s / 86400);
    hours_ = static_cast<int>(s / 3600 % 24);
    minutes_ = static_cast<int>(s / 60 % 60);
    seconds_ = static_cast<int>(s % 60);
}

}  // namespace quillet
