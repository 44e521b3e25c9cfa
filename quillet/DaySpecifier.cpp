#include "quillet/DaySpecifier.h"

#include <charconv>

#include "quillet/Collection.h"
#include "quillet/ContentLines.h"
#include "quillet/LibraryError.h"

namespace quillet {

namespace {

[[noreturn]] void Invalid() {
    throw LibraryError(kErrFormat, "DaySpecifier", "Invalid DaySpecifier format");
}

// An optional sign and digits, blanks around allowed; false for anything else (also for "").
bool ParseOrdinal(std::string_view s, int& out) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    bool negative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    if (s.empty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    int v = 0;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc()) Invalid();  // numeric but too large
    out = negative ? -v : v;
    return true;
}

}  // namespace

void DaySpecifier::TryParse(std::string_view s) {
    Reset();
    if (s.size() < 2) Invalid();
    int n = 0;
    if (ParseOrdinal(s.substr(0, s.size() - 2), n)) num_ = n;
    // An unknown or lower-case keyword gives the placeholder day 0, which matches no date.
    int index = IndexInList(kDayKeywords, s.substr(s.size() - 2));
    dayOfWeek_ = index < 0 ? 0 : index;
}

std::string DaySpecifier::ToString() const {
    if (dayOfWeek_ < 0 || dayOfWeek_ > 7) ThrowSubscript("DaySpecifier");
    std::string out = num_ != 0 ? std::to_string(num_) : std::string();
    return out + ItemInList(kDayKeywords, dayOfWeek_);
}

}  // namespace quillet
