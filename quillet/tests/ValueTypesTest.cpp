#include <gtest/gtest.h>

#include "TestSupport.h"
#include "quillet/Date_Time.h"
#include "quillet/Duration.h"
#include "quillet/GEO.h"
#include "quillet/LibraryError.h"
#include "quillet/Period.h"
#include "quillet/Text.h"
#include "quillet/UTC_Offset.h"

using namespace quillet;
using quillet::test::DV;
using quillet::test::Iso;
using quillet::test::ScopedTZ;

namespace {

template <typename F>
void ExpectLibraryError(F&& f, long number, const std::string& description) {
    try {
        f();
        FAIL() << "expected " << description;
    } catch (const LibraryError& e) {
        EXPECT_EQ(e.Number(), number);
        EXPECT_EQ(e.Description(), description);
    }
}

}  // namespace

TEST(DateValue, RoundTripsCalendarFieldsExactly) {
    EXPECT_EQ(DV(1899, 12, 30), 0.0);
    EXPECT_EQ(DV(1899, 12, 31, 12), 1.5);
    EXPECT_EQ(DV(2007, 1, 1), 39083.0);
    for (DateValue v : {DV(2007, 1, 1, 10, 0, 1), DV(2024, 2, 29, 23, 59, 59), DV(1601, 3, 1, 0, 0, 1)})
        EXPECT_EQ(FieldsToValue(ValueToFields(v)), v) << Iso(v);
    EXPECT_EQ(WeekdayOfDays(DaysFromCivil(2026, 12, 11)), 5);  // a Friday
}

TEST(Date_Time, ParsesAndWritesTheValueForms) {
    ScopedTZ tz("Europe/Berlin");
    struct Case {
        const char* text;
        bool isDate, isUtc;
        const char* value;    // stored Value (UTC for date-times)
        const char* written;  // ToString()
    } cases[] = {
        {"20070101", true, false, "2007-01-01T00:00:00", ";VALUE=DATE:20070101"},
        {"20070101Z", true, false, "2007-01-01T00:00:00", ";VALUE=DATE:20070101"},
        {"20070101T100000Z", false, true, "2007-01-01T10:00:00", ":20070101T100000Z"},
        {"20070101T1000Z", false, true, "2007-01-01T10:00:00", ":20070101T100000Z"},
        // Floating times are host-local wall time and written as UTC; a zoned time is read in its
        // zone and written back with its own wall time; an unknown TZID falls back to the host.
        {"20070101T100000", false, false, "2007-01-01T09:00:00", ":20070101T090000Z"},
        {"20070701T100000", false, false, "2007-07-01T08:00:00", ":20070701T080000Z"},
        {"TZID=America/New_York;DATE=20070101T100000", false, false, "2007-01-01T15:00:00",
         ";TZID=America/New_York:20070101T100000"},
        {"TZID=Nowhere/Special;DATE=20070101T100000", false, false, "2007-01-01T09:00:00",
         ";TZID=Nowhere/Special:20070101T100000"},
    };
    for (const Case& c : cases) {
        Date_Time d;
        d.TryParse(c.text);
        EXPECT_EQ(d.IsDate(), c.isDate) << c.text;
        EXPECT_EQ(d.IsUTCTime(), c.isUtc) << c.text;
        EXPECT_EQ(Iso(d.Value()), c.value) << c.text;
        EXPECT_EQ(d.ToString(), c.written) << c.text;
    }
}

TEST(Date_Time, RejectsInvalidDates) {
    for (const char* bad : {"20071301", "20070230", "20070101T250000Z", "2007010ATl00000", "abc",
                            "20070101T10", "", "TZID=X;DATE=20070231T100000"}) {
        Date_Time d;
        ExpectLibraryError([&] { d.TryParse(bad); }, 777, "Invalid Date_Time format");
    }
}

