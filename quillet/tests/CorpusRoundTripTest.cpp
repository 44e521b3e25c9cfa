// Every calendar of the shared corpus of peer projects is loaded, saved and loaded again. A file
// either loads or fails with 777; a file that loads keeps every component, property, parameter
// and value through a save, up to the normalisations the writer is meant to make, and a second
// save writes the same text as the first. Skips when the corpus is not on this machine.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "quillet/ContentLines.h"
#include "quillet/TextCodec.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;
using test::ScopedTZ;

// A calendar as a tree of content lines, read without the library's object model.
struct Prop {
    std::string name, params, value;  // params sorted "A=1;B=2", value normalised
    std::string Text() const { return name + (params.empty() ? "" : ";" + params) + ":" + value; }
    bool operator<(const Prop& o) const { return Text() < o.Text(); }
    bool operator==(const Prop& o) const { return Text() == o.Text(); }
};

struct Comp {
    std::string name;
    std::vector<Prop> props;
    std::vector<Comp> children;
    const Prop* Find(std::string_view n) const {
        for (const auto& p : props)
            if (p.name == n) return &p;
        return nullptr;
    }
};

bool IsDateProperty(std::string_view n) {
    static const std::set<std::string, std::less<>> names = {
        "DTSTART", "DTEND", "DUE", "DTSTAMP", "CREATED", "LAST-MODIFIED", "RECURRENCE-ID",
        "EXDATE", "RDATE", "COMPLETED"};
    return names.count(n) != 0;
}

// The test runs on a UTC host, where a floating time and its UTC equivalent have the same
// digits; the writer states every floating time in UTC. The reader takes a date-time from fixed
// positions (seconds 0 when missing) and a date from its eight digits.
std::string DateText(std::string v) {
    auto digits = [&](size_t from, size_t n) {
        if (v.size() < from + n) return false;
        for (size_t i = from; i < from + n; ++i)
            if (v[i] < '0' || v[i] > '9') return false;
        return true;
    };
    if (v.size() > 8 && v[8] == 'T' && digits(0, 8) && digits(9, 4))
        return v.substr(0, 13) + (digits(13, 2) ? v.substr(13, 2) : "00");
    if (v.size() == 9 && digits(0, 8) && (v[8] == 'Z' || v[8] == 'z')) v.pop_back();
    return v;
}

// Rule parts as a set, so that their order does not count; INTERVAL=1 is what a rule means
// without it, and so is WKST=MO. The week start is compared only where it can change the
// occurrences: with BYWEEKNO, or a WEEKLY rule with an INTERVAL above 1 and BYDAY.
std::string RuleText(const std::string& value) {
    std::map<std::string, std::string> parts;
    for (auto& [k, v] : ParseParams(ToUpper(value))) {
        std::string val = k == "UNTIL" ? DateText(v) : v;
        // +3WE is 3WE, and blanks between list items are not part of them.
        val.erase(std::remove_if(val.begin(), val.end(), [](char c) { return c == '+' || c == ' '; }), val.end());
        if (k == "BYDAY") {
            // An ordinal of 0 is no ordinal: 0FR is every Friday.
            std::string days;
            for (auto& [d, unused] : ParseParams(val, ',')) {
                (void)unused;
                days += (days.empty() ? "" : ",") + (d.size() == 3 && d[0] == '0' ? d.substr(1) : d);
            }
            val = days;
        }
        parts[k] = val;
    }
    auto part = [&](const char* k) { return parts.count(k) ? parts[k] : std::string(); };
    // INTERVAL must be positive and COUNT above 0: a 0 in either is the rule without it.
    if (part("INTERVAL") == "1" || part("INTERVAL") == "0") parts.erase("INTERVAL");
    if (part("COUNT") == "0") parts.erase("COUNT");
    const bool weekMatters = parts.count("BYWEEKNO") ||
                             (part("FREQ") == "WEEKLY" && parts.count("INTERVAL") && parts.count("BYDAY"));
    if (!weekMatters || part("WKST") == "MO") parts.erase("WKST");
    std::string out;
    for (const auto& [k, v] : parts) out += (out.empty() ? "" : ";") + k + "=" + v;
    return out;
}

