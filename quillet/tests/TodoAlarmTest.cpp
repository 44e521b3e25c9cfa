#include <gtest/gtest.h>

#include "TestSupport.h"
#include "quillet/HostZone.h"
#include "quillet/LibraryError.h"
#include "quillet/iCalendar.h"

using namespace quillet;
using namespace quillet::test;

namespace {

std::vector<std::string> Times(Alarm& a) {
    std::vector<std::string> out;
    for (const auto& t : a.OccurTimes()) out.push_back(Iso(t->localtime()));
    return out;
}

using S = std::vector<std::string>;

}  // namespace

TEST(Todo, ReadsAndWritesItsOwnProperties) {
    ScopedTZ tz("UTC");
    auto cal = Parse(
        "BEGIN:VTODO\r\nUID:t1\r\nSUMMARY:Taxes\r\nDTSTART;VALUE=DATE:20070301\r\nDUE;VALUE=DATE:20070305\r\n"
        "STATUS:IN-PROCESS\r\nPERCENT-COMPLETE:40\r\nCOMPLETED:20070304T120000Z\r\nTRANSP:OPAQUE\r\n"
        "RRULE:FREQ=NONE\r\nRRULE:FREQ=FORTNIGHTLY\r\nEND:VTODO\r\n"
        "BEGIN:VTODO\r\nUID:t2\r\nDTSTART:20070301T090000Z\r\nEND:VTODO\r\n");
    ASSERT_EQ(cal->Todos().Count(), 2);
    auto t = cal->Todos().Item(1);
    EXPECT_EQ(t->Quillet(), cal);
    EXPECT_FALSE(t->IsAllDay());
    EXPECT_EQ(t->Status(), IN_PROCESS);
    EXPECT_EQ(t->Percent(), 40);
    EXPECT_EQ(t->RRule().Count(), 1) << "a to-do keeps a FREQ=NONE rule";
    std::string text = t->ToString() + "\r\n";
    for (const char* line : {"DTSTART;VALUE=DATE:20070301\r\n", "DUE;VALUE=DATE:20070305\r\n",
                             "STATUS:IN-PROCESS\r\n", "PERCENT-COMPLETE:40\r\n",
                             "COMPLETED:20070304T120000Z\r\n", "TRANSP:OPAQUE\r\n", "RRULE:FREQ=NONE",
                             "RRULE:FREQ=FORTNIGHTLY\r\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line;

    // No DUE and no DURATION: the due date is derived at the start.
    auto t2 = cal->Todos().Item(2);
    std::string text2 = t2->ToString();
    EXPECT_NE(text2.find("DUE:20070301T090000Z"), std::string::npos);
    EXPECT_EQ(text2.find("STATUS"), std::string::npos) << "read without STATUS, written without";
    EXPECT_EQ(text2.find("PERCENT-COMPLETE"), std::string::npos);

    EXPECT_EQ(CatchError([] { Todo x; x.TryParse("PERCENT-COMPLETE:lots"); }).Description(),
              "Invalid todo format");
    Todo bad;
    bad.SetStatus(4);
    EXPECT_EQ(CatchError([&] { bad.ToString(); }).Number(), 9);
}

TEST(Todo, NewToDoAndItsStamps) {
    ScopedTZ tz("Europe/Berlin");
    auto cal = iCalendar::Create();
    auto t = cal->CreateTodo();
    EXPECT_EQ(t->Quillet(), cal);
    DateValue before = NowUTC();
    std::string text = t->ToString();
    for (const char* line : {"CLASS:Public", "GEO:0.000000;0.000000", "STATUS:NEEDS-ACTION", "PERCENT-COMPLETE:0",
                             "CREATED:", "LAST-MODIFIED:"})
        EXPECT_NE(text.find(line), std::string::npos) << line;
    // Stamps are UTC: within a second of the UTC clock, not an hour off.
    EXPECT_NEAR(t->Last_Modified()->Value(), before, 2.0 / 86400);
    EXPECT_NEAR(t->Created()->Value(), before, 2.0 / 86400);
    t->Last_Modified()->SetValue(DV(2000, 1, 1));
    t->ToString();
    EXPECT_GT(t->Last_Modified()->Value(), DV(2020, 1, 1)) << "every write stamps the to-do";
}

TEST(Todo, RemoveXPropValueRemovesEveryEntryOfThatName) {
    auto cal = Parse("BEGIN:VTODO\r\nUID:x\r\nX-VOD-ISMODIFIED:1\r\nX-KEEP:k\r\nX-VOD-ISMODIFIED:1\r\nEND:VTODO\r\n");
    auto t = cal->Todos().Item(1);
    t->RemoveXPropValue("X-VOD-ISMODIFIED");
    ASSERT_EQ(t->XProp().Count(), 1);
    EXPECT_EQ(t->XProp().Item(1)->Name, "X-KEEP");
    t->RemoveXPropValue("X-ABSENT");
    EXPECT_EQ(t->XProp().Count(), 1);
}

TEST(Todo, ParsingAgainAccumulatesButLoadingReplaces) {
    TempDir dir;
    const std::string text =
        "BEGIN:VCALENDAR\r\nBEGIN:VTODO\r\nUID:a\r\nEND:VTODO\r\n"
        "BEGIN:VFREEBUSY\r\nUID:f\r\nFREEBUSY:19970308T160000Z/PT8H30M,19970308T230000Z/PT2H\r\nEND:VFREEBUSY\r\n"
        "END:VCALENDAR\r\n";
    auto cal = iCalendar::Create();
    cal->TryParse(text);
    cal->TryParse(text);
    EXPECT_EQ(cal->Todos().Count(), 2);
    WriteFile(dir.File("c.ics"), text);
    cal->LoadFromFile(dir.File("c.ics"));
    cal->LoadFromFile(dir.File("c.ics"));
    EXPECT_EQ(cal->Todos().Count(), 1);
    EXPECT_EQ(cal->FreeBusies().Count(), 1) << "a reload does not pile up free/busy components";
}

TEST(Freebusy, KeepsPeriodListsAsTheyAre) {
    auto cal = Parse(
        "BEGIN:VFREEBUSY\r\nUID:f\r\nORGANIZER;CN=Ann:mailto:ann@example.com\r\nDTSTART:19970308T000000Z\r\n"
        "DURATION:P1D\r\nFREEBUSY;FBTYPE=BUSY:19970308T160000Z/PT8H30M,19970308T230000Z/PT2H\r\nX-A:1\r\nEND:VFREEBUSY\r\n");
    ASSERT_EQ(cal->FreeBusies().Count(), 1);
    auto fb = cal->FreeBusies().Item(1);
    EXPECT_EQ(fb->FreeBusies().Count(), 1);
    std::string text = fb->ToString() + "\r\n";
    // Commas separate periods; escaping them would make the value unreadable for other programs.
    EXPECT_NE(text.find("FREEBUSY;FBTYPE=BUSY:19970308T160000Z/PT8H30M,19970308T230000Z/PT2H\r\n"),
              std::string::npos) << text;
    EXPECT_NE(text.find("DTEND:19970309T000000Z\r\n"), std::string::npos);
    EXPECT_NE(text.find("ORGANIZER;CN=Ann:mailto:ann@example.com\r\n"), std::string::npos);
    EXPECT_EQ(fb->GetXPropValue("X-A"), "1");
    EXPECT_NE(cal->ToString().find("BEGIN:VFREEBUSY\r\nORGANIZER"), std::string::npos);
    EXPECT_EQ(CatchError([] { Freebusy f; f.TryParse("DTSTART:nope"); }).Description(), "Invalid FreeBusy format");
}

TEST(Alarm, ReadsAndWritesAsItWasGiven) {
    struct Case {
        const char* text;
        int action;
        const char* written;
    } cases[] = {
        {"ACTION:DISPLAY\r\nTRIGGER:-PT15M\r\nDESCRIPTION:Reminder", eDISPLAY,
         "ACTION:DISPLAY\r\nDESCRIPTION:Reminder\r\nTRIGGER:-PT15M"},
        // An action the library does not know is kept as an unmodelled line.
        {"ACTION:SPEAK\r\nTRIGGER:-PT5M", -1, "TRIGGER:-PT5M\r\nACTION:SPEAK"},
        {"ACTION:AUDIO\r\nTRIGGER;RELATED=END:-PT5M\r\nREPEAT:2\r\nDURATION:PT5M\r\nATTACH;FMTTYPE=audio/basic:ftp://x/y.au",
         eAUDIO, "ACTION:AUDIO\r\nTRIGGER;RELATED=END:-PT5M\r\nDURATION:PT5M\r\nREPEAT:2\r\nATTACH;FMTTYPE=audio/basic:ftp://x/y.au"},
        {"ACTION:DISPLAY\r\nTRIGGER;VALUE=DATE-TIME:20070101T090000Z\r\nDESCRIPTION:At nine", eDISPLAY,
         "ACTION:DISPLAY\r\nDESCRIPTION:At nine\r\nTRIGGER;VALUE=DATE-TIME:20070101T090000Z"},
        {"ACTION:DISPLAY\r\nTRIGGER:PT0S\r\nDESCRIPTION:Now", eDISPLAY, "ACTION:DISPLAY\r\nDESCRIPTION:Now\r\nTRIGGER:PT0S"},
        {"ACTION:EMAIL\r\nTRIGGER:-P1D\r\nSUMMARY:Mail\r\nATTENDEE;CN=Ann:mailto:ann@example.com\r\nX-Y:z", eEMAIL,
         "ACTION:EMAIL\r\nTRIGGER:-P1DT\r\nSUMMARY:Mail\r\nATTENDEE;CN=Ann:mailto:ann@example.com\r\nX-Y:z"},
    };
    for (const Case& c : cases) {
        Alarm a;
        a.TryParse(c.text);
        EXPECT_EQ(a.Action(), c.action) << c.text;
        EXPECT_EQ(a.ToString(), c.written) << c.text;
    }
    Alarm related;
    related.TryParse("TRIGGER;RELATED=END:-PT5M");
    EXPECT_TRUE(related.TriggerRelatedToEnd());
    EXPECT_FALSE(related.Trigger()->Positive());

    EXPECT_EQ(CatchError([] { Alarm a; a.TryParse("TRIGGER:soon"); }).Description(), "Invalid Alarm format");
    Alarm big;
    big.SetAction(6);
    EXPECT_EQ(CatchError([&] { big.ToString(); }).Number(), 9);
}

TEST(Alarm, CreatedAlarmsKnowTheirOwner) {
    auto cal = Parse("BEGIN:VEVENT\r\nUID:e\r\nDTSTART:20070101T100000Z\r\nBEGIN:VALARM\r\nACTION:DISPLAY\r\n"
                     "TRIGGER:-PT15M\r\nEND:VALARM\r\nEND:VEVENT\r\nBEGIN:VTODO\r\nUID:t\r\nEND:VTODO\r\n");
    auto ev = cal->Events().Item(1);
    ASSERT_EQ(ev->Alarms().Count(), 1);
    EXPECT_EQ(ev->Alarms().Item(1)->vEvent(), ev);
    EXPECT_EQ(ev->Alarms().Item(1)->Todo(), nullptr);
    auto fresh = ev->CreateAlarm();
    EXPECT_EQ(fresh->ToString(), "ACTION:NONE") << "an untouched new alarm";
    EXPECT_EQ(ev->Alarms().Count(), 2);
    auto todo = cal->Todos().Item(1);
    auto ta = todo->CreateAlarm();
    EXPECT_EQ(ta->Todo(), todo);
    EXPECT_EQ(ta->vEvent(), nullptr);

    // The back link does not keep the event alive.
    std::weak_ptr<Event> gone = ev;
    auto keep = ev->Alarms().Item(1);
    ev.reset();
    cal->Events().Clear();
    EXPECT_TRUE(gone.expired());
    EXPECT_EQ(keep->vEvent(), nullptr);

    // An alarm inside an event that fails to parse fails the event.
    Event bad;
    EXPECT_EQ(CatchError([&] { bad.TryParse("BEGIN:VALARM\r\nREPEAT:x\r\nEND:VALARM"); }).Description(),
              "Invalid event format");
}

TEST(QueryAlarm, TheAlarmTimeDecides) {
    ScopedTZ tz("Europe/Berlin");
    auto cal = Parse(
        "BEGIN:VEVENT\r\nUID:m\r\nSUMMARY:Meeting\r\nDTSTART:20070110T090000Z\r\nDTEND:20070110T100000Z\r\n"
        "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:-PT15M\r\nEND:VALARM\r\n"
        "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER;RELATED=END:-PT5M\r\nEND:VALARM\r\n"
        "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER;VALUE=DATE-TIME:20070109T170000Z\r\nEND:VALARM\r\n"
        "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:PT0S\r\nEND:VALARM\r\n"
        "END:VEVENT\r\n");
    auto ev = cal->Events().Item(1);
    auto& at15 = *ev->Alarms().Item(1);
    auto& atEnd = *ev->Alarms().Item(2);
    auto& absolute = *ev->Alarms().Item(3);
    auto& atStart = *ev->Alarms().Item(4);

    // The event runs 10:00 to 11:00 local; the range 09:40 to 09:50 holds only the 15-minute alarm.
    auto found = cal->QueryAlarm(DV(2007, 1, 10, 9, 40), DV(2007, 1, 10, 9, 50));
    ASSERT_EQ(found.Count(), 1);
    EXPECT_EQ(found.Item(1).get(), &at15);
    EXPECT_EQ(Times(at15), S{"2007-01-10T09:45:00"});

    cal->QueryAlarm(DV(2007, 1, 10, 10, 50), DV(2007, 1, 10, 11));
    EXPECT_EQ(Times(atEnd), S{"2007-01-10T10:55:00"}) << "five minutes before the end";
    cal->QueryAlarm(DV(2007, 1, 9), DV(2007, 1, 10));
    EXPECT_EQ(Times(absolute), S{"2007-01-09T18:00:00"}) << "an absolute trigger fires at its instant";
    cal->QueryAlarm(DV(2007, 1, 10, 10), DV(2007, 1, 10, 10, 1));
    EXPECT_EQ(Times(atStart), S{"2007-01-10T10:00:00"});

    // Times accumulate over queries; the caller reads the newest.
    cal->QueryAlarm(DV(2007, 1, 10, 9, 40), DV(2007, 1, 10, 9, 50));
    EXPECT_EQ(Times(at15), (S{"2007-01-10T09:45:00", "2007-01-10T09:45:00"}));
    EXPECT_EQ(cal->QueryAlarm(DV(2007, 1, 10, 9, 46), DV(2007, 1, 10, 9, 50)).Count(), 0);
}

TEST(QueryAlarm, EveryOccurrenceWithItsAlarmInTheRange) {
    ScopedTZ tz("UTC");
    auto cal = Parse(
        "BEGIN:VEVENT\r\nUID:r\r\nDTSTART:20070101T100000Z\r\nDTEND:20070101T110000Z\r\n"
        "RDATE:20070102T100000Z,20070103T100000Z,20070110T100000Z\r\n"
        "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:-P1D\r\nEND:VALARM\r\nEND:VEVENT\r\n"
        "BEGIN:VEVENT\r\nUID:r\r\nRECURRENCE-ID:20070103T100000Z\r\nDTSTART:20070103T150000Z\r\n"
        "DTEND:20070103T160000Z\r\nBEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:-PT1H\r\nEND:VALARM\r\nEND:VEVENT\r\n"
        "BEGIN:VEVENT\r\nUID:d\r\nDTSTART;VALUE=DATE:20070105\r\nDTEND;VALUE=DATE:20070106\r\n"
        "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:-PT15H\r\nEND:VALARM\r\nEND:VEVENT\r\n");
    auto found = cal->QueryAlarm(DV(2007, 1, 1), DV(2007, 1, 8));
    ASSERT_EQ(found.Count(), 3);
    // A day before each occurrence, but not for the one an instance replaced.
    EXPECT_EQ(Times(*found.Item(1)), (S{"2007-01-01T10:00:00"}));
    EXPECT_EQ(Times(*found.Item(2)), (S{"2007-01-03T14:00:00"}));
    EXPECT_EQ(Times(*found.Item(3)), (S{"2007-01-04T09:00:00"})) << "all-day: the evening before";
    EXPECT_EQ(Times(*cal->QueryAlarm(DV(2006, 12, 31), DV(2007, 1, 2)).Item(1)),
              (S{"2007-01-01T10:00:00", "2006-12-31T10:00:00", "2007-01-01T10:00:00"}));
}

TEST(QueryAlarm, RuleOccurrencesAcrossADaylightSavingChange) {
    ScopedTZ tz("Europe/Berlin");
    // A weekly 10:00 local meeting; Berlin moves to summer time on 25 March 2007.
    auto cal = Parse(
        "BEGIN:VEVENT\r\nUID:w\r\nDTSTART:20070319T100000\r\nDTEND:20070319T110000\r\nRRULE:FREQ=WEEKLY;COUNT=3\r\n"
        "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:-PT10M\r\nEND:VALARM\r\nEND:VEVENT\r\n");
    auto found = cal->QueryAlarm(DV(2007, 3, 1), DV(2007, 5, 1));
    ASSERT_EQ(found.Count(), 1);
    EXPECT_EQ(Times(*found.Item(1)), (S{"2007-03-19T09:50:00", "2007-03-26T09:50:00", "2007-04-02T09:50:00"}));
}
