// The recurring events of the peer corpus (one event per file, X.ics.recurson.ref listing the
// dates it recurs on) are queried through the calendar and their occurrence dates compared with
// the list. Skips when the corpus is not on this machine.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "quillet/ContentLines.h"
#include "quillet/Recur.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;
using test::DV;
using test::ScopedTZ;

std::vector<std::string> ReadLines(const fs::path& file) {
    std::vector<std::string> out;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) out.push_back(line);
    }
    return out;
}

// "YYYY-MM-DD" of a date value.
std::string DayText(DateValue v) { return test::Iso(DateOnly(v)).substr(0, 10); }

DateValue DayValue(const std::string& iso) {
    return DV(std::stoi(iso.substr(0, 4)), std::stoi(iso.substr(5, 2)), std::stoi(iso.substr(8, 2)));
}

// The clock the peer listed the dates on: the zone a file names for its output, else UTC.
// (The peer's own listing of the same events with their instants shows each in its start's
// zone, but its dates are those of UTC: a start at 17:20 in Los Angeles is listed on the next
// day.)
std::string ListingZone(const std::string& text) {
    for (const PropertyEntry& e : ParseContentLines(text))
        if (!e.IsComponent && e.Name == "X-LibKCal-Testsuite-OutTZ") return e.Value;
    return "UTC";
}

// Where the peer's list departs from RFC 5545 (§3.3.10, §3.8.5.3), keyed by the file's path
// under RecurrenceRule/, with what the RFC gives instead.
struct Deviation {
    std::vector<std::string> add, remove;
    const char* why;
};

const std::map<std::string, Deviation>& Deviations() {
    // The peer leaves out a start that the rule does not generate, or lists it without counting
    // it; the RFC makes DTSTART the first occurrence, and COUNT counts it.
    static const char* const kStartCounts = "DTSTART is the first occurrence and COUNT counts it";
    static const std::map<std::string, Deviation> m = {
        // Fri 20 May; every other week on Tu and Th, 27 times: the start and 26 of the rule's.
        {"KOrganizer_3.4/KOrganizer_Test01.ics", {{"2005-05-20"}, {"2005-11-29"}, kStartCounts}},
        // Fri 20 May; every other year on 24 May, 13 times: the 13th of the rule's lies past the list.
        {"KOrganizer_3.4/KOrganizer_Test10.ics", {{"2005-05-20"}, {}, kStartCounts}},
        // Fri 20 May; the last Thursday of every third month until 2006.
        {"KOrganizer_3.4/KOrganizer_Test13.ics", {{"2005-05-20"}, {}, "DTSTART is the first occurrence"}},
        // Tue 2 Apr 2002; weekly on Thursday, 6 times: the start and five Thursdays, to 2 May.
        {"LibICal/LibICal_TestCase02.ics", {{}, {"2002-05-09"}, kStartCounts}},
        // Tue 2 Sep 1997; every Friday the 13th, 10 times: the start and nine, to Dec 2002.
        {"LibICal/LibICal_TestCase42.ics", {{}, {"2003-06-13"}, kStartCounts}},
        // Thu 12 May 2005; every other week on Mo and We, 7 times: the start and six, to 22 June
        // (the RDATEs add their own days).
        {"unsorted/rdate.ics", {{}, {"2005-07-04"}, kStartCounts}},
    };
    return m;
}

bool HasRule(const std::string& text) {
    for (const PropertyEntry& e : ParseContentLines(text))
        if (e.IsComponent && e.Name == "VEVENT")
            for (const PropertyEntry& p : ParseContentLines(e.Value))
                if (p.Name == "RRULE" || p.Name == "RDATE") return true;
    return false;
}

TEST(RecurKCalCorpus, RecurrenceDatesMatchThePeersLists) {
    const fs::path root = fs::path(ORVELLE_CORPUS_DIR) / "kcalendarcore" / "RecurrenceRule";
    if (!fs::exists(root)) GTEST_SKIP() << "corpus not present";
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.path().extension() == ".ics" && fs::exists(entry.path().string() + ".recurson.ref"))
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    ASSERT_FALSE(files.empty());

    for (const fs::path& file : files) {
        const std::string name = fs::relative(file, root).string();
        SCOPED_TRACE(name);
        const std::string text = test::ReadFile(file.string());
        std::vector<std::string> want = ReadLines(file.string() + ".recurson.ref");
        ScopedTZ tz(ListingZone(text).c_str());
        auto cal = iCalendar::Create();
        cal->LoadFromFile(file.string());
        ASSERT_GE(cal->Events().Count(), 1);
        auto ev = cal->Events().Item(1);
        const DateValue start = DateOnly(ev->IsAllDay() ? ev->DTStart()->Value() : ev->DTStart()->localtime());

        if (!HasRule(text)) {
            // A single event recurs on no date; it occurs once, on its start.
            EXPECT_TRUE(want.empty());
            cal->QueryEvent(start - 1, start + 2);
            ASSERT_EQ(ev->Periods().Count(), 1);
            EXPECT_EQ(DayText(ev->Periods().Item(1)->StartTime()->Value()), DayText(start));
            continue;
        }
        std::string why;
        auto dev = Deviations().find(name);
        if (dev != Deviations().end()) {
            why = std::string("\nthe list adjusted where the RFC holds: ") + dev->second.why;
            for (const auto& d : dev->second.remove) want.erase(std::remove(want.begin(), want.end(), d), want.end());
            want.insert(want.end(), dev->second.add.begin(), dev->second.add.end());
            std::sort(want.begin(), want.end());
        }
        // Over the days the list covers (the peer's lists end at some horizon of its own, so
        // days after the last listed one are not compared); a rule whose every occurrence is
        // excluded is looked at over a year.
        const DateValue last = want.empty() ? start + 366 : DayValue(want.back()) + 1;
        std::set<std::string> got;
        // In windows, so that no single query meets the cap on occurrences per expansion; each
        // query reaches a day back, because an occurrence without length that starts right at
        // a query's start does not overlap it.
        for (DateValue from = start - 1; from < last; from += 128) {
            const DateValue to = std::min(from + 128, last);
            cal->QueryEvent(from - 1, to);
            for (const auto& p : ev->Periods()) {
                DateValue s = p->StartTime()->Value();
                if (s >= from && s < to) got.insert(DayText(s));
            }
        }
        std::vector<std::string> missing, extra;
        std::set_difference(want.begin(), want.end(), got.begin(), got.end(), std::back_inserter(missing));
        std::set_difference(got.begin(), got.end(), want.begin(), want.end(), std::back_inserter(extra));
        auto list = [](const std::vector<std::string>& v) {
            std::string s;
            for (size_t i = 0; i < v.size() && i < 12; ++i) s += " " + v[i];
            return v.size() > 12 ? s + " ... (" + std::to_string(v.size()) + ")" : s;
        };
        EXPECT_TRUE(missing.empty() && extra.empty()) << "missing:" << list(missing) << "\nextra:" << list(extra) << why;
    }
}

}  // namespace
}  // namespace quillet