TEST(Date_Time, LocaltimeAndAdd) {
    ScopedTZ tz("Europe/Berlin");
    Date_Time d;
    EXPECT_EQ(d.Value(), 0.0);
    d.Setlocaltime(DV(2007, 1, 1));
    EXPECT_TRUE(d.IsDate());
    d.Setlocaltime(DV(2007, 1, 1, 10));
    EXPECT_TRUE(d.IsDate()) << "a timed value does not clear the date flag";

    Date_Time t;
    t.TryParse("20070101T100000Z");
    EXPECT_EQ(Iso(t.localtime()), "2007-01-01T11:00:00");
    t.SetTZID("Europe/Berlin");
    Duration back;
    back.Reset();
    back.TryParse("-PT15M");
    auto later = t.Add(back, false);  // minus a negative duration moves forward
    EXPECT_EQ(Iso(later->Value()), "2007-01-01T10:15:00");
    EXPECT_FALSE(later->IsDate());
    EXPECT_TRUE(later->IsUTCTime());
    EXPECT_EQ(later->TZID(), "Europe/Berlin");
}

TEST(Duration, ParsesAndWrites) {
    struct Case {
        const char* text;
        bool positive;
        int w, d, h, m, s;
        const char* written;
        long long all;
    } cases[] = {
        {"P1D", true, 0, 1, 0, 0, 0, "P1DT", 86400},
        {"-PT15M", false, 0, 0, 0, 15, 0, "-PT15M", -900},
        {"PT90M", true, 0, 0, 0, 90, 0, "PT90M", 5400},
        {"P2W", true, 2, 0, 0, 0, 0, "P2W", 1209600},
        {"PT0S", true, 0, 0, 0, 0, 0, "PT", 0},
        {"P1DT2H3M4S", true, 0, 1, 2, 3, 4, "P1DT2H3M4S", 93784},
        // Counts are not cut to two digits.
        {"P120D", true, 0, 120, 0, 0, 0, "P120DT", 10368000},
        {"PT1440M", true, 0, 0, 0, 1440, 0, "PT1440M", 86400},
        {"+PT1H", true, 0, 0, 1, 0, 0, "PT1H", 3600},
    };
    for (const Case& c : cases) {
        Duration d;
        d.Reset();
        d.TryParse(c.text);
        EXPECT_EQ(d.Positive(), c.positive) << c.text;
        EXPECT_EQ(d.Weeks(), c.w) << c.text;
        EXPECT_EQ(d.Days(), c.d) << c.text;
        EXPECT_EQ(d.Hours(), c.h) << c.text;
        EXPECT_EQ(d.Minutes(), c.m) << c.text;
        EXPECT_EQ(d.Seconds(), c.s) << c.text;
        EXPECT_EQ(d.ToString(), c.written) << c.text;
        EXPECT_EQ(d.AllSeconds(), c.all) << c.text;
    }
    Duration fresh;
    EXPECT_FALSE(fresh.Positive());
    Duration wd;
    wd.Reset();
    wd.SetWeeks(1);
    wd.SetDays(1);
    EXPECT_EQ(wd.AllSeconds(), 604800);
    for (const char* bad : {"1D", "PXD", "P1", "P1Y"}) {
        Duration d;
        d.Reset();
        ExpectLibraryError([&] { d.TryParse(bad); }, 777, "Invalid Duration format");
    }
}

TEST(Duration, SetFromDaysIsExactToTheSecond) {
    // One hour as a difference of two date values is not exact in binary.
    Duration d;
    d.Reset();
    d.SetFromDays(DV(2007, 1, 1, 11) - DV(2007, 1, 1, 10));
    EXPECT_EQ(d.Days(), 0);
    EXPECT_EQ(d.Hours(), 1);
    EXPECT_EQ(d.Minutes(), 0);
    EXPECT_EQ(d.Seconds(), 0);
    d.SetFromDays(1.5 + 1.0 / 86400);
    EXPECT_EQ(d.ToString(), "P1DT12H1S");
}

TEST(UTC_Offset, ParsesAndWrites) {
    UTC_Offset o;
    o.TryParse("-0500");
    EXPECT_FALSE(o.Positive());
    EXPECT_EQ(o.Hours(), 5);
    EXPECT_EQ(o.Minutes(), 0);
    EXPECT_EQ(o.ToString(), "-0500");
    o.TryParse("+053045");
    EXPECT_EQ(o.Seconds(), 45);
    EXPECT_EQ(o.ToString(), "+053045") << "seconds are kept";
    EXPECT_EQ(o.ToColonString(), "+05:30");
    o.TryParse("0100");  // unsigned: east of UTC, digits not lost to the sign
    EXPECT_EQ(o.ToString(), "+0100");
    for (const char* bad : {"+01", "+ab00", ""})
        ExpectLibraryError([&] { o.TryParse(bad); }, 777, "Invalid UTC_Offset format");
}

