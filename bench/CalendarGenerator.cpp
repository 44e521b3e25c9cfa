#include "CalendarGenerator.h"

#include <chrono>
#include <cstdio>
#include <string_view>

namespace orvelle::bench {

namespace {

using namespace std::chrono;

// Standard-time and daylight observances as desktop calendars export them.
const char kZones[] =
    "BEGIN:VTIMEZONE\r\n"
    "TZID:America/New_York\r\n"
    "BEGIN:DAYLIGHT\r\nTZOFFSETFROM:-0500\r\nTZOFFSETTO:-0400\r\nTZNAME:EDT\r\n"
    "DTSTART:20070311T020000\r\nRRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=2SU\r\nEND:DAYLIGHT\r\n"
    "BEGIN:STANDARD\r\nTZOFFSETFROM:-0400\r\nTZOFFSETTO:-0500\r\nTZNAME:EST\r\n"
    "DTSTART:20071104T020000\r\nRRULE:FREQ=YEARLY;BYMONTH=11;BYDAY=1SU\r\nEND:STANDARD\r\n"
    "END:VTIMEZONE\r\n"
    "BEGIN:VTIMEZONE\r\n"
    "TZID:Europe/Berlin\r\n"
    "BEGIN:DAYLIGHT\r\nTZOFFSETFROM:+0100\r\nTZOFFSETTO:+0200\r\nTZNAME:CEST\r\n"
    "DTSTART:19810329T020000\r\nRRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU\r\nEND:DAYLIGHT\r\n"
    "BEGIN:STANDARD\r\nTZOFFSETFROM:+0200\r\nTZOFFSETTO:+0100\r\nTZNAME:CET\r\n"
    "DTSTART:19961027T030000\r\nRRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU\r\nEND:STANDARD\r\n"
    "END:VTIMEZONE\r\n";

const char* const kZoneIds[] = {"America/New_York", "Europe/Berlin"};

const char* const kSummaries[] = {
    "Team sync",          "1:1 with Jürgen",         "Sprint review",      "Dentist",
    "Café with Zoë ☕",    "Budget; Q3 forecast",     "Release party 🎉",   "Déjeuner d'équipe",
    "Board meeting",      "Code review, backend",    "Yoga",               "Customer call – Tokyo 東京",
    "Planning",           "Interview",               "Lunch",              "Retro\\lessons learned",
};

const char* const kLocations[] = {
    "Room 4.12, Building B", "Straße des 17. Juni 135, Berlin", "Online",
    "Café Müller",           "HQ; floor 3",                      "Conference room \"Oak\"",
};

const char* const kSentences[] = {
    "Agenda: status, risks, next steps.",
    "Please read the notes beforehand; they are in the shared folder.",
    "Bring your laptop\\charger.",
    "Dial-in: +49 30 1234567, PIN 4711.",
    "Grüße aus München – bis bald!",
    "Zusammenfassung der Ergebnisse für das Quartal.",
    "Don't forget the cake 🎂.",
    "Parking is available behind the building.",
    "日本語の資料も用意してください。",
};

const char* const kCategories[] = {"Work", "Meeting", "Personal", "Travel", "Project X", "Family"};

struct Person {
    const char* name;
    const char* mail;
};
const Person kPeople[] = {
    {"Ann Lee", "ann.lee@example.com"},       {"Bob Smith", "bob@example.org"},
    {"Jürgen Groß", "juergen@example.de"},    {"Zoë Martín", "zoe.martin@example.es"},
    {"Chen Wei", "chen.wei@example.cn"},      {"Olivia Brown", "olivia.brown@example.com"},
};
const char* const kRoles[] = {"REQ-PARTICIPANT", "OPT-PARTICIPANT", "CHAIR"};
const char* const kPartstats[] = {"ACCEPTED", "NEEDS-ACTION", "TENTATIVE", "DECLINED"};

// TEXT values escape backslash, semicolon, comma and line breaks.
std::string Escape(std::string_view s) {
    std::string out;
    out.reserve(s.size() + 8);
    for (char c : s) {
        if (c == '\\' || c == ';' || c == ',') out += '\\', out += c;
        else if (c == '\n') out += "\\n";
        else out += c;
    }
    return out;
}

// One content line, folded after at most 75 octets without cutting a UTF-8 sequence.
void AppendLine(std::string& out, std::string_view line) {
    size_t limit = 75;
    while (line.size() > limit) {
        size_t cut = limit;
        while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
        out.append(line.substr(0, cut));
        out += "\r\n ";
        line.remove_prefix(cut);
        limit = 74;  // the leading blank counts
    }
    out.append(line);
    out += "\r\n";
}

std::string Date(year_month_day d) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d%02u%02u", static_cast<int>(d.year()), static_cast<unsigned>(d.month()),
                  static_cast<unsigned>(d.day()));
    return buf;
}

