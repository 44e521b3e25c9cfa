#include <gtest/gtest.h>

#include "TestSupport.h"
#include "quillet/HostZone.h"
#include "quillet/LibraryError.h"
#include "quillet/iCalendar.h"

using namespace quillet;
using namespace quillet::test;

namespace {

// A calendar holding one event with the given inner lines.
iCalendarPtr OneEvent(const std::string& lines) { return Parse("BEGIN:VEVENT\r\n" + lines + "END:VEVENT\r\n"); }

std::vector<std::string> Starts(const Event& ev) {
    std::vector<std::string> out;
    for (const auto& p : ev.Periods()) out.push_back(Iso(p->StartTime()->Value()));
    return out;
}

using S = std::vector<std::string>;

}  // namespace

TEST(Event, AllDayEvents) {
    ScopedTZ tz("Europe/Berlin");
    auto cal = OneEvent("UID:d\r\nDTSTART;VALUE=DATE:20070101\r\nDTEND;VALUE=DATE:20070102\r\n");
    auto ev = cal->Events().Item(1);
    EXPECT_TRUE(ev->IsAllDay());
    EXPECT_EQ(ev->Duration()->ToString(), "P1DT");
    auto found = cal->QueryEvent(DV(2007, 1, 1), DV(2007, 1, 2));
    ASSERT_EQ(found.Count(), 1);
    EXPECT_EQ(Starts(*ev), S{"2007-01-01T00:00:00"});
    EXPECT_TRUE(ev->WillOccureInDay(DV(2007, 1, 1, 15)));
    EXPECT_FALSE(ev->WillOccureInDay(DV(2007, 1, 2)));

    // Without an end, the event has no length and occupies no day.
    auto bare = OneEvent("UID:b\r\nDTSTART;VALUE=DATE:20070101\r\n");
    auto b = bare->Events().Item(1);
    EXPECT_EQ(b->DTEnd()->Value(), b->DTStart()->Value());
    EXPECT_TRUE(b->IsAllDay());
    bare->QueryEvent(DV(2007, 1, 1), DV(2007, 1, 2));
    EXPECT_EQ(b->Periods().Count(), 0) << "zero length at the range start does not overlap it";
    bare->QueryEvent(DV(2006, 12, 31), DV(2007, 1, 2));
    EXPECT_EQ(b->Periods().Count(), 1);
    EXPECT_FALSE(b->WillOccureInDay(DV(2007, 1, 1)));

    // A timed event that runs from one UTC midnight to the next is not all-day.
    auto utc = OneEvent("UID:u\r\nDTSTART:20070101T000000Z\r\nDTEND:20070102T000000Z\r\n");
    EXPECT_FALSE(utc->Events().Item(1)->IsAllDay());
}

TEST(Event, DurationAndEndDeriveEachOther) {
    ScopedTZ tz("UTC");
    auto cal = OneEvent("UID:x\r\nDTSTART:20070101T100000Z\r\nDURATION:PT1H\r\n");
    auto ev = cal->Events().Item(1);
    EXPECT_EQ(Iso(ev->DTEnd()->Value()), "2007-01-01T11:00:00");
    std::string text = ev->ToString();
    EXPECT_NE(text.find("DTEND:20070101T110000Z"), std::string::npos);
    EXPECT_EQ(text.find("DURATION"), std::string::npos);

    auto both = OneEvent("UID:y\r\nDTSTART:20070101T100000Z\r\nDTEND:20070101T113000Z\r\n");
    EXPECT_EQ(both->Events().Item(1)->Duration()->ToString(), "PT1H30M");

    Event e;
    e.SetDTStartValue(DV(2007, 3, 1, 9));
    e.SetDTEndValue(DV(2007, 3, 1, 10, 15));
    EXPECT_EQ(e.Duration()->ToString(), "PT1H15M");
    EXPECT_FALSE(e.IsAllDay());
    e.SetDTStartValue(DV(2007, 3, 1));
    EXPECT_TRUE(e.DTStart()->IsDate()) << "a midnight start is a date";
}

TEST(Event, NewEventWritesClassCreatedInUtcAndStatus) {
    ScopedTZ tz("Europe/Berlin");
    Event e;
    DateValue before = NowUTC();
    std::string text = e.ToString();
    DateValue after = NowUTC();
    EXPECT_EQ(text.substr(0, 14), "CLASS:Public\r\n");
    EXPECT_NE(text.find("STATUS:TENTATIVE"), std::string::npos);
    // The stamp is the current time in UTC, not local time marked Z (an hour off in Berlin).
    EXPECT_GE(e.Created()->Value(), before - 1.0 / 86400);
    EXPECT_LE(e.Created()->Value(), after + 1.0 / 86400);
    EXPECT_NE(text.find("CREATED:" + FormatBasicDateTime(ValueToFields(e.Created()->Value())) + "Z"),
              std::string::npos);
}

