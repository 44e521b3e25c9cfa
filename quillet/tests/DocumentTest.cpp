#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <unistd.h>

#include "TestSupport.h"
#include "quillet/ContentLines.h"
#include "quillet/LibraryError.h"
#include "quillet/iCalendar.h"
#include "quillet/iCalendarCollection.h"

using namespace quillet;
using namespace quillet::test;

namespace {

const char kTwoEvents[] =
    "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nX-LASTSYNC;VALUE=TEXT:5\r\n"
    "BEGIN:VEVENT\r\nUID:a\r\nSUMMARY:First\r\nDTSTART:20070101T100000Z\r\nDTEND:20070101T110000Z\r\nEND:VEVENT\r\n"
    "BEGIN:VEVENT\r\nUID:b\r\nSUMMARY:Second\r\nDTSTART:20070102T100000Z\r\nDTEND:20070102T110000Z\r\nEND:VEVENT\r\n"
    "END:VCALENDAR\r\n";

// The unfolded content lines of a text, sorted, so that two writings can be compared.
std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> out;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find("\r\n", pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        if (!line.empty() && line[0] == ' ' && !out.empty()) out.back() += line.substr(1);
        else out.push_back(line);
        pos = end + 2;
    }
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace

TEST(Document, ParsesTopLevelPropertiesAndEvents) {
    auto cal = iCalendar::Create();
    cal->TryParse(kTwoEvents);
    EXPECT_EQ(cal->Version()->Value(), "2.0");
    ASSERT_EQ(cal->Events().Count(), 2);
    EXPECT_EQ(cal->Events().Item(2)->Summary()->Value(), "Second");
    EXPECT_EQ(cal->Events().Item(1)->Quillet(), cal);
    ASSERT_EQ(cal->XProp().Count(), 1);
    EXPECT_EQ(cal->XProp().Item(1)->operator()("Name"), "X-LASTSYNC");
    EXPECT_EQ(cal->XProp().Item(1)->operator()("Value"), "5");
    EXPECT_EQ(cal->GetXPropValue("X-LASTSYNC"), "5");
    EXPECT_NE(cal->ToString().find("\r\nX-LASTSYNC;VALUE=TEXT:5\r\n"), std::string::npos);
    EXPECT_EQ(cal->GetEventByUID("b"), cal->Events().Item(2));
    EXPECT_EQ(cal->GetEventByUID("c"), nullptr);

    // LF-only files read the same.
    std::string lf = kTwoEvents;
    for (size_t p; (p = lf.find("\r\n")) != std::string::npos;) lf.replace(p, 2, "\n");
    auto cal2 = iCalendar::Create();
    cal2->TryParse(lf);
    EXPECT_EQ(cal2->Events().Count(), 2);
}

TEST(Document, WritesInTheFixedOrder) {
    auto cal = iCalendar::Create();
    EXPECT_EQ(cal->ToString(), "BEGIN:VCALENDAR\r\n\r\nEND:VCALENDAR") << "no VERSION when unset";
    cal->ProdID()->SetValue("-//Team//Orvelle//EN");
    cal->Version()->SetValue("2.0");
    cal->SetXPropValue("X-WR-CALNAME", "Home");
    EXPECT_EQ(cal->ToString(),
              "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Team//Orvelle//EN\r\nX-WR-CALNAME:Home\r\nEND:VCALENDAR");
}

TEST(Document, XPropertiesAreReplacedInPlaceAndCaseSensitive) {
    auto cal = iCalendar::Create();
    cal->SetXPropValue("X-LASTSYNC", "1");
    cal->SetXPropValue("X-OTHER", "o");
    cal->SetXPropValue("X-LASTSYNC", "2");
    cal->SetXPropValue("x-lastsync", "3");
    ASSERT_EQ(cal->XProp().Count(), 3);
    EXPECT_EQ(cal->XProp().Item(1)->Value, "2");
    EXPECT_EQ(cal->GetXPropValue("x-lastsync"), "3");
    EXPECT_EQ(cal->GetXPropValue("X-NONE"), "");
    // A value with a line break would break the file; it is refused.
    EXPECT_EQ(CatchError([&] { cal->SetXPropValue("X-BAD", "a\r\nBEGIN:VEVENT"); }).Number(), 777);
    EXPECT_EQ(cal->XProp().Count(), 3);
}

TEST(Document, ParseFailuresRaise777AndKeepWhatCameBefore) {
    auto cal = iCalendar::Create();
    auto err = CatchError([&] {
        cal->TryParse(
            "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nUID:ok\r\nDTSTART:20070101T100000Z\r\nEND:VEVENT\r\n"
            "BEGIN:VEVENT\r\nUID:bad\r\nDTSTART:2007XX01T100000Z\r\nEND:VEVENT\r\n"
            "BEGIN:VEVENT\r\nUID:after\r\nDTSTART:20070103T100000Z\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    });
    EXPECT_EQ(err.Number(), 777);
    EXPECT_EQ(err.Description(), "Invalid iCalendar Format");
    ASSERT_EQ(cal->Events().Count(), 1);
    EXPECT_EQ(cal->Events().Item(1)->UID()->Value(), "ok");
}

TEST(Document, SecondParseReplacesEvents) {
    auto cal = iCalendar::Create();
    cal->TryParse(kTwoEvents);
    cal->TryParse("BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nUID:z\r\nDTSTART:20070101T100000Z\r\nEND:VEVENT\r\nEND:VCALENDAR");
    ASSERT_EQ(cal->Events().Count(), 1);
    EXPECT_EQ(cal->Events().Item(1)->UID()->Value(), "z");
    EXPECT_EQ(cal->Version()->Value(), "2.0") << "a field keeps its value when the new text lacks it";
}

TEST(Document, RoundTripLosesNothing) {
    TempDir dir;
    auto cal = iCalendar::Create();
    cal->LoadFromFile(Fixture("meetings.ics"));
    EXPECT_EQ(cal->filename(), Fixture("meetings.ics"));
    cal->SaveToFile(dir.File("out.ics"));
    EXPECT_EQ(cal->filename(), dir.File("out.ics"));
    std::string written = ReadFile(dir.File("out.ics"));
    std::vector<std::string> lines = LinesOf(written);
    auto has = [&](const std::string& l) { return std::find(lines.begin(), lines.end(), l) != lines.end(); };

    for (const char* line : {
             "DESCRIPTION;ALTREP=\"cid:agenda@example.com\":Agenda: see attachment\\, then vote",
             "LOCATION;LANGUAGE=en:Room 4",
             "ORGANIZER;CN=Bob Stone:mailto:bob@example.com",
             "ATTENDEE;CN=\"Ann Lee\";PARTSTAT=ACCEPTED:mailto:ann@example.com",
             "ATTENDEE;ROLE=OPT-PARTICIPANT;RSVP=TRUE:mailto:cy@example.com",
             "X-FOO;X-BAR=1:v",
             "X-WR-CALNAME;VALUE=TEXT:Work",
             "SUMMARY:Write minutes",
             "UID:todo-1@example.com",
         })
        EXPECT_TRUE(has(line)) << line;
    // Components the library does not model come back as components, unchanged.
    for (const char* block : {
             "BEGIN:VJOURNAL\r\nUID:journal-1@example.com\r\nDESCRIPTION:Notes of the day\r\nEND:VJOURNAL\r\n",
             "BEGIN:X-CUSTOM\r\nX-ANY:thing\r\nEND:X-CUSTOM\r\n",
             "BEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:Reminder\r\nTRIGGER:-PT15M\r\nEND:VALARM\r\n",
             "BEGIN:STANDARD\r\nDTSTART:19701025T030000\r\n",
         })
        EXPECT_NE(written.find(block), std::string::npos) << block;

    // A second load and save gives the same text: nothing drifts.
    auto again = iCalendar::Create();
    again->LoadFromFile(dir.File("out.ics"));
    again->SaveToFile(dir.File("out2.ics"));
    EXPECT_EQ(LinesOf(ReadFile(dir.File("out2.ics"))), LinesOf(written));
}

TEST(Document, ParametersAndOffsetSecondsOfModelledLinesSurvive) {
    auto cal = Parse("METHOD;X-A=1:PUBLISH\r\nBEGIN:VTIMEZONE\r\nTZID;X-B=2:Old\r\nBEGIN:STANDARD\r\n"
                     "DTSTART:18000101T000000\r\nTZOFFSETFROM:-000115\r\nTZOFFSETTO:+000000\r\nEND:STANDARD\r\n"
                     "END:VTIMEZONE\r\nBEGIN:VEVENT\r\nUID:p\r\nDTSTART:20070101T100000Z\r\nBEGIN:VALARM\r\n"
                     "ACTION;X-C=3:DISPLAY\r\nTRIGGER:-PT5M\r\nEND:VALARM\r\nEND:VEVENT\r\n");
    const std::string text = cal->ToString();
    for (const char* line : {"\r\nMETHOD;X-A=1:PUBLISH\r\n", "\r\nTZID;X-B=2:Old\r\n", "\r\nTZOFFSETFROM:-000115\r\n",
                             "\r\nTZOFFSETTO:+0000\r\n", "\r\nACTION;X-C=3:DISPLAY\r\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line << " in\n" << text;
}

TEST(Document, SaveFoldsAndWritesValidUtf8) {
    TempDir dir;
    auto cal = iCalendar::Create();
    auto ev = cal->CreateEvent();
    ev->UID()->SetValue("u");
    std::string smile = "\xF0\x9F\x98\x80";
    std::string text = "Gr\xC3\xBC\xC3\x9F" "e ";
    for (int i = 0; i < 30; ++i) text += smile + " caf\xC3\xA9 ";
    ev->Summary()->SetValue(text);
    cal->SaveToFile(dir.File("u.ics"));
    std::string bytes = ReadFile(dir.File("u.ics"));
    EXPECT_NE(bytes.find(smile), std::string::npos) << "four-byte sequence kept";
    EXPECT_EQ(bytes.find("\xED\xA0"), std::string::npos) << "no encoded surrogates";
    EXPECT_EQ(bytes.substr(bytes.size() - 15), "END:VCALENDAR\r\n");
    for (size_t p = 0, e; (e = bytes.find("\r\n", p)) != std::string::npos; p = e + 2) {
        EXPECT_LE(e - p, 75u);
        // No physical line starts in the middle of a character.
        if (e > p + 1) {
            EXPECT_NE(static_cast<unsigned char>(bytes[p + 1]) & 0xC0, 0x80u);
        }
    }
    auto back = iCalendar::Create();
    back->LoadFromFile(dir.File("u.ics"));
    EXPECT_EQ(back->Events().Item(1)->Summary()->Value(), text);
}

TEST(Document, MalformedUtf8IsReplacedAndOldSurrogatePairsAreJoined) {
    TempDir dir;
    // A stray continuation byte, a truncated sequence, and an emoji written as two 3-byte surrogates.
    WriteFile(dir.File("m.ics"),
              "\xEF\xBB\xBF" "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nUID:m\r\nSUMMARY:a\x80" "b\xE2\x82"
              "\r\nDESCRIPTION:\xED\xA0\xBD\xED\xB8\x80\r\nDTSTART:20070101T100000Z\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    auto cal = iCalendar::Create();
    cal->LoadFromFile(dir.File("m.ics"));
    ASSERT_EQ(cal->Events().Count(), 1);
    EXPECT_EQ(cal->Events().Item(1)->Summary()->Value(), "a\xEF\xBF\xBD" "b\xEF\xBF\xBD");
    EXPECT_EQ(cal->Events().Item(1)->Description()->Value(), "\xF0\x9F\x98\x80");
}

TEST(Document, FailedSaveLeavesTheOldFileWhole) {
    TempDir dir;
    auto cal = iCalendar::Create();
    cal->TryParse(kTwoEvents);
    std::string target = dir.File("cal.ics");
    WriteFile(target, "old contents");
    auto onlyTarget = [&] {
        size_t files = 0;
        for (auto& entry : std::filesystem::directory_iterator(dir.Path())) files += entry.is_regular_file();
        return files == 1;
    };

    // A full disk: the file size limit makes the write of the temporary file fail part-way.
    signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 64;
    setrlimit(RLIMIT_FSIZE, &small);
    auto err = CatchError([&] { cal->SaveToFile(target); });
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_EQ(err.Number(), 57);
    EXPECT_EQ(ReadFile(target), "old contents");
    EXPECT_TRUE(onlyTarget()) << "no temporary file left behind";
    EXPECT_EQ(cal->filename(), "") << "filename unchanged after a failed save";

    // A folder that cannot be written (root may write anywhere, so only for other users).
    if (geteuid() != 0) {
        chmod(dir.Path().c_str(), 0555);
        EXPECT_EQ(CatchError([&] { cal->SaveToFile(target); }).Number(), 75);
        chmod(dir.Path().c_str(), 0755);
        EXPECT_EQ(ReadFile(target), "old contents");
    }
    EXPECT_EQ(CatchError([&] { cal->SaveToFile(target + "/not-a-folder/x.ics"); }).Number(), 75);

    chmod(target.c_str(), 0600);
    cal->SaveToFile(target);
    EXPECT_NE(ReadFile(target).find("UID:a"), std::string::npos);
    struct stat st {};
    stat(target.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0600u) << "the replaced file keeps its permissions";
    EXPECT_TRUE(onlyTarget());
}

TEST(Document, LoadErrors) {
    auto cal = iCalendar::Create();
    cal->TryParse(kTwoEvents);
    auto err = CatchError([&] { cal->LoadFromFile("/nonexistent/x.ics"); });
    EXPECT_EQ(err.Number(), 53);
    EXPECT_EQ(cal->Events().Count(), 0) << "events are emptied before the file is opened";
    EXPECT_EQ(cal->filename(), "");
}

TEST(Document, HoldsAnyNumberOfEvents) {
    std::string text = "BEGIN:VCALENDAR\r\n";
    for (int i = 0; i < 50000; ++i)
        text += "BEGIN:VEVENT\r\nUID:e" + std::to_string(i) + "\r\nDTSTART:20070101T100000Z\r\nEND:VEVENT\r\n";
    text += "END:VCALENDAR\r\n";
    auto cal = iCalendar::Create();
    cal->TryParse(text);
    EXPECT_EQ(cal->Events().Count(), 50000);
    EXPECT_EQ(cal->Events().Item(50000)->UID()->Value(), "e49999");
    EXPECT_EQ(CatchError([&] { cal->Events().Item(50001); }).Number(), 9);
    EXPECT_EQ(CatchError([&] { cal->Events().Item(0); }).Number(), 9);
}

TEST(Document, LinksFailOnceTheCalendarIsGone) {
    EventPtr kept;
    {
        auto cal = iCalendar::Create();
        kept = cal->CreateEvent();
        EXPECT_EQ(kept->Quillet(), cal);
        EXPECT_EQ(kept->DTStart()->Quillet(), cal);
        cal->Dispose();
        auto err = CatchError([&] { kept->Quillet(); });
        EXPECT_EQ(err.Number(), -2147221504L);
        EXPECT_EQ(err.Source(), "WeakReference");
        EXPECT_EQ(err.Description(), "Target object has terminated.");
        EXPECT_NE(CatchError([&] { cal->TryParse(kTwoEvents); }).Number(), 0);
    }
    // The link never kept the calendar alive.
    EXPECT_EQ(CatchError([&] { kept->Quillet(); }).Description(), "Target object has terminated.");
    Event loose;
    EXPECT_EQ(loose.Quillet(), nullptr) << "never linked";

    WeakReference<int> ref;
    EXPECT_EQ(CatchError([&] { ref.Initialize(nullptr); }).Description(), "Target cannot be Nothing.");
    auto n = std::make_shared<int>(1);
    ref.Initialize(n);
    EXPECT_EQ(CatchError([&] { ref.Initialize(n); }).Description(), "Target has already been set.");
    EXPECT_TRUE(ref.IsAlive());
}

TEST(Document, CollectionsRemoveByIdentity) {
    auto cal = iCalendar::Create();
    cal->TryParse(kTwoEvents);
    auto other = cal->Events().Item(1)->Clone();
    cal->Events().RemoveEvent(other);
    EXPECT_EQ(cal->Events().Count(), 2) << "an equal event that is not in the collection";
    cal->Events().RemoveEvent(cal->Events().Item(1));
    ASSERT_EQ(cal->Events().Count(), 1);
    EXPECT_EQ(cal->Events().Item(1)->UID()->Value(), "b");
}

TEST(Document, CollectionQueryMergesCalendars) {
    iCalendarCollection all;
    auto a = iCalendar::Create();
    a->TryParse(kTwoEvents);
    auto b = iCalendar::Create();
    b->TryParse("BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nUID:c\r\nDTSTART;VALUE=DATE:20070101\r\n"
                "DTEND;VALUE=DATE:20070102\r\nEND:VEVENT\r\nEND:VCALENDAR");
    all.Add(a);
    all.Add(b);
    ScopedTZ tz("UTC");
    auto found = all.QueryEvent(DV(2007, 1, 1), DV(2007, 1, 2));
    ASSERT_EQ(found.Count(), 2);
    EXPECT_EQ(found.Item(1)->UID()->Value(), "a");
    EXPECT_EQ(found.Item(2)->Quillet(), b);
    EXPECT_EQ(found.Quillet(), nullptr);
    EXPECT_EQ(all.QueryEvent(DV(2008, 1, 1), DV(2008, 1, 2)).Count(), 0);
}