std::string DateTime(year_month_day d, int minutes) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "T%02d%02d00", minutes / 60, minutes % 60);
    return Date(d) + buf;
}

enum class Clock { Zoned, Utc, Floating, AllDay };

// The parameters and value of DTSTART/DTEND/EXDATE for one clock.
struct When {
    Clock clock;
    const char* tzid;

    std::string Params() const {
        if (clock == Clock::AllDay) return ";VALUE=DATE";
        if (clock == Clock::Zoned) return std::string(";TZID=") + tzid;
        return {};
    }
    std::string Value(year_month_day d, int minutes) const {
        if (clock == Clock::AllDay) return Date(d);
        return DateTime(d, minutes) + (clock == Clock::Utc ? "Z" : "");
    }
    // UNTIL is UTC for zoned and UTC starts, a date for all-day ones, floating otherwise; the end
    // of the day leaves no doubt which occurrence is the last.
    std::string Until(year_month_day d) const {
        if (clock == Clock::AllDay) return Date(d);
        return Date(d) + (clock == Clock::Floating ? "T235959" : "T235959Z");
    }
};

enum Shape { kDailyCount, kWeeklyDays, kBiweeklyUntil, kMonthlyLastFriday, kMonthlyDay, kYearly, kDailyUntil, kShapes };

year_month_day LastFriday(year_month y) { return year_month_day{sys_days{y / Friday[last]}}; }

}  // namespace

int CalendarGenerator::Pick(size_t n) { return static_cast<int>(rng_() % static_cast<std::uint32_t>(n)); }

bool CalendarGenerator::Chance(int percent) { return Pick(100) < percent; }

std::string CalendarGenerator::Generate(int events) {
    mix_ = GeneratedMix{};
    std::string out;
    out.reserve(static_cast<size_t>(events) * 600 + 4096);
    out += "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Orvelle//Calendar generator//EN\r\n"
           "CALSCALE:GREGORIAN\r\nX-WR-CALNAME:Generated\r\n";
    out += kZones;
    for (int i = 0; i < events; ++i) AppendEvent(out, i);
    out += "END:VCALENDAR\r\n";
    return out;
}

