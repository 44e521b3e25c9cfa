// The generator's promises the benchmarks and profiles rely on: the same bytes for the same seed,
// lines a reader accepts, and the mix of content the figures are quoted for.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <string_view>

#include "CalendarGenerator.h"
#include "quillet/iCalendar.h"

using orvelle::bench::CalendarGenerator;

namespace {

size_t Occurrences(std::string_view text, std::string_view what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string_view::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

}  // namespace

TEST(CalendarGenerator, SameSeedSameBytesOtherSeedOtherCalendar) {
    CalendarGenerator a(7), b(7), c(8);
    std::string first = a.Generate(300);
    EXPECT_EQ(first, b.Generate(300));
    EXPECT_NE(first, c.Generate(300));
    // A second calendar from the same generator goes on with the sequence; its mix is its own.
    std::string second = a.Generate(300);
    EXPECT_NE(first, second);
    EXPECT_EQ(a.Mix().events, 300);
}

TEST(CalendarGenerator, LinesAreFoldedCrlfAndWholeCharacters) {
    CalendarGenerator gen;
    const std::string text = gen.Generate(2000);
    size_t folded = 0;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find("\r\n", start);
        ASSERT_NE(end, std::string::npos) << "the last line ends with CRLF too";
        std::string_view line(text.data() + start, end - start);
        EXPECT_LE(line.size(), 75u) << line;
        EXPECT_EQ(line.find('\n'), std::string_view::npos) << line;
        if (!line.empty() && line[0] == ' ') {
            ++folded;
            // A continuation never starts inside a UTF-8 sequence.
            ASSERT_GT(line.size(), 1u);
            EXPECT_NE(static_cast<unsigned char>(line[1]) & 0xC0, 0x80) << line;
        }
        start = end + 2;
    }
    EXPECT_GT(folded, 0u);
    EXPECT_GT(Occurrences(text, "\xF0\x9F"), 0u) << "emoji, four-byte characters";
    EXPECT_GT(Occurrences(text, "\\n"), 0u);
    EXPECT_GT(Occurrences(text, "\\;"), 0u);
    EXPECT_GT(Occurrences(text, "\\,"), 0u);
    EXPECT_GT(Occurrences(text, "\\\\"), 0u);
}

TEST(CalendarGenerator, MixAndSizeAreTheOnesTheFiguresAreQuotedFor) {
    CalendarGenerator gen;
    const std::string text = gen.Generate(10000);
    const auto& m = gen.Mix();
    EXPECT_EQ(Occurrences(text, "BEGIN:VEVENT\r\n"), 10000u);
    EXPECT_EQ(Occurrences(text, "RRULE:FREQ="), static_cast<size_t>(m.recurring) + 4) << "and four in the zones";
    EXPECT_EQ(Occurrences(text, "BEGIN:VALARM\r\n"), static_cast<size_t>(m.alarms));
    EXPECT_NEAR(m.recurring / 10000.0, 0.15, 0.02);
    EXPECT_NEAR(m.alarms / 10000.0, 0.20, 0.02);
    EXPECT_GT(m.allDay, 500);
    EXPECT_GT(m.zoned, 2000);
    EXPECT_GT(m.withExdate, 300);
    EXPECT_GT(m.withUntil, 300);
    EXPECT_NEAR(text.size() / 10000.0, 540, 40) << "about 5 MB for 10,000 events";

    // Every event is one the library reads, each with its own UID.
    auto cal = quillet::iCalendar::Create();
    cal->TryParse(text);
    EXPECT_EQ(cal->Events().Count(), 10000);
    EXPECT_EQ(cal->TimeZones().Count(), 2);
    std::set<std::string> uids;
    for (const auto& ev : cal->Events()) uids.insert(ev->UID()->Value());
    EXPECT_EQ(uids.size(), 10000u);
}
