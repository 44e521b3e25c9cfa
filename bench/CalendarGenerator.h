#pragma once
#include <cstddef>
#include <cstdint>
#include <random>
#include <string>

namespace orvelle::bench {

// What one generated calendar holds, for checking its mix against what a benchmark reports.
struct GeneratedMix {
    int events = 0;
    int allDay = 0;
    int recurring = 0;
    int zoned = 0;
    int alarms = 0;
    int withExdate = 0;
    int withUntil = 0;
};

// Builds realistic calendar files of any size: mostly single timed meetings over 2024-2027, some
// all-day, about 15% recurring (daily, weekly on several days, monthly by last Friday or by month
// day, yearly; some with UNTIL and EXDATE), some in America/New_York or Europe/Berlin with their
// VTIMEZONE in the file, a fifth with a reminder, escaped and non-ASCII text, folded lines,
// attendees with parameters. The same seed and size always give the same bytes.
class CalendarGenerator {
public:
    explicit CalendarGenerator(std::uint32_t seed = 20240101u) : rng_(seed) {}

    // A whole VCALENDAR with `events` events, CRLF line ends, folded at 75 octets.
    std::string Generate(int events);
    const GeneratedMix& Mix() const { return mix_; }

private:
    int Pick(size_t n);  // 0 .. n-1
    bool Chance(int percent);
    void AppendEvent(std::string& out, int index);

    std::mt19937 rng_;
    GeneratedMix mix_;
};

}  // namespace orvelle::bench