TEST(GEO, ParsesAndWrites) {
    GEO g;
    EXPECT_EQ(g.Latitude(), 1000.0);
    EXPECT_EQ(g.Longitude(), 1000.0);
    g.TryParse("37.386013;-122.082932");
    EXPECT_EQ(g.ToString(), "37.386013;-122.082932");
    for (const char* bad : {"37.5", "a;b", "1;"})
        ExpectLibraryError([&] { g.TryParse(bad); }, 777, "Invalid Geo format");
}

TEST(Text, EscapesAndUnescapes) {
    struct Case {
        const char* file;
        const char* value;
    } cases[] = {
        {"a\\\\,b", "a\\,b"},
        {"Work\\,Home", "Work,Home"},
        {"x\\;y", "x;y"},
        {"line1\\nline2", "line1\r\nline2"},
        {"line1\\Nline2", "line1\r\nline2"},
        {"a:b \"q\"", "a:b \"q\""},
        // Writers that put \r\n or \r for a break, a stray backslash and an unknown escape.
        {"p\\r\\nq", "p\r\nq"},
        {"p\\rq", "p\r\nq"},
        {"end\\", "end\\"},
        {"a\\xb\\\\", "a\\xb\\"},
    };
    for (const Case& c : cases) {
        Text t;
        t.TryParse(c.file);
        EXPECT_EQ(t.Value(), c.value) << c.file;
    }
    Text t("back\\slash, semi; \r\nnext");
    EXPECT_EQ(t.ToString(), "back\\\\slash\\, semi\\; \\nnext");
    // A bare line break would end the content line in the file, so it is escaped as well.
    Text lf("one\ntwo\rthree");
    EXPECT_EQ(lf.ToString(), "one\\ntwo\\nthree");
}

namespace quillet {
namespace {

TEST(PeriodCollectionTest, StartsStayUniqueInAnyOrder) {
    // Starts usually arrive ascending; out-of-order ones, repeats and removals must still keep
    // each start once.
    PeriodCollection periods;
    auto length = std::make_shared<Duration>();
    for (Secs s : {10, 20, 20, 15, 10, 30, 15}) periods.AddPeriodSeconds(length, s);
    ASSERT_EQ(periods.Count(), 4);
    periods.SortByStart();
    std::vector<Secs> starts;
    for (const auto& p : periods) starts.push_back(p->StartTime()->ValueSeconds());
    EXPECT_EQ(starts, (std::vector<Secs>{10, 15, 20, 30}));
    EXPECT_FALSE(periods.AddPeriodSeconds(length, 15));
    periods.RemoveAt(2);  // 15 may come back once
    EXPECT_TRUE(periods.AddPeriodSeconds(length, 15));
    EXPECT_FALSE(periods.AddPeriodSeconds(length, 15));
    EXPECT_FALSE(periods.AddPeriodSeconds(length, 30));
    periods.ClearPeriods();
    EXPECT_TRUE(periods.AddPeriodSeconds(length, 30));
    EXPECT_EQ(periods.Count(), 1);
}

}  // namespace
}  // namespace quillet

namespace quillet {
namespace {

TEST(DateText, BasicAndIsoForms) {
    struct Case {
        DateFields f;
        const char *basicDate, *basic, *iso;
    };
    const Case cases[] = {
        {{2026, 12, 11, 9, 5, 7}, "20261211", "20261211T090507", "2026-12-11T09:05:07"},
        {{5, 1, 2, 0, 0, 0}, "00050102", "00050102T000000", "0005-01-02T00:00:00"},
        {{9999, 12, 31, 23, 59, 59}, "99991231", "99991231T235959", "9999-12-31T23:59:59"},
        {{10000, 1, 1, 0, 0, 0}, "100000101", "100000101T000000", "10000-01-01T00:00:00"},  // printf's widths
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatBasicDate(c.f), c.basicDate);
        EXPECT_EQ(FormatBasicDateTime(c.f), c.basic);
        EXPECT_EQ(FormatIsoDateTime(c.f), c.iso);
        EXPECT_EQ(FormatIsoDate(c.f), std::string(c.iso).substr(0, std::string(c.iso).find('T')));
    }
}

}  // namespace
}  // namespace quillet