std::optional<std::int64_t> DurationSeconds(std::string v);

Prop MakeProp(const std::string& name, const std::string& rawParams, std::string value) {
    std::vector<std::string> params;
    bool dateTime = IsDateProperty(name), isDuration = name == "DURATION";
    for (auto& [k, v] : ParseParams(rawParams)) {
        std::string key = ToUpper(k);
        if (key == "VALUE" && name == "TRIGGER") {
            dateTime = EqualsIgnoreCase(v, "DATE-TIME");
            if (EqualsIgnoreCase(v, "DURATION")) continue;  // a trigger's default type
        }
        // DATE-TIME is what a date property holds unless it says otherwise, and eight digits
        // are a DATE whether the line says so or not.
        if (key == "VALUE" && IsDateProperty(name) &&
            (EqualsIgnoreCase(v, "DATE-TIME") || (EqualsIgnoreCase(v, "DATE") && value.size() == 8)))
            continue;
        // A date is a day on every clock; a zone beside it says nothing.
        if (key == "TZID" && IsDateProperty(name) && value.substr(0, value.find('/')).size() == 8) continue;
        params.push_back(key + "=" + v);
    }
    if (name == "TRIGGER" && !dateTime) isDuration = true;
    std::sort(params.begin(), params.end());
    Prop p;
    p.name = name;
    for (const auto& s : params) p.params += (p.params.empty() ? "" : ";") + s;
    // Trailing blanks after a value are not data (the reader drops them from numbers and rules).
    while (!value.empty() && value.back() == ' ') value.pop_back();
    if (name == "RRULE" || name == "EXRULE") value = RuleText(value);
    else if ((name == "TZOFFSETFROM" || name == "TZOFFSETTO") && value.size() == 7 && value.substr(5) == "00")
        value.resize(5);  // seconds of an offset are optional in the text
    else if (dateTime) value = DateText(value);
    else if (name == "STATUS" || name == "ACTION") value = ToUpper(value);  // keywords ignore case
    else if (auto secs = isDuration ? DurationSeconds(value) : std::nullopt)
        value = std::to_string(*secs) + "s";  // P1D, PT24H and P0DT24H0M0S are one length
    else {
        // Escaping is the writer's choice, the text is the data; any line break in it is one.
        value = UnescapeText(value);
        std::string text;
        for (size_t i = 0; i < value.size(); ++i) {
            if (value[i] == '\r' && i + 1 < value.size() && value[i + 1] == '\n') continue;
            text += value[i] == '\r' ? '\n' : value[i];
        }
        value = std::move(text);
    }
    p.value = std::move(value);
    return p;
}

Comp ReadTree(std::string_view text, std::string name) {
    Comp c;
    c.name = std::move(name);
    for (const PropertyEntry& e : ParseContentLines(text)) {
        if (e.IsComponent) {
            c.children.push_back(ReadTree(e.Value, e.Name));
            continue;
        }
        const std::string& raw = e.Params.empty() ? e.Value : e.RawValue;
        if (e.Name == "EXDATE" || e.Name == "RDATE") {
            // A list of values and one line per value say the same.
            size_t pos = 0;
            while (pos <= raw.size()) {
                size_t comma = raw.find(',', pos);
                std::string one = raw.substr(pos, comma == std::string::npos ? comma : comma - pos);
                if (!one.empty()) c.props.push_back(MakeProp(e.Name, e.Params, one));
                if (comma == std::string::npos) break;
                pos = comma + 1;
            }
        } else if (e.Name == "CATEGORIES" || e.Name == "RESOURCES") {
            // Text lists too: the values are split where a comma is not escaped.
            std::string one;
            for (size_t i = 0; i <= raw.size(); ++i) {
                if (i == raw.size() || raw[i] == ',') {
                    if (!one.empty()) c.props.push_back(MakeProp(e.Name, e.Params, one));
                    one.clear();
                    continue;
                }
                one += raw[i];
                if (raw[i] == '\\' && i + 1 < raw.size()) one += raw[++i];
            }
        } else {
            c.props.push_back(MakeProp(e.Name, e.Params, raw));
        }
    }
    std::sort(c.props.begin(), c.props.end());
    // Components of one kind keep their order; the writer groups the kinds.
    std::stable_sort(c.children.begin(), c.children.end(),
                     [](const Comp& a, const Comp& b) { return a.name < b.name; });
    return c;
}