void CalendarGenerator::AppendEvent(std::string& out, int index) {
    ++mix_.events;
    const sys_days first{2024y / January / 1};
    year_month_day day{first + days{Pick(4 * 365 + 1)}};
    if (day.month() == February && day.day() == 29d) day = day.year() / February / 28d;
    int startMin = (7 + Pick(12)) * 60 + 15 * Pick(4);
    static const int kLengths[] = {30, 45, 60, 60, 90, 120};
    int length = kLengths[Pick(6)];

    bool recurring = Chance(15);
    Shape shape = recurring ? static_cast<Shape>(Pick(kShapes)) : kShapes;
    When when{Clock::Utc, nullptr};
    if (shape == kYearly || (!recurring && Chance(10))) {
        when.clock = Clock::AllDay;
    } else {
        int z = Pick(100);
        if (z < 35) when = {Clock::Zoned, kZoneIds[Pick(2)]};
        else if (z < 92) when.clock = Clock::Utc;
        else when.clock = Clock::Floating;
    }

    // Each rule gets a DTSTART it generates itself, as calendar programs write them.
    std::string rule;
    static const weekday kMWF[] = {Monday, Wednesday, Friday};
    static const weekday kTT[] = {Tuesday, Thursday};
    auto moveTo = [&](const weekday* set, int n) {
        sys_days d{day};
        for (;; d += days{1}) {
            bool hit = false;
            for (int k = 0; k < n; ++k) hit = hit || weekday{d} == set[k];
            if (hit) break;
        }
        day = year_month_day{d};
    };
    int count = 5 + Pick(26);
    year_month_day until{sys_days{day} + days{60 + Pick(340)}};
    bool withUntil = false;
    switch (shape) {
        case kDailyCount: rule = "FREQ=DAILY;COUNT=" + std::to_string(count); break;
        case kWeeklyDays:
            moveTo(kMWF, 3);
            rule = "FREQ=WEEKLY;BYDAY=MO,WE,FR";
            withUntil = Chance(50);
            break;
        case kBiweeklyUntil:
            moveTo(kTT, 2);
            rule = "FREQ=WEEKLY;INTERVAL=2;BYDAY=TU,TH";
            withUntil = true;
            break;
        case kMonthlyLastFriday:
            day = LastFriday(day.year() / day.month());
            rule = "FREQ=MONTHLY;BYDAY=-1FR";
            withUntil = Chance(30);
            break;
        case kMonthlyDay:
            if (day.day() > 28d) day = day.year() / day.month() / 28d;
            rule = "FREQ=MONTHLY;BYMONTHDAY=" + std::to_string(static_cast<unsigned>(day.day()));
            withUntil = Chance(30);
            break;
        case kYearly: rule = "FREQ=YEARLY"; break;
        case kDailyUntil:
            rule = "FREQ=DAILY";
            until = year_month_day{sys_days{day} + days{10 + Pick(50)}};
            withUntil = true;
            break;
        case kShapes: break;
    }
    if (withUntil) rule += ";UNTIL=" + when.Until(until), ++mix_.withUntil;

    // The k-th occurrence after DTSTART (k small enough to lie before COUNT or UNTIL runs out).
    auto occurrence = [&](int k) -> year_month_day {
        year_month ym = day.year() / day.month() + months{k};
        switch (shape) {
            case kDailyCount:
            case kDailyUntil: return year_month_day{sys_days{day} + days{k}};
            case kWeeklyDays: return year_month_day{sys_days{day} + days{7 * k}};
            case kBiweeklyUntil: return year_month_day{sys_days{day} + days{14 * k}};
            case kMonthlyLastFriday: return LastFriday(ym);
            case kMonthlyDay: return ym / day.day();
            case kYearly: return (day.year() + years{k}) / day.month() / day.day();
            case kShapes: break;
        }
        return day;
    };

    char uid[64];
    std::snprintf(uid, sizeof uid, "UID:gen-%07d-%08x@orvelle.example", index, static_cast<unsigned>(rng_()));
    const std::string start = when.Value(day, startMin);
    int endMin = startMin + length;
    year_month_day endDay = when.clock == Clock::AllDay ? year_month_day{sys_days{day} + days{1 + Pick(2) * Pick(3)}}
                                                         : day;

    out += "BEGIN:VEVENT\r\n";
    AppendLine(out, uid);
    AppendLine(out, "DTSTAMP:" + DateTime(year_month_day{sys_days{2023y / December / 1} + days{Pick(30)}},
                                          Pick(24 * 60)) + "Z");
    AppendLine(out, "DTSTART" + when.Params() + ":" + start);
    if (when.clock != Clock::AllDay && Chance(15))
        AppendLine(out, "DURATION:PT" + std::to_string(length) + "M");
    else
        AppendLine(out, "DTEND" + when.Params() + ":" + when.Value(endDay, endMin));
    if (recurring) {
        ++mix_.recurring;
        AppendLine(out, "RRULE:" + rule);
        bool canExclude = shape != kDailyCount || count > 5;
        if (canExclude && Chance(40)) {
            ++mix_.withExdate;
            std::string ex = "EXDATE" + when.Params() + ":" + when.Value(occurrence(1 + Pick(2)), startMin);
            if (Chance(30)) ex += "," + when.Value(occurrence(3 + Pick(2)), startMin);
            AppendLine(out, ex);
        }
    }
    if (when.clock == Clock::AllDay) ++mix_.allDay;
    if (when.clock == Clock::Zoned) ++mix_.zoned;

    AppendLine(out, "SUMMARY:" + Escape(kSummaries[Pick(std::size(kSummaries))]));
    if (Chance(70)) AppendLine(out, "LOCATION:" + Escape(kLocations[Pick(std::size(kLocations))]));
    if (Chance(75)) {
        std::string text;
        int sentences = 1 + Pick(4);
        for (int s = 0; s < sentences; ++s) {
            if (s) text += Chance(40) ? "\n" : " ";
            text += kSentences[Pick(std::size(kSentences))];
        }
        AppendLine(out, "DESCRIPTION:" + Escape(text));
    }
    if (Chance(60)) {
        int a = Pick(std::size(kCategories)), b = Pick(std::size(kCategories));
        std::string cats = kCategories[a];
        if (b != a) cats += std::string(",") + kCategories[b];
        AppendLine(out, "CATEGORIES:" + cats);
    }
    AppendLine(out, Chance(50) ? "STATUS:CONFIRMED" : "TRANSP:OPAQUE");
    int attendees = Pick(4);
    if (attendees > 0) {
        const Person& org = kPeople[Pick(std::size(kPeople))];
        AppendLine(out, std::string("ORGANIZER;CN=\"") + org.name + "\":mailto:" + org.mail);
        for (int a = 0; a < attendees; ++a) {
            const Person& p = kPeople[Pick(std::size(kPeople))];
            AppendLine(out, std::string("ATTENDEE;CN=\"") + p.name + "\";ROLE=" + kRoles[Pick(3)] +
                                ";PARTSTAT=" + kPartstats[Pick(4)] + ";RSVP=" + (Chance(50) ? "TRUE" : "FALSE") +
                                ":mailto:" + p.mail);
        }
    }
    if (Chance(20)) {
        ++mix_.alarms;
        static const char* const kTriggers[] = {"-PT5M", "-PT15M", "-PT30M", "-PT1H", "-P1D"};
        out += "BEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:Reminder\r\n";
        AppendLine(out, std::string("TRIGGER:") + kTriggers[Pick(5)]);
        out += "END:VALARM\r\n";
    }
    out += "END:VEVENT\r\n";
}

}  // namespace orvelle::bench
