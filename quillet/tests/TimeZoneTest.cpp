#include <gtest/gtest.h>

#include <date/tz.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "quillet/HostZone.h"
#include "quillet/TimeZone.h"
#include "quillet/ZoneRules.h"
#include "quillet/iCalendar.h"

using namespace quillet;
using namespace quillet::test;

namespace {

// A US Eastern definition the way real files carry it: the 1987-2006 rules with UNTIL and the
// rules from 2007 on, so it has two observances of each kind.
const char* kCustomEastern =
    "BEGIN:VTIMEZONE\r\n"
    "TZID:Custom Eastern\r\n"
    "BEGIN:DAYLIGHT\r\n"
    "DTSTART:19870405T020000\r\n"
    "RRULE:FREQ=YEARLY;BYMONTH=4;BYDAY=1SU;UNTIL=20060402T070000Z\r\n"
    "TZOFFSETFROM:-0500\r\n"
    "TZOFFSETTO:-0400\r\n"
    "TZNAME:EDT\r\n"
    "END:DAYLIGHT\r\n"
    "BEGIN:STANDARD\r\n"
    "DTSTART:19671029T020000\r\n"
    "RRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU;UNTIL=20061029T060000Z\r\n"
    "TZOFFSETFROM:-0400\r\n"
    "TZOFFSETTO:-0500\r\n"
    "TZNAME:EST\r\n"
    "END:STANDARD\r\n"
    "BEGIN:DAYLIGHT\r\n"
    "DTSTART:20070311T020000\r\n"
    "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=2SU\r\n"
    "TZOFFSETFROM:-0500\r\n"
    "TZOFFSETTO:-0400\r\n"
    "TZNAME:EDT\r\n"
    "END:DAYLIGHT\r\n"
    "BEGIN:STANDARD\r\n"
    "DTSTART:20071104T020000\r\n"
    "RRULE:FREQ=YEARLY;BYMONTH=11;BYDAY=1SU\r\n"
    "TZOFFSETFROM:-0400\r\n"
    "TZOFFSETTO:-0500\r\n"
    "TZNAME:EST\r\n"
    "END:STANDARD\r\n"
    "END:VTIMEZONE\r\n";

std::string Calendar(const std::string& body, const std::string& zones = "") {
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n" + zones + body + "END:VCALENDAR\r\n";
}

std::string EventAt(const std::string& dtstart, const std::string& extra = "") {
    return "BEGIN:VEVENT\r\nUID:e\r\nDTSTART" + dtstart + "\r\n" + extra + "END:VEVENT\r\n";
}

// UTC instant of a DTSTART value read in a calendar.
std::string UtcOf(const std::string& dtstart, const std::string& zones = "") {
    auto cal = iCalendar::Create();
    cal->TryParse(Calendar(EventAt(dtstart), zones));
    return Iso(cal->Events().Item(1)->DTStart()->Value());
}

std::vector<std::string> HostStarts(const iCalendarPtr& cal, DateValue from, DateValue to) {
    std::vector<std::string> out;
    for (const auto& ev : cal->QueryEvent(from, to))
        for (const auto& p : ev->Periods()) out.push_back(Iso(p->StartTime()->Value()));
    return out;
}

}  // namespace