TEST(Event, StatusKeywords) {
    struct Case {
        const char* line;
        int status;
        bool active;
        const char* written;
    } cases[] = {
        {"STATUS:TENTATIVE", 0, true, "STATUS:TENTATIVE"},
        {"STATUS:CONFIRMED", 1, true, "STATUS:CONFIRMED"},
        {"STATUS:CANCELLED", 2, false, "STATUS:CANCELLED"},
        {"STATUS:DONE", -1, true, nullptr},
        {"STATUS:Cancelled", 2, false, "STATUS:CANCELLED"},  // keywords ignore case
        {"SUMMARY:no status", 0, true, "STATUS:TENTATIVE"},
    };
    for (const Case& c : cases) {
        auto ev = OneEvent(std::string("UID:s\r\nDTSTART:20070101T100000Z\r\n") + c.line + "\r\n")->Events().Item(1);
        EXPECT_EQ(ev->Status(), c.status) << c.line;
        EXPECT_EQ(ev->IsActive(), c.active) << c.line;
        std::string text = ev->ToString();
        if (c.written) EXPECT_NE(text.find(c.written), std::string::npos) << c.line;
        else EXPECT_EQ(text.find("STATUS"), std::string::npos) << c.line;
    }
}

TEST(Event, LinesTheModelCannotHoldAreWrittenBackAsRead) {
    auto ev = OneEvent("UID:r\r\nDTSTART:20070101T100000Z\r\nRRULE:FREQ=FORTNIGHTLY;COUNT=2\r\n"
                       "RRULE;X-SRC=app:FREQ=DAILY;COUNT=2\r\nRDATE;VALUE=PERIOD:20070110/20070111\r\n")
                  ->Events()
                  .Item(1);
    ASSERT_EQ(ev->RRule().Count(), 1) << "a rule of unknown frequency is not expanded";
    std::string text = ev->ToString();
    for (const char* line : {"\r\nRRULE:FREQ=FORTNIGHTLY;COUNT=2", "\r\nRRULE;X-SRC=app:FREQ=DAILY;",
                             "\r\nRDATE;VALUE=PERIOD:20070110/20070111"})
        EXPECT_NE(text.find(line), std::string::npos) << line << " in\n" << text;
}

TEST(Event, ADateStartIgnoresItsZone) {
    // The end derived from a date and a whole-day duration is the next day, not a time of day
    // in the zone the date was labelled with.
    ScopedTZ tz("America/Denver");
    auto cal = OneEvent("UID:d\r\nDTSTART;TZID=America/Denver;VALUE=DATE:20041125\r\nDURATION:P1D\r\n");
    auto ev = cal->Events().Item(1);
    EXPECT_EQ(Iso(ev->DTEnd()->Value()), Iso(DV(2004, 11, 26)));
    EXPECT_TRUE(ev->IsAllDay());
    cal->QueryEvent(DV(2004, 11, 24), DV(2004, 11, 28));
    EXPECT_EQ(Starts(*ev), S{Iso(DV(2004, 11, 25))});
    EXPECT_EQ(ev->ToString().find("TZID"), std::string::npos);
}

TEST(Event, ListPropertiesKeepEachLine) {
    auto ev = OneEvent(
        "UID:l\r\nDTSTART:20070101T100000Z\r\nCATEGORIES:Work\\,Home\r\nCATEGORIES;LANGUAGE=de:Arbeit\r\n"
        "REQUEST-STATUS:2.0;Success\r\nRESOURCES:Projector\r\nCOMMENT:c\r\nCONTACT:Jim\r\n"
        "RELATED-TO:parent\r\nATTACH;FMTTYPE=text/plain:http://example.com/a.txt\r\n"
        "PRIORITY:5\r\nSEQUENCE:3\r\nGEO:37.386013;-122.082932\r\nURL:http://example.com/e\r\n"
        "CLASS:PRIVATE\r\nTRANSP:OPAQUE\r\n")->Events().Item(1);
    ASSERT_EQ(ev->Categories().Count(), 2);
    EXPECT_EQ(ev->Categories().Item(1)->Value(), "Work,Home");
    EXPECT_EQ(ev->RStatus().Item(1)->Value(), "2.0;Success");
    EXPECT_EQ(ev->Attach().Item(1)->Value(), "http://example.com/a.txt");
    EXPECT_EQ(ev->Priority(), 5);
    EXPECT_EQ(ev->GEO()->Longitude(), -122.082932);
    std::string once = ev->ToString();
    for (const char* line : {"CATEGORIES:Work\\,Home\r\n", "CATEGORIES;LANGUAGE=de:Arbeit\r\n",
                             "REQUEST-STATUS:2.0\\;Success\r\n", "RESOURCES:Projector\r\n",
                             "ATTACH;FMTTYPE=text/plain:http://example.com/a.txt\r\n", "PRIORITY:5\r\n",
                             "SEQUENCE:3\r\n", "GEO:37.386013;-122.082932\r\n", "CLASS:PRIVATE\r\n",
                             "URL:http://example.com/e\r\n", "TRANSP:OPAQUE\r\n", "RELATED-TO:parent\r\n"})
        EXPECT_NE((once + "\r\n").find(line), std::string::npos) << line;
    auto clone = ev->Clone();
    EXPECT_EQ(clone->ToString(), once) << "a second reading adds no backslashes and loses nothing";
}