// ---- DTEND from DTSTART + DURATION, on the digits of the start -------------------------------

std::int64_t DaysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = static_cast<int>(y - era * 400);
    const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

std::optional<std::int64_t> Seconds(const std::string& v) {
    if (v.size() < 8) return std::nullopt;
    std::int64_t s = DaysFromCivil(std::stoi(v.substr(0, 4)), std::stoi(v.substr(4, 2)), std::stoi(v.substr(6, 2))) * 86400;
    if (v.size() >= 15) s += std::stoi(v.substr(9, 2)) * 3600 + std::stoi(v.substr(11, 2)) * 60 + std::stoi(v.substr(13, 2));
    return s;
}

std::optional<std::int64_t> DurationSeconds(std::string v) {
    std::int64_t sign = 1, total = 0, n = 0;
    size_t i = 0;
    if (i < v.size() && (v[i] == '+' || v[i] == '-')) sign = v[i++] == '-' ? -1 : 1;
    if (i >= v.size() || v[i++] != 'P') return std::nullopt;
    for (; i < v.size(); ++i) {
        char c = v[i];
        if (c >= '0' && c <= '9') { n = n * 10 + (c - '0'); continue; }
        switch (c) {
            case 'W': total += n * 604800; break;
            case 'D': total += n * 86400; break;
            case 'H': total += n * 3600; break;
            case 'M': total += n * 60; break;
            case 'S': total += n; break;
            case 'T': break;
            default: return std::nullopt;
        }
        n = 0;
    }
    return sign * total;
}

std::string BasicDateTime(std::int64_t s) {
    std::int64_t days = s >= 0 ? s / 86400 : (s - 86399) / 86400, rem = s - days * 86400;
    // civil_from_days
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(days - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1, m = mp < 10 ? mp + 3 : mp - 9;
    const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04lld%02u%02uT%02lld%02lld%02lld", static_cast<long long>(y), m, d,
                  static_cast<long long>(rem / 3600), static_cast<long long>(rem / 60 % 60),
                  static_cast<long long>(rem % 60));
    return buf;
}

// The end a writer states for a start and a duration (or none): the start moved by the
// duration, with the start's zone, as a date-time.
std::optional<std::string> DerivedEndText(const Comp& original, const Comp& saved) {
    const Prop* start = saved.Find("DTSTART");
    if (!start) return std::nullopt;
    const Prop* dur = original.Find("DURATION");
    auto s = Seconds(start->value);
    // Durations are compared as "<seconds>s" (see MakeProp).
    std::optional<std::int64_t> d = 0;
    if (dur) {
        try {
            d = std::stoll(dur->value);
        } catch (const std::exception&) {
            d = std::nullopt;
        }
    }
    if (!s || !d) return std::nullopt;
    std::string params;
    for (auto& [k, v] : ParseParams(start->params))
        if (k != "VALUE") params += (params.empty() ? "" : ";") + k + "=" + v;
    return (params.empty() ? "" : params + ":") + BasicDateTime(*s + *d);
}

// ---- comparison ----------------------------------------------------------------------------