// 10:00 New York seen from Berlin: six hours later, except in the weeks when only one of the
// two zones keeps daylight time.
TEST(TimeZones, NewYorkTimesOnABerlinHost) {
    ScopedTZ tz("Europe/Berlin");
    struct Case {
        const char* date;
        const char* utc;
        const char* berlin;
    } cases[] = {
        {"20070104", "2007-01-04T15:00:00", "2007-01-04T16:00:00"},  // both standard
        {"20070315", "2007-03-15T14:00:00", "2007-03-15T15:00:00"},  // New York moved, Berlin not yet
        {"20070322", "2007-03-22T14:00:00", "2007-03-22T15:00:00"},
        {"20070329", "2007-03-29T14:00:00", "2007-03-29T16:00:00"},  // both daylight
        {"20070705", "2007-07-05T14:00:00", "2007-07-05T16:00:00"},
        {"20071101", "2007-11-01T14:00:00", "2007-11-01T15:00:00"},  // Berlin back, New York not yet
        {"20071108", "2007-11-08T15:00:00", "2007-11-08T16:00:00"},
    };
    for (const Case& c : cases) {
        for (const std::string& zones : {std::string(), std::string(kCustomEastern)}) {
            const std::string tzid = zones.empty() ? "America/New_York" : "Custom Eastern";
            auto cal = iCalendar::Create();
            cal->TryParse(Calendar(EventAt(";TZID=" + tzid + ":" + c.date + "T100000"), zones));
            const auto& start = cal->Events().Item(1)->DTStart();
            EXPECT_EQ(Iso(start->Value()), c.utc) << tzid << " " << c.date;
            EXPECT_EQ(Iso(start->localtime()), c.berlin) << tzid << " " << c.date;
        }
    }
}

TEST(TimeZones, WeeklyZonedMeetingKeepsItsOwnWallTime) {
    ScopedTZ tz("Europe/Berlin");
    for (const std::string& zones : {std::string(), std::string(kCustomEastern)}) {
        const std::string tzid = zones.empty() ? "America/New_York" : "Custom Eastern";
        auto cal = iCalendar::Create();
        cal->TryParse(Calendar(EventAt(";TZID=" + tzid + ":20070301T100000",
                                       "DTEND;TZID=" + tzid + ":20070301T110000\r\n"
                                       "RRULE:FREQ=WEEKLY;UNTIL=20070405T140000Z\r\n"
                                       "EXDATE;TZID=" + tzid + ":20070322T100000\r\n"),
                               zones));
        EXPECT_EQ(HostStarts(cal, DV(2007, 2, 1), DV(2007, 5, 1)),
                  (std::vector<std::string>{"2007-03-01T16:00:00", "2007-03-08T16:00:00", "2007-03-15T15:00:00",
                                            "2007-03-29T16:00:00", "2007-04-05T16:00:00"}))
            << tzid;
        auto ev = cal->Events().Item(1);
        ASSERT_EQ(ev->Periods().Count(), 5);
        EXPECT_EQ(ev->Periods().Item(3)->GetDuration()->AllSeconds(), 3600);
    }
}

TEST(TimeZones, UntilIsAnInstantWhateverTheHost) {
    // On a host far west of the zone, UNTIL must still be compared as the same instant.
    ScopedTZ tz("Pacific/Honolulu");
    auto cal = iCalendar::Create();
    cal->TryParse(Calendar(EventAt(";TZID=Europe/Berlin:20070101T080000",
                                   "RRULE:FREQ=DAILY;UNTIL=20070103T070000Z\r\n")));
    EXPECT_EQ(HostStarts(cal, DV(2006, 12, 1), DV(2007, 2, 1)),
              (std::vector<std::string>{"2006-12-31T21:00:00", "2007-01-01T21:00:00", "2007-01-02T21:00:00"}));
}

