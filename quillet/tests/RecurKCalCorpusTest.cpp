// The recurring events of the peer corpus (one event per file; X.ics.recurson.ref lists the dates
// it recurs on, X.ics.next.ref the instants of its occurrences) are queried through the calendar
// and their occurrences compared with both lists. Skips when the corpus is not on this machine.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "quillet/ContentLines.h"

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

std::string OutputZone(const std::string& text) {
    for (const PropertyEntry& e : ParseContentLines(text))
        if (!e.IsComponent && e.Name == "X-LibKCal-Testsuite-OutTZ") return e.Value;
    return {};
}

// The clock the peer listed the dates on: the zone a file names for its output, else UTC.
// (Its listing of the instants shows each on its start's clock, but its dates are those of
// UTC: a start at 17:20 in Los Angeles is listed on the next day.)
std::string DateZone(const std::string& text) {
    std::string out = OutputZone(text);
    return out.empty() ? "UTC" : out;
}

// The clock the peer listed the instants on: the output zone, else the zone of the start
// (floating times and dates on UTC).
std::string InstantZone(const std::string& text) {
    if (std::string out = OutputZone(text); !out.empty()) return out;
    for (const PropertyEntry& e : ParseContentLines(text)) {
        if (!e.IsComponent || e.Name != "VEVENT") continue;
        for (const PropertyEntry& p : ParseContentLines(e.Value)) {
            if (p.Name != "DTSTART") continue;
            const std::string tzid = FindParam(p.Params, "TZID");
            if (tzid.empty() || p.RawValue.size() == 8) return "UTC";
            // The files' own US-Eastern zone holds the US rules of 1990: from the first Sunday
            // of April to the last Sunday of October.
            if (tzid == "US-Eastern") return "EST5EDT,M4.1.0,M10.5.0";
            return tzid;
        }
    }
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
        // Fri 20 May; every other year on 24 May, 13 times: the start and 12, to 2027.
        {"KOrganizer_3.4/KOrganizer_Test10.ics", {{"2005-05-20"}, {"2029-05-24"}, kStartCounts}},
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

// One corpus file, loaded with the host on a given clock.
struct KCalFile {
    std::string name, text;
    iCalendarPtr cal;
    EventPtr ev;
    DateValue start = 0;  // the first start on the host's clock
};

std::vector<fs::path> KCalFiles(const fs::path& root, const char* refSuffix) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.path().extension() == ".ics" && fs::exists(entry.path().string() + refSuffix))
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

KCalFile Load(const fs::path& root, const fs::path& file) {
    KCalFile f;
    f.name = fs::relative(file, root).string();
    f.text = test::ReadFile(file.string());
    f.cal = iCalendar::Create();
    f.cal->LoadFromFile(file.string());
    if (f.cal->Events().Count() == 0) return f;
    f.ev = f.cal->Events().Item(1);
    f.start = f.ev->IsAllDay() ? f.ev->DTStart()->Value() : f.ev->DTStart()->localtime();
    return f;
}

// Starts of the event's occurrences in [from, to) on the host's clock, ascending. In windows,
// so that no single query meets the cap on occurrences per expansion; each query reaches a day
// back, because an occurrence without length that starts right at a query's start does not
// overlap it.
std::vector<DateValue> Starts(const KCalFile& f, DateValue from, DateValue to) {
    std::set<DateValue> got;
    const DateValue step = std::max(128.0, (to - from) / 8);
    for (DateValue a = from; a < to; a += step) {
        const DateValue b = std::min(a + step, to);
        f.cal->QueryEvent(a - 1, b);
        for (const auto& p : f.ev->Periods()) {
            const DateValue s = p->StartTime()->Value();
            if (s >= a && s < b) got.insert(s);
        }
    }
    return {got.begin(), got.end()};
}