// Two categories on one line must not come back as one category that contains a comma.
TEST(Event, ListValuesPartAtUnescapedCommas) {
    struct Case {
        const char* line;
        std::vector<std::string> categories, resources;
    } cases[] = {
        {"CATEGORIES:Work,Home", {"Work", "Home"}, {}},
        {"CATEGORIES:Work\\,Home", {"Work,Home"}, {}},
        {"CATEGORIES:back\\\\,slash", {"back\\", "slash"}, {}},
        {"CATEGORIES;LANGUAGE=de:Arbeit,Familie", {"Arbeit", "Familie"}, {}},
        {"RESOURCES:Projector,Screen\\, large", {}, {"Projector", "Screen, large"}},
    };
    auto values = [](TextCollection& c) {
        std::vector<std::string> v;
        for (const auto& t : c) v.push_back(t->Value());
        return v;
    };
    for (const Case& c : cases) {
        auto ev = OneEvent(std::string("UID:c\r\nDTSTART:20070101T100000Z\r\n") + c.line + "\r\n")->Events().Item(1);
        EXPECT_EQ(values(ev->Categories()), c.categories) << c.line;
        EXPECT_EQ(values(ev->Resources()), c.resources) << c.line;
        auto again = ev->Clone();
        EXPECT_EQ(values(again->Categories()), c.categories) << c.line << " written back";
        EXPECT_EQ(values(again->Resources()), c.resources) << c.line << " written back";
    }
    auto de = OneEvent("UID:c\r\nDTSTART:20070101T100000Z\r\nCATEGORIES;LANGUAGE=de:Arbeit,Familie\r\n")->Events().Item(1);
    EXPECT_NE(de->ToString().find("CATEGORIES;LANGUAGE=de:Familie"), std::string::npos) << "each value keeps the parameters";
}

TEST(Event, ParseFailuresSayInvalidEventFormat) {
    for (const char* bad : {"DTSTART:2007\r\n", "PRIORITY:high\r\n", "GEO:north\r\n", "DURATION:soon\r\n"}) {
        Event e;
        try {
            e.TryParse(std::string("UID:x\r\n") + bad);
            ADD_FAILURE() << bad;
        } catch (const LibraryError& err) {
            EXPECT_EQ(err.Number(), 777) << bad;
            EXPECT_EQ(err.Description(), "Invalid event format") << bad;
        }
        EXPECT_EQ(e.UID()->Value(), "x") << "what was read before the failure stays";
    }
}