TEST(TimeZones, LookupOrder) {
    ScopedTZ tz("UTC");
    // The calendar's own definition wins over an IANA zone of the same name.
    const std::string fixedBerlin =
        "BEGIN:VTIMEZONE\r\nTZID:Europe/Berlin\r\nBEGIN:STANDARD\r\nDTSTART:19700101T000000\r\n"
        "TZOFFSETFROM:+0300\r\nTZOFFSETTO:+0300\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n";
    EXPECT_EQ(UtcOf(";TZID=Europe/Berlin:20070701T100000", fixedBerlin), "2007-07-01T07:00:00");
    // A definition without observances says nothing; the name still does.
    EXPECT_EQ(UtcOf(";TZID=Europe/Berlin:20070701T100000",
                    "BEGIN:VTIMEZONE\r\nTZID:Europe/Berlin\r\nEND:VTIMEZONE\r\n"),
              "2007-07-01T08:00:00");
    struct Case {
        const char* tzid;
        const char* utc;
    } cases[] = {
        {"Europe/Berlin", "2007-07-01T08:00:00"},
        {"W. Europe Standard Time", "2007-07-01T08:00:00"},
        {"Eastern Standard Time", "2007-07-01T14:00:00"},
        {"\"(UTC-05:00) Eastern Time (US & Canada)\"", "2007-07-01T14:00:00"},
        {"\"(UTC+05:30) Chennai, Kolkata, Mumbai, New Delhi\"", "2007-07-01T04:30:00"},
        {"Tokyo Standard Time", "2007-07-01T01:00:00"},
        {"/example.org/20050126_1/America/New_York", "2007-07-01T14:00:00"},
        {"Nowhere Standard Time", "2007-07-01T10:00:00"},  // unknown: host-local
    };
    for (const Case& c : cases) EXPECT_EQ(UtcOf(std::string(";TZID=") + c.tzid + ":20070701T100000"), c.utc) << c.tzid;

    ScopedTZ berlin("Europe/Berlin");
    EXPECT_EQ(UtcOf(";TZID=Nowhere Standard Time:20070701T100000"), "2007-07-01T08:00:00");
    EXPECT_EQ(UtcOf(":20070701T100000"), "2007-07-01T08:00:00") << "floating: host-local";
    EXPECT_EQ(UtcOf(":20070701T100000Z"), "2007-07-01T10:00:00");
}

// RFC 5545 3.3.5: a skipped local time takes the offset before the gap, a repeated one the first.
TEST(TimeZones, OffsetsAgreeWithTheZoneDatabaseAtEveryChange) {
    // Offsets come from a table built once per zone; at each change, a second either side, and
    // outside the table's years they must be the database's own answer.
    const Secs unixDay0 = FieldsToSeconds({1970, 1, 1});
    for (const char* name : {"America/New_York", "Europe/Berlin", "Australia/Lord_Howe", "Asia/Kolkata", "UTC"}) {
        SCOPED_TRACE(name);
        ZoneRulesPtr rules = IanaZone(name);
        ASSERT_TRUE(rules);
        const date::time_zone* tz = date::locate_zone(name);
        auto expected = [&](Secs utc) {
            return static_cast<int>(tz->get_info(date::sys_seconds(std::chrono::seconds(utc - unixDay0))).offset.count());
        };
        std::vector<Secs> probes = {FieldsToSeconds({1850, 6, 1}), FieldsToSeconds({1900, 1, 1}) - 1,
                                    FieldsToSeconds({2199, 12, 31, 23, 59, 59}), FieldsToSeconds({2250, 7, 1})};
        for (Secs t = FieldsToSeconds({1900, 1, 1}); t < FieldsToSeconds({2200, 1, 1});) {
            auto info = tz->get_info(date::sys_seconds(std::chrono::seconds(t - unixDay0)));
            Secs end = info.end.time_since_epoch().count() + unixDay0;
            if (end >= FieldsToSeconds({2200, 1, 1}) || end <= t) break;
            probes.insert(probes.end(), {end - 1, end, end + 1});
            t = end;
        }
        for (Secs p : probes) ASSERT_EQ(rules->OffsetAt(p), expected(p)) << FormatIsoDateTime(SecondsToFields(p));
    }
}

TEST(TimeZones, GapAndOverlap) {
    ScopedTZ tz("Asia/Tokyo");
    struct Case {
        const char* local;
        const char* utc;
        const char* written;
    } cases[] = {
        {"20070311T023000", "2007-03-11T07:30:00", "20070311T033000"},  // does not exist
        {"20071104T013000", "2007-11-04T05:30:00", "20071104T013000"},  // occurs twice: EDT
        {"20071104T020000", "2007-11-04T07:00:00", "20071104T020000"},
        {"20070311T013000", "2007-03-11T06:30:00", "20070311T013000"},
    };
    for (const Case& c : cases) {
        for (const std::string& zones : {std::string(), std::string(kCustomEastern)}) {
            const std::string tzid = zones.empty() ? "America/New_York" : "Custom Eastern";
            auto cal = iCalendar::Create();
            cal->TryParse(Calendar(EventAt(";TZID=" + tzid + ":" + c.local), zones));
            const auto& start = cal->Events().Item(1)->DTStart();
            EXPECT_EQ(Iso(start->Value()), c.utc) << tzid << " " << c.local;
            EXPECT_EQ(start->ToString(), ";TZID=" + tzid + ":" + c.written) << tzid << " " << c.local;
        }
    }
}