// The peer's list (dates, or instants that begin with their date) with the deviations applied;
// `start` is the entry the event's start makes. Returns the reason, for the failure message.
std::string Adjust(const std::string& name, std::vector<std::string>& want, const std::string& start) {
    auto dev = Deviations().find(name);
    if (dev == Deviations().end()) return {};
    for (const auto& d : dev->second.remove)
        want.erase(std::remove_if(want.begin(), want.end(), [&](const std::string& w) { return w.compare(0, 10, d) == 0; }),
                   want.end());
    for (const auto& d : dev->second.add) {
        EXPECT_EQ(start.substr(0, 10), d) << "only the start is ever added";
        want.push_back(start);
    }
    std::sort(want.begin(), want.end());
    return std::string("\nthe list adjusted where the RFC holds: ") + dev->second.why;
}

void ExpectSame(const std::vector<std::string>& want, const std::vector<std::string>& got, const std::string& why) {
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

TEST(RecurKCalCorpus, RecurrenceDatesMatchThePeersLists) {
    const fs::path root = fs::path(ORVELLE_CORPUS_DIR) / "kcalendarcore" / "RecurrenceRule";
    if (!fs::exists(root)) GTEST_SKIP() << "corpus not present";
    const auto files = KCalFiles(root, ".recurson.ref");
    ASSERT_FALSE(files.empty());
    for (const fs::path& file : files) {
        SCOPED_TRACE(file.string());
        std::vector<std::string> want = ReadLines(file.string() + ".recurson.ref");
        ScopedTZ tz(DateZone(test::ReadFile(file.string())).c_str());
        const KCalFile f = Load(root, file);
        ASSERT_TRUE(f.ev);
        const DateValue day = DateOnly(f.start);
        if (!HasRule(f.text)) {
            // A single event recurs on no date; it occurs once, on its start.
            EXPECT_TRUE(want.empty());
            auto once = Starts(f, day - 1, day + 2);
            ASSERT_EQ(once.size(), 1u);
            EXPECT_EQ(DayText(once[0]), DayText(day));
            continue;
        }
        const std::string why = Adjust(f.name, want, DayText(day));
        // Over the days the list covers: the peer's lists end at some horizon of its own, so
        // days after the last listed one are not compared. A rule whose every occurrence is
        // excluded is looked at over a year.
        const DateValue last = want.empty() ? day + 366 : DayValue(want.back()) + 1;
        std::set<std::string> days;
        for (DateValue s : Starts(f, day - 1, last)) days.insert(DayText(s));
        ExpectSame(want, {days.begin(), days.end()}, why);
    }
}

TEST(RecurKCalCorpus, OccurrenceInstantsMatchThePeersLists) {
    const fs::path root = fs::path(ORVELLE_CORPUS_DIR) / "kcalendarcore" / "RecurrenceRule";
    if (!fs::exists(root)) GTEST_SKIP() << "corpus not present";
    const auto files = KCalFiles(root, ".next.ref");
    ASSERT_FALSE(files.empty());
    for (const fs::path& file : files) {
        SCOPED_TRACE(file.string());
        // "1997-09-02T09:00:00 PDT America/Los_Angeles": the wall time on the listing's clock.
        std::vector<std::string> want;
        for (const std::string& line : ReadLines(file.string() + ".next.ref")) want.push_back(line.substr(0, 19));
        ScopedTZ tz(InstantZone(test::ReadFile(file.string())).c_str());
        const KCalFile f = Load(root, file);
        ASSERT_TRUE(f.ev);
        if (!HasRule(f.text)) continue;  // the peer lists the instants a single event alone would have
        const std::string why = Adjust(f.name, want, test::Iso(f.start));
        // Up to the last listed instant (the peer lists at most 500), and not past 2037: the
        // host's zone data lists its changes only that far, and the library follows no rule
        // beyond them, so later wall times lack daylight saving time.
        want.erase(std::remove_if(want.begin(), want.end(), [](const std::string& w) { return w >= "2038"; }),
                   want.end());
        if (want.empty()) continue;
        const std::string lastText = want.back();
        std::vector<std::string> got;
        for (DateValue s : Starts(f, DateOnly(f.start) - 1, DayValue(lastText) + 1))
            if (test::Iso(s) <= lastText) got.push_back(test::Iso(s));
        ExpectSame(want, got, why);
    }
}

}  // namespace
}  // namespace quillet