TEST(Event, ExDatesAndRDates) {
    ScopedTZ tz("UTC");
    auto cal = OneEvent(
        "UID:r\r\nDTSTART:20070108T100000Z\r\nDTEND:20070108T110000Z\r\n"
        "RDATE:20070115T100000Z,20070122T100000Z,20070129T100000Z\r\n"
        "RDATE;VALUE=PERIOD:20070205T100000Z/20070205T130000Z,20070212T100000Z/PT30M\r\n"
        "EXDATE:20070115T100000Z,20070122T100000Z\r\nEXDATE:20070129T100001Z\r\n");
    auto ev = cal->Events().Item(1);
    ASSERT_EQ(ev->RDate().Count(), 5);
    ASSERT_EQ(ev->ExDate().Count(), 3);
    cal->QueryEvent(DV(2007, 1, 1), DV(2007, 3, 1));
    EXPECT_EQ(Starts(*ev), (S{"2007-01-08T10:00:00", "2007-01-29T10:00:00", "2007-02-05T10:00:00",
                              "2007-02-12T10:00:00"}))
        << "every listed EXDATE applies; one a second off removes nothing";
    // Period values occur with their own length.
    EXPECT_EQ(Iso(ev->Periods().Item(3)->EndTime()->Value()), "2007-02-05T13:00:00");
    EXPECT_EQ(Iso(ev->Periods().Item(4)->EndTime()->Value()), "2007-02-12T10:30:00");
    EXPECT_EQ(Iso(ev->Periods().Item(1)->EndTime()->Value()), "2007-01-08T11:00:00");
    EXPECT_TRUE(ev->WillOccureInDay(DV(2007, 2, 5)));
    EXPECT_FALSE(ev->WillOccureInDay(DV(2007, 1, 15)));

    std::string text = ev->ToString();
    EXPECT_NE(text.find("RDATE;VALUE=PERIOD:20070205T100000Z/20070205T130000Z"), std::string::npos);
    EXPECT_NE(text.find("RDATE;VALUE=PERIOD:20070212T100000Z/PT30M"), std::string::npos);
    auto again = OneEvent(text + "\r\n")->Events().Item(1);
    EXPECT_EQ(again->RDate().Count(), 5);
    EXPECT_EQ(again->ExDate().Count(), 3);

    // A range that holds no occurrence: nothing returned, periods emptied.
    EXPECT_EQ(cal->QueryEvent(DV(2008, 1, 1), DV(2008, 2, 1)).Count(), 0);
    EXPECT_EQ(ev->Periods().Count(), 0);
}

TEST(Event, TimedEventsOccurOnTheHostClock) {
    ScopedTZ tz("America/New_York");
    auto cal = OneEvent("UID:t\r\nDTSTART:20070101T150000Z\r\nDTEND:20070101T160000Z\r\n");
    auto ev = cal->Events().Item(1);
    ASSERT_EQ(cal->QueryEvent(DV(2007, 1, 1), DV(2007, 1, 2)).Count(), 1);
    EXPECT_EQ(Starts(*ev), S{"2007-01-01T10:00:00"});
    // Overlap is strict at both ends.
    EXPECT_EQ(cal->QueryEvent(DV(2007, 1, 1, 11), DV(2007, 1, 2)).Count(), 0);
    EXPECT_EQ(cal->QueryEvent(DV(2007, 1, 1), DV(2007, 1, 1, 10)).Count(), 0);
    EXPECT_EQ(cal->QueryEvent(DV(2007, 1, 1, 10, 59, 59), DV(2007, 1, 1, 11)).Count(), 1);
}

TEST(Event, ARecurringStartKeepsTheClockItWasGivenOn) {
    // In UTC the occurrences keep their UTC time across the host's change to winter time; a
    // floating start keeps its wall time on the host's clock.
    ScopedTZ tz("Europe/Vienna");
    struct Case {
        const char* start;
        const char* october;
        const char* november;
    } cases[] = {
        {"DTSTART:20050520T120000Z", "2005-10-20T14:00:00", "2005-11-20T13:00:00"},
        {"DTSTART:20050520T140000", "2005-10-20T14:00:00", "2005-11-20T14:00:00"},
    };
    for (const Case& c : cases) {
        auto cal = OneEvent(std::string("UID:m\r\n") + c.start + "\r\nDURATION:PT1H\r\nRRULE:FREQ=MONTHLY;COUNT=7\r\n");
        auto ev = cal->Events().Item(1);
        cal->QueryEvent(DV(2005, 10, 1), DV(2005, 12, 1));
        EXPECT_EQ(Starts(*ev), (S{c.october, c.november})) << c.start;
    }
}

TEST(Event, CloneCopiesWhatIsWrittenOnly) {
    auto cal = OneEvent("UID:c\r\nSUMMARY:Copy me\r\nDTSTART:20070101T100000Z\r\nX-VOD-ISMODIFIED:1\r\n");
    auto ev = cal->Events().Item(1);
    ev->SetNativeIndex(7);
    cal->QueryEvent(DV(2006, 1, 1), DV(2008, 1, 1));
    auto copy = ev->Clone();
    EXPECT_EQ(copy->Summary()->Value(), "Copy me");
    EXPECT_EQ(copy->GetXPropValue("X-VOD-ISMODIFIED"), "1");
    EXPECT_EQ(copy->NativeIndex(), 0);
    EXPECT_EQ(copy->Periods().Count(), 0);
    EXPECT_EQ(copy->Quillet(), nullptr);
    copy->SetXPropValue("X-VOD-ISMODIFIED", "0");
    EXPECT_EQ(ev->GetXPropValue("X-VOD-ISMODIFIED"), "1");
}