TEST(TimeZones, HostZoneFromTZ) {
    for (const char* host : {"Europe/Berlin", ":Europe/Berlin", ":/usr/share/zoneinfo/Europe/Berlin",
                             "CET-1CEST,M3.5.0,M10.5.0/3"}) {
        ScopedTZ tz(host);
        EXPECT_EQ(Iso(LocalToUTC(DV(2007, 1, 10, 12))), "2007-01-10T11:00:00") << host;
        EXPECT_EQ(Iso(LocalToUTC(DV(2007, 7, 10, 12))), "2007-07-10T10:00:00") << host;
        EXPECT_EQ(Iso(UTCToLocal(DV(2007, 7, 10, 10))), "2007-07-10T12:00:00") << host;
        EXPECT_EQ(Iso(LocalToUTC(DV(2007, 3, 25, 2, 30))), "2007-03-25T01:30:00") << host << ": gap";
        EXPECT_EQ(Iso(LocalToUTC(DV(2007, 10, 28, 2, 30))), "2007-10-28T00:30:00") << host << ": overlap";
        EXPECT_EQ(HostOffsetAt(ToSeconds(DV(2007, 7, 10))), 7200) << host;
    }
}

TEST(TimeZones, GetLocalOffset) {
    struct Case {
        const char* host;
        const char* offset;
    } cases[] = {{"Asia/Kolkata", "+05:30"}, {"UTC", "+00:00"}, {"IST-5:30", "+05:30"}, {"<-0330>3:30", "-03:30"}};
    TimeZone any;
    for (const Case& c : cases) {
        ScopedTZ tz(c.host);
        EXPECT_EQ(any.GetLocalOffset(), c.offset) << c.host;
        EXPECT_EQ(LocalTimeZone()->CurrentTimeZoneInfo()->TZOffsetTo()->ToColonString(), c.offset) << c.host;
    }
    {
        // Newfoundland keeps -03:30 in winter and -02:30 in summer.
        ScopedTZ tz("America/St_Johns");
        EXPECT_EQ(TimeZone::GetLocalOffsetAt(DV(2026, 1, 15)), "-03:30");
        EXPECT_EQ(TimeZone::GetLocalOffsetAt(DV(2026, 7, 15)), "-02:30");
    }
    ScopedTZ tz("Europe/Berlin");
    EXPECT_EQ(TimeZone::GetLocalOffsetAt(DV(2026, 1, 15)), "+01:00");
    EXPECT_EQ(TimeZone::GetLocalOffsetAt(DV(2026, 7, 15)), "+02:00");
    // Now, daylight saving included, against the zone database directly.
    auto info = date::locate_zone("Europe/Berlin")->get_info(std::chrono::system_clock::now());
    EXPECT_EQ(any.GetLocalOffset(), info.offset.count() == 7200 ? "+02:00" : "+01:00");
    EXPECT_EQ(LocalTimeZone()->TZID(), info.abbrev);
}

