#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>

#include "TestSupport.h"

using namespace quillet::test;

namespace {

struct ToolRun {
    int status;
    std::string out;
};

// Runs the quillet tool with a fixed host zone; stderr is folded into the output.
ToolRun Quillet(const std::string& args) {
    std::string cmd = "TZ=Europe/Berlin " + std::string(QUILLET_TOOL) + " " + args + " 2>&1";
    FILE* p = popen(cmd.c_str(), "r");
    ToolRun r{-1, {}};
    if (!p) return r;
    std::array<char, 4096> buf{};
    size_t n;
    while ((n = fread(buf.data(), 1, buf.size(), p)) > 0) r.out.append(buf.data(), n);
    int st = pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

}  // namespace

TEST(Tool, AgendaTsvIsSortedAndOneLinePerPeriod) {
    TempDir dir;
    WriteFile(dir.File("a.ics"),
              "BEGIN:VCALENDAR\r\n"
              "BEGIN:VEVENT\r\nUID:late\r\nSUMMARY:Late\\, with\\ttab\\nand break\r\n"
              "DTSTART:20070102T150000Z\r\nDTEND:20070102T160000Z\r\nEND:VEVENT\r\n"
              "BEGIN:VEVENT\r\nUID:day\r\nSUMMARY:Holiday\r\nDTSTART;VALUE=DATE:20070102\r\n"
              "DTEND;VALUE=DATE:20070103\r\nEND:VEVENT\r\n"
              "BEGIN:VEVENT\r\nUID:b\r\nSUMMARY:Two\r\nDTSTART:20070101T090000\r\nDTEND:20070101T100000\r\n"
              "RDATE:20070103T090000\r\nEND:VEVENT\r\n"
              "BEGIN:VEVENT\r\nUID:outside\r\nSUMMARY:Out\r\nDTSTART:20070201T090000Z\r\nEND:VEVENT\r\n"
              "END:VCALENDAR\r\n");
    WriteFile(dir.File("b.ics"),
              "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nUID:a\r\nSUMMARY:Same time\r\nDTSTART:20070101T090000\r\n"
              "DTEND:20070101T093000\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    ToolRun r = Quillet("agenda --tsv --from 2007-01-01 --to 2007-01-08 " + dir.File("a.ics") + " " + dir.File("b.ics"));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "2007-01-01T09:00:00\t2007-01-01T09:30:00\tSame time\ta\n"
              "2007-01-01T09:00:00\t2007-01-01T10:00:00\tTwo\tb\n"
              "2007-01-02\t2007-01-03\tHoliday\tday\n"
              "2007-01-02T16:00:00\t2007-01-02T17:00:00\tLate, with\\ttab  and break\tlate\n"
              "2007-01-03T09:00:00\t2007-01-03T10:00:00\tTwo\tb\n");

    ToolRun readable = Quillet("agenda --from 2007-01-01 " + dir.File("a.ics"));
    EXPECT_EQ(readable.status, 0);
    EXPECT_NE(readable.out.find("Monday, 1 January 2007\n  09:00-10:00  Two\n"), std::string::npos) << readable.out;
    EXPECT_NE(readable.out.find("  all day      Holiday\n"), std::string::npos) << readable.out;
}

TEST(Tool, ErrorsAndUsage) {
    TempDir dir;
    WriteFile(dir.File("bad.ics"), "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nDTSTART:nonsense\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    ToolRun bad = Quillet("agenda " + dir.File("bad.ics"));
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.out, "quillet: " + dir.File("bad.ics") + ": Invalid iCalendar Format (777)\n");
    ToolRun missing = Quillet("agenda " + dir.File("none.ics"));
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.out.find("quillet: " + dir.File("none.ics") + ": File not found"), std::string::npos);
    EXPECT_NE(missing.out.find("(53)"), std::string::npos);