// What a save may drop: the values a component holds by default, the forms the writer restates
// (DURATION becomes DTEND), a status word the component does not know, the time zone copy an
// event carries (zones belong to the calendar), and the modification stamp a to-do's save renews.
bool MayLose(const Comp& c, const Prop& p, const Comp& saved) {
    // A property that may occur once but was given several times keeps one of its values; a
    // file of several calendars is read as one, whose header keeps one value of each kind.
    static const std::set<std::string, std::less<>> single = {
        "VERSION", "PRODID", "CALSCALE", "METHOD", "DTSTART", "DTEND", "DUE", "SUMMARY", "DESCRIPTION",
        "LOCATION", "UID", "DTSTAMP", "CREATED", "LAST-MODIFIED", "CLASS", "PRIORITY", "SEQUENCE", "STATUS",
        "TRANSP", "URL", "ORGANIZER", "GEO", "RECURRENCE-ID", "DURATION", "COMPLETED", "PERCENT-COMPLETE"};
    if (single.count(p.name) && saved.Find(p.name) &&
        std::count_if(c.props.begin(), c.props.end(), [&](const Prop& x) { return x.name == p.name; }) > 1)
        return true;
    if ((p.name == "SEQUENCE" || p.name == "PRIORITY") && (p.value == "0" || p.value == "+0")) return true;
    // An empty value says nothing; the writer leaves such a line out.
    if (p.value.empty()) return true;
    if ((c.name == "VEVENT" || c.name == "VTODO") && p.name == "DURATION")
        return saved.Find(c.name == "VEVENT" ? "DTEND" : "DUE") != nullptr;
    if (c.name == "VTODO" && p.name == "LAST-MODIFIED") return true;
    if (p.name == "STATUS") {
        std::string_view known = c.name == "VEVENT" ? "|TENTATIVE|CONFIRMED|CANCELLED|"
                                 : c.name == "VTODO" ? "|NEEDS-ACTION|COMPLETED|IN-PROCESS|CANCELLED|" : "";
        return !known.empty() && known.find("|" + p.value + "|") == std::string_view::npos;
    }
    return false;
}

// What a save may add: the creation stamp of a component that had none, the status a new event
// has, the end derived from the start and duration, and a to-do's fresh modification stamp.
bool MayAdd(const Comp& original, const Comp& c, const Prop& p) {
    if ((c.name == "VEVENT" || c.name == "VTODO") && p.name == "CREATED" && !original.Find("CREATED")) return true;
    if (c.name == "VTODO" && p.name == "LAST-MODIFIED") return true;
    if (c.name == "VEVENT" && p.name == "STATUS" && p.value == "TENTATIVE" &&
        (!original.Find("STATUS") || MayLose(original, *original.Find("STATUS"), c)))
        return true;
    const char* end = c.name == "VEVENT" ? "DTEND" : c.name == "VTODO" ? "DUE" : nullptr;
    if (end && p.name == end && !original.Find(end)) {
        auto want = DerivedEndText(original, c);
        return want && *want == (p.params.empty() ? "" : p.params + ":") + p.value;
    }
    // An alarm needs a trigger; one read without it is written with a zero one.
    if (c.name == "VALARM" && p.name == "TRIGGER" && p.value == "0s" && !original.Find("TRIGGER")) return true;
    return false;
}

// Whether the library reads a child of this kind into its objects; every other component is kept
// as its text and written back as read, so none of the writer's normalisations apply to it.
bool Modelled(const std::string& parent, const std::string& child) {
    if (parent == "VCALENDAR") return child == "VEVENT" || child == "VTODO" || child == "VFREEBUSY" || child == "VTIMEZONE";
    if (parent == "VEVENT" || parent == "VTODO") return child == "VALARM";
    if (parent == "VTIMEZONE") return child == "STANDARD" || child == "DAYLIGHT";
    return false;
}