TEST(TimeZones, ZonedLinesAndDefinitionsRoundTrip) {
    const std::string zones = std::string(kCustomEastern) +
                              "BEGIN:VTIMEZONE\r\n"
                              "TZID:Europe/Berlin\r\n"
                              "X-LIC-LOCATION:Europe/Berlin\r\n"
                              "BEGIN:STANDARD\r\n"
                              "DTSTART:19701025T030000\r\n"
                              "TZNAME;LANGUAGE=de:MEZ\r\n"
                              "TZOFFSETFROM:+0200\r\n"
                              "TZOFFSETTO:+0100\r\n"
                              "COMMENT:winter\r\n"
                              "RDATE:19801026T030000,19811025T030000\r\n"
                              "RRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU\r\n"
                              "END:STANDARD\r\n"
                              "BEGIN:DAYLIGHT\r\n"
                              "DTSTART:19700329T020000\r\n"
                              "TZNAME:MESZ\r\n"
                              "TZOFFSETFROM:+0100\r\n"
                              "TZOFFSETTO:+0200\r\n"
                              "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU\r\n"
                              "END:DAYLIGHT\r\n"
                              "END:VTIMEZONE\r\n";
    const std::vector<std::string> zoned = {
        "DTSTART;TZID=Custom Eastern:20070311T013000",
        "DTEND;TZID=Europe/Berlin:20071028T023000",
        "EXDATE;TZID=America/New_York:20070318T013000",
        "RDATE;TZID=\"W. Europe Standard Time\":20070401T090000",
    };
    ScopedTZ tz("Asia/Kolkata");
    auto cal = iCalendar::Create();
    cal->TryParse(Calendar(EventAt(";TZID=Custom Eastern:20070311T013000",
                                   "DTEND;TZID=Europe/Berlin:20071028T023000\r\nRRULE:FREQ=WEEKLY;COUNT=3\r\n"
                                   "EXDATE;TZID=America/New_York:20070318T013000\r\n"
                                   "RDATE;TZID=\"W. Europe Standard Time\":20070401T090000\r\n"),
                           zones));
    ASSERT_EQ(cal->TimeZones().Count(), 2);
    const std::string text = cal->ToString();
    for (const auto& line : zoned) EXPECT_NE(text.find(line + "\r\n"), std::string::npos) << line << "\n" << text;

    // Every observance comes back, standard blocks before daylight ones, in the fixed line order.
    const std::string berlinOut =
        "BEGIN:VTIMEZONE\r\nTZID:Europe/Berlin\r\nX-LIC-LOCATION:Europe/Berlin\r\n"
        "BEGIN:STANDARD\r\nDTSTART:19701025T030000\r\nTZNAME;LANGUAGE=de:MEZ\r\nTZOFFSETFROM:+0200\r\n"
        "TZOFFSETTO:+0100\r\nCOMMENT:winter\r\nRDATE:19801026T030000\r\nRDATE:19811025T030000\r\n"
        "RRULE:FREQ=YEARLY;INTERVAL=1;BYDAY=-1SU;BYMONTH=10;WKST=SU\r\nEND:STANDARD\r\n"
        "BEGIN:DAYLIGHT\r\nDTSTART:19700329T020000\r\nTZNAME:MESZ\r\nTZOFFSETFROM:+0100\r\nTZOFFSETTO:+0200\r\n"
        "RRULE:FREQ=YEARLY;INTERVAL=1;BYDAY=-1SU;BYMONTH=3;WKST=SU\r\nEND:DAYLIGHT\r\nEND:VTIMEZONE\r\n";
    EXPECT_NE(text.find(berlinOut), std::string::npos) << text;
    const size_t eastern = text.find("TZID:Custom Eastern");
    ASSERT_NE(eastern, std::string::npos);
    EXPECT_LT(text.find("DTSTART:19671029T020000", eastern), text.find("DTSTART:20071104T020000", eastern));
    EXPECT_LT(text.find("DTSTART:20071104T020000", eastern), text.find("DTSTART:19870405T020000", eastern));
    EXPECT_LT(text.find("DTSTART:19870405T020000", eastern), text.find("DTSTART:20070311T020000", eastern));

    // Written text reads back to the same instants and the same text.
    auto again = iCalendar::Create();
    again->TryParse(text);
    EXPECT_EQ(again->ToString(), text);
    EXPECT_EQ(again->Events().Item(1)->DTStart()->Value(), cal->Events().Item(1)->DTStart()->Value());
    EXPECT_EQ(again->Events().Item(1)->DTEnd()->Value(), cal->Events().Item(1)->DTEnd()->Value());
}