    for (const char* args : {"", "agenda", "agenda --from 2007-13-01 x.ics", "agenda --bogus x.ics",
                             "frobnicate", "roundtrip only-one.ics", "agenda --from"}) {
        ToolRun r = Quillet(args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_NE(r.out.find("usage: quillet"), std::string::npos) << args;
    }
    ToolRun help = Quillet("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("agenda"), std::string::npos);
    EXPECT_EQ(Quillet("--version").out.substr(0, 8), "quillet ");
}

TEST(Tool, RoundtripWritesTheCalendarBack) {
    TempDir dir;
    ToolRun r = Quillet("roundtrip " + Fixture("meetings.ics") + " " + dir.File("out.ics"));
    EXPECT_EQ(r.status, 0) << r.out;
    std::string out = ReadFile(dir.File("out.ics"));
    EXPECT_NE(out.find("ATTENDEE;CN=\"Ann Lee\";PARTSTAT=ACCEPTED:mailto:ann@example.com\r\n"), std::string::npos);
    ToolRun fail = Quillet("roundtrip " + Fixture("meetings.ics") + " " + dir.File("no/such/folder.ics"));
    EXPECT_EQ(fail.status, 1);
    EXPECT_NE(fail.out.find("(75)"), std::string::npos) << fail.out;
}

TEST(Tool, AlarmsAndTodos) {
    TempDir dir;
    WriteFile(dir.File("t.ics"),
              "BEGIN:VCALENDAR\r\n"
              "BEGIN:VEVENT\r\nUID:z\r\nSUMMARY:Dentist\r\nDTSTART:20070102T090000Z\r\nDTEND:20070102T100000Z\r\n"
              "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:-PT1H\r\nEND:VALARM\r\nEND:VEVENT\r\n"
              "BEGIN:VEVENT\r\nUID:a\r\nSUMMARY:Call\r\nDTSTART:20070102T080000Z\r\nDTEND:20070102T081500Z\r\n"
              "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:PT0S\r\nEND:VALARM\r\nEND:VEVENT\r\n"
              "BEGIN:VTODO\r\nUID:t1\r\nSUMMARY:Taxes\r\nDUE;VALUE=DATE:20070415\r\nSTATUS:IN-PROCESS\r\n"
              "PERCENT-COMPLETE:30\r\nPRIORITY:1\r\nEND:VTODO\r\n"
              "BEGIN:VTODO\r\nUID:t2\r\nSUMMARY:Plants\r\nEND:VTODO\r\n"
              "END:VCALENDAR\r\n");
    ToolRun alarms = Quillet("alarms --tsv --from 2007-01-01 " + dir.File("t.ics"));
    EXPECT_EQ(alarms.status, 0);
    EXPECT_EQ(alarms.out, "2007-01-02T09:00:00\tCall\ta\n2007-01-02T09:00:00\tDentist\tz\n");
    ToolRun todos = Quillet("todos --tsv " + dir.File("t.ics"));
    EXPECT_EQ(todos.status, 0);
    EXPECT_EQ(todos.out, "2007-04-15\tIN-PROCESS\t30\t1\tTaxes\tt1\n\t\t\t0\tPlants\tt2\n");
    EXPECT_EQ(Quillet("todos --from 2007-01-01 " + dir.File("t.ics")).status, 2);
}

TEST(Tool, AgendaShowsZonedEventsAtHostTime) {
    TempDir dir;
    WriteFile(dir.File("z.ics"),
              "BEGIN:VCALENDAR\r\n"
              "BEGIN:VEVENT\r\nUID:ny\r\nSUMMARY:New York call\r\n"
              "DTSTART;TZID=America/New_York:20070315T100000\r\nDTEND;TZID=America/New_York:20070315T110000\r\n"
              "RRULE:FREQ=WEEKLY;COUNT=3\r\nEND:VEVENT\r\n"
              "END:VCALENDAR\r\n");
    ToolRun r = Quillet("agenda --tsv --from 2007-03-01 --to 2007-04-01 " + dir.File("z.ics"));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "2007-03-15T15:00:00\t2007-03-15T16:00:00\tNew York call\tny\n"
              "2007-03-22T15:00:00\t2007-03-22T16:00:00\tNew York call\tny\n"
              "2007-03-29T16:00:00\t2007-03-29T17:00:00\tNew York call\tny\n");
}

TEST(Tool, StatsCountsEachKindOfComponentPerFile) {
    TempDir dir;
    // Alarms of events and to-dos; raw components at the top, inside an event and inside an alarm;
    // a free/busy block, which has no column of its own.
    WriteFile(dir.File("mixed.ics"),
              "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n"
              "BEGIN:VTIMEZONE\r\nTZID:Test/Zone\r\nBEGIN:STANDARD\r\nDTSTART:19700101T000000\r\n"
              "TZOFFSETFROM:+0100\r\nTZOFFSETTO:+0100\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n"
              "BEGIN:VEVENT\r\nUID:e1\r\nDTSTART;TZID=Test/Zone:20070101T090000\r\n"
              "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:-PT5M\r\nEND:VALARM\r\n"
              "BEGIN:VALARM\r\nACTION:AUDIO\r\nTRIGGER:-PT1M\r\nBEGIN:X-SOUND\r\nX-NAME:bell\r\nEND:X-SOUND\r\n"
              "END:VALARM\r\n"
              "BEGIN:X-WIDGET\r\nX-SIZE:3\r\nEND:X-WIDGET\r\nEND:VEVENT\r\n"
              "BEGIN:VEVENT\r\nUID:e2\r\nDTSTART:20070102T090000Z\r\nEND:VEVENT\r\n"
              "BEGIN:VTODO\r\nUID:t1\r\nBEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:-PT1H\r\nEND:VALARM\r\n"
              "END:VTODO\r\n"
              "BEGIN:VJOURNAL\r\nUID:j1\r\nSUMMARY:Notes\r\nEND:VJOURNAL\r\n"
              "BEGIN:X-ORVELLE-NOTE\r\nX-TEXT:hi\r\nEND:X-ORVELLE-NOTE\r\n"
              "BEGIN:VFREEBUSY\r\nUID:f1\r\nEND:VFREEBUSY\r\n"
              "END:VCALENDAR\r\n");
    WriteFile(dir.File("empty.ics"), "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nEND:VCALENDAR\r\n");
    const std::string mixed = dir.File("mixed.ics"), empty = dir.File("empty.ics");

    ToolRun tsv = Quillet("stats --tsv " + mixed + " " + empty);
    EXPECT_EQ(tsv.status, 0);
    EXPECT_EQ(tsv.out,
              "file\tevents\ttodos\talarms\ttimezones\tother\n" +
              mixed + "\t2\t1\t3\t1\t5\n" +
              empty + "\t0\t0\t0\t0\t0\n");

    ToolRun readable = Quillet("stats " + mixed + " " + empty);
    EXPECT_EQ(readable.status, 0);
    EXPECT_EQ(readable.out,
              mixed + ": 2 events, 1 to-do, 3 alarms, 1 time zone, 5 other components\n" +
              empty + ": 0 events, 0 to-dos, 0 alarms, 0 time zones, 0 other components\n");
}

TEST(Tool, StatsReportsUnreadableFilesLikeTheOtherCommands) {
    TempDir dir;
    WriteFile(dir.File("good.ics"), "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nUID:a\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    WriteFile(dir.File("bad.ics"), "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nDTSTART:nonsense\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    // Nothing is printed for the files before the one that fails.
    ToolRun bad = Quillet("stats --tsv " + dir.File("good.ics") + " " + dir.File("bad.ics"));
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.out, "quillet: " + dir.File("bad.ics") + ": Invalid iCalendar Format (777)\n");
    ToolRun missing = Quillet("stats " + dir.File("none.ics"));
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out.rfind("quillet: " + dir.File("none.ics") + ": File not found", 0), 0u) << missing.out;
    EXPECT_NE(missing.out.find("(53)\n"), std::string::npos) << missing.out;

    for (const char* args : {"stats", "stats --tsv", "stats --from 2007-01-01 x.ics", "stats --bogus x.ics"}) {
        ToolRun r = Quillet(args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_NE(r.out.find("usage: quillet"), std::string::npos) << args;
    }
    EXPECT_NE(Quillet("--help").out.find("stats [--tsv] FILE..."), std::string::npos);
}