void Compare(const Comp& a, const Comp& b, const std::string& path, bool modelled, std::vector<std::string>& diffs) {
    std::vector<Prop> rest = b.props;
    for (const Prop& p : a.props) {
        auto it = std::find(rest.begin(), rest.end(), p);
        if (it != rest.end()) rest.erase(it);
        else if (!modelled || !MayLose(a, p, b)) diffs.push_back(path + " lost " + p.Text());
    }
    for (const Prop& p : rest)
        if (!modelled || !MayAdd(a, b, p)) diffs.push_back(path + " gained " + p.Text());
    std::map<std::string, int> seen;
    size_t j = 0;
    for (const Comp& ca : a.children) {
        std::string where = path + "/" + ca.name + "[" + std::to_string(++seen[ca.name]) + "]";
        const bool child = modelled && Modelled(a.name, ca.name);
        // An event keeps no time zone of its own: its zones are the calendar's.
        if (modelled && a.name == "VEVENT" && ca.name == "VTIMEZONE") continue;
        // An observance without its required start cannot be used or written.
        if (child && a.name == "VTIMEZONE" && !ca.Find("DTSTART")) continue;
        while (j < b.children.size() && b.children[j].name < ca.name) {
            diffs.push_back(path + " gained component " + b.children[j].name);
            ++j;
        }
        if (j < b.children.size() && b.children[j].name == ca.name) Compare(ca, b.children[j++], where, child, diffs);
        else diffs.push_back(where + " lost");
    }
    for (; j < b.children.size(); ++j) diffs.push_back(path + " gained component " + b.children[j].name);
}

// The text of a save without the lines a later save is meant to renew.
std::vector<std::string> StableLines(const std::string& text) {
    std::vector<std::string> out, stack;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find("\r\n", pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 2;
        if (line.rfind("BEGIN:", 0) == 0) stack.push_back(line.substr(6));
        else if (line.rfind("END:", 0) == 0 && !stack.empty()) stack.pop_back();
        else if (!stack.empty() && stack.back() == "VTODO" && line.rfind("LAST-MODIFIED", 0) == 0) continue;
        out.push_back(line);
    }
    return out;
}

TEST(CorpusRoundTrip, EveryFileLoadsOrFailsWith777AndSurvivesASave) {
    const fs::path root = fs::path(ORVELLE_CORPUS_DIR);
    if (!fs::exists(root)) GTEST_SKIP() << "corpus not present";
    ScopedTZ tz("UTC");
    test::TempDir tmp;
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file() && entry.path().extension() == ".ics") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    ASSERT_FALSE(files.empty());

    int loaded = 0, roundTripped = 0, invalid = 0;
    for (const fs::path& file : files) {
        const std::string name = fs::relative(file, root).string();
        SCOPED_TRACE(name);
        auto cal = iCalendar::Create();
        try {
            cal->LoadFromFile(file.string());
        } catch (const LibraryError& e) {
            EXPECT_EQ(e.Number(), kErrFormat) << e.Description();
            if (e.Number() == kErrFormat) ++invalid;
            continue;
        } catch (const std::exception& e) {
            ADD_FAILURE() << "load raised " << e.what();
            continue;
        }
        ++loaded;
        const std::string first = tmp.File("first.ics"), second = tmp.File("second.ics");
        cal->SaveToFile(first);
        auto again = iCalendar::Create();
        try {
            again->LoadFromFile(first);
        } catch (const std::exception& e) {
            ADD_FAILURE() << "its save does not load: " << e.what();
            continue;
        }
        again->SaveToFile(second);
        const std::string firstText = test::ReadFile(first), secondText = test::ReadFile(second);
        EXPECT_EQ(StableLines(firstText), StableLines(secondText)) << name << ": a second save changes the text";

        std::vector<std::string> diffs;
        Compare(ReadTree(DecodeUtf8(test::ReadFile(file.string())), "VCALENDAR"), ReadTree(firstText, "VCALENDAR"),
                "VCALENDAR", true, diffs);
        if (diffs.empty()) {
            ++roundTripped;
            continue;
        }
        std::string report;
        for (size_t i = 0; i < diffs.size() && i < 40; ++i) report += "\n  " + diffs[i];
        if (diffs.size() > 40) report += "\n  ... " + std::to_string(diffs.size() - 40) + " more";
        ADD_FAILURE() << name << ": the save does not keep the file's content:" << report;
    }
    std::cout << "[ corpus   ] " << files.size() << " files: " << loaded << " loaded, " << roundTripped
              << " round-tripped, " << invalid << " failed with 777\n";
    ::testing::Test::RecordProperty("loaded", loaded);
    ::testing::Test::RecordProperty("round_tripped", roundTripped);
    ::testing::Test::RecordProperty("failed_777", invalid);
}

}  // namespace
}  // namespace quillet