TEST(TimeZones, ObservanceModel) {
    ScopedTZ tz("Europe/Berlin");
    auto cal = iCalendar::Create();
    cal->TryParse(Calendar(EventAt(";TZID=Custom Eastern:20070101T100000"), kCustomEastern));
    auto zone = cal->TimeZones().Item(1);
    ASSERT_EQ(zone->Observances().size(), 4u);
    // The last block of each kind.
    EXPECT_EQ(Iso(zone->Standard()->DTStart()->Value()), "2007-11-04T02:00:00");
    EXPECT_EQ(Iso(zone->Daylight()->DTStart()->Value()), "2007-03-11T02:00:00");
    EXPECT_EQ(zone->Daylight()->TZOffsetTo()->ToString(), "-0400");
    EXPECT_EQ(zone->Daylight()->TZName().Item(1)->Value(), "EDT");

    // The onset moved into the current year, month, day and time of DTSTART kept.
    const DateFields now = ValueToFields(NowLocal());
    const DateFields onset = ValueToFields(zone->Standard()->OccurDate());
    EXPECT_EQ(onset.year, now.year);
    EXPECT_EQ(onset.month, 11);
    EXPECT_EQ(onset.day, 4);
    EXPECT_EQ(onset.hour, 2);
    auto current = zone->CurrentTimeZoneInfo();
    EXPECT_TRUE(current == zone->Standard() || current == zone->Daylight());
    EXPECT_EQ(cal->Events().Item(1)->DTStart()->GetTimeZoneInfo(), current);

    // Standard only: Standard answers, and the missing daylight onset reads 1 January 1900.
    TimeZone only;
    only.TryParse("TZID:X\r\nBEGIN:STANDARD\r\nDTSTART:19700101T000000\r\nTZOFFSETFROM:+013000\r\n"
                  "TZOFFSETTO:+0530\r\nRRULE:FREQ=YEARLY;INTERVAL=1;WKST=SU\r\nEND:STANDARD");
    EXPECT_EQ(only.CurrentTimeZoneInfo(), only.Standard());
    EXPECT_EQ(only.Daylight()->OccurDate(), FieldsToValue({1900, 1, 1, 0, 0, 0}));
    EXPECT_EQ(only.ToString(),
              "TZID:X\r\nBEGIN:STANDARD\r\nDTSTART:19700101T000000\r\nTZOFFSETFROM:+0130\r\n"
              "TZOFFSETTO:+0530\r\nRRULE:FREQ=YEARLY;INTERVAL=1;WKST=SU\r\nEND:STANDARD");

    // Failures.
    TimeZone bad;
    EXPECT_EQ(CatchError([&] { bad.TryParse("TZID:Y\r\nBEGIN:STANDARD\r\nTZOFFSETFROM:abc\r\nEND:STANDARD"); }).Description(),
              "Invalid TimeZone format");
    EXPECT_EQ(bad.TZID(), "Y") << "lines before the failure stay";
    TimeZoneInfo empty;
    EXPECT_EQ(CatchError([&] { (void)empty.ToString(); }).Description(), "must input DTStart property");
    auto broken = iCalendar::Create();
    EXPECT_EQ(CatchError([&] {
                  broken->TryParse(Calendar("", "BEGIN:VTIMEZONE\r\nTZID:Z\r\nBEGIN:DAYLIGHT\r\nDTSTART:x\r\n"
                                                "END:DAYLIGHT\r\nEND:VTIMEZONE\r\n"));
              }).Description(),
              "Invalid iCalendar Format");

    // A zone created in code is written back and used.
    auto made = iCalendar::Create();
    auto z = made->CreateTimeZone();
    z->SetTZID("Made");
    z->Standard()->DTStart()->TryParse("19700101T000000");
    z->Standard()->TZOffsetFrom()->TryParse("+0400");
    z->Standard()->TZOffsetTo()->TryParse("+0400");
    made->TryParse(made->ToString() + "");
    ASSERT_EQ(made->TimeZones().Count(), 1);
    EXPECT_EQ(made->TimeZones().Item(1)->TZID(), "Made");
}
