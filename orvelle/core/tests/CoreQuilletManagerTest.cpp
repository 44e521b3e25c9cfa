// The calendar manager, the month grid and the reminder and chime clocks, on files in a private
// folder and a clock the tests set.
#include "TestEnv.h"
#include "orvelle/core/CalendarHelper.h"
#include "orvelle/core/QuilletManager.h"
#include "orvelle/core/ReminderClock.h"

#include <gtest/gtest.h>

#include <ctime>
#include <fstream>
#include <map>

using namespace orvelle;
using quillet::DateValue;

namespace {

DateValue At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return quillet::FieldsToValue({y, mo, d, h, mi, s});
}

std::string Ev(const std::string& uid, const std::string& start, const std::string& end, const std::string& summary,
               const std::string& extra = {}) {
    return "BEGIN:VEVENT\r\nUID:" + uid + "\r\nDTSTART" + start + "\r\nDTEND" + end + "\r\nSUMMARY:" + summary +
           "\r\n" + extra + "END:VEVENT\r\n";
}
std::string Alarm(const std::string& trigger, const std::string& summary) {
    return "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:" + trigger + "\r\nSUMMARY:" + summary + "\r\nEND:VALARM\r\n";
}
std::string Cal(const std::string& body) {
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//EN\r\n" + body + "END:VCALENDAR\r\n";
}

struct Alerts : IAlertWindow {
    std::vector<std::pair<std::string, std::string>> Shown;
    bool Fail = false;
    void ShowAlert(const std::string& title, const std::string& text) override {
        if (Fail) throw std::runtime_error("no desktop");
        Shown.emplace_back(title, text);
    }
};
struct Boxes : IMessageBox {
    std::vector<std::string> Texts;
    void ShowError(const std::string& text) override { Texts.push_back(text); }
};
struct Watchers : IFileWatcherFactory {
    struct W : IFileWatcher {
        void Stop() override {}
    };
    std::map<std::string, std::function<void()>> Changed;
    std::unique_ptr<IFileWatcher> Watch(const std::string& path, std::function<void()> changed) override {
        Changed[path] = std::move(changed);
        return std::make_unique<W>();
    }
};

class ManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        tzset();
        List = Doc.append_child("CalList");
    }
    void TearDown() override { tzset(); }

    std::string Write(const std::string& name, const std::string& text) {
        std::string path = Dir / name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    void AddCal(const std::string& name, const std::string& path, bool active, const std::string& google = {}) {
        auto c = List.append_child("Cal");
        c.append_attribute("Name") = name.c_str();
        c.append_attribute("LocalPath") = path.c_str();
        c.append_attribute("IsActive") = active ? "True" : "False";
        c.append_attribute("GoogleName") = google.c_str();
    }
    TQuilletManager& Manager() {
        if (!M) {
            M = std::make_unique<TQuilletManager>([this] { return Now; });
            ListNode = TXMLCalListType(List);
            M->SetCalendarList(&ListNode, [this] { ++Saves; });
            M->SetMessageBox(&Box);
            M->SetFileWatcherFactory(&Watch);
            M->SetSortFile(Dir / "calendar.ini");
        }
        return *M;
    }
    std::vector<std::string> Summaries(const std::vector<quillet::EventPtr>& events) {
        std::vector<std::string> out;
        for (const auto& e : events) out.push_back(e->Summary()->Value());
        return out;
    }

    testenv::ScopedEnv Zone{"TZ", std::string("UTC")};
    testenv::TempDir Dir;
    pugi::xml_document Doc;
    pugi::xml_node List;
    TXMLCalListType ListNode{pugi::xml_node()};
    int Saves = 0;
    Boxes Box;
    Watchers Watch;
    DateValue Now = At(2026, 3, 2, 8, 0);
    std::unique_ptr<TQuilletManager> M;
};

TEST_F(ManagerTest, LoadAllKeepsIndicesWithAStandInForAFileThatFailsToLoad) {
    AddCal("Work", Write("Work.ICS", Cal(Ev("w1", ":20260302T090000", ":20260302T100000", "Standup",
                                             Alarm("-PT15M", "Standup soon")))),
           true);
    AddCal("Gone", (Dir / "missing.ics"), true);
    AddCal("Home", Write("home.ics", Cal(Ev("h1", ":20260302T180000", ":20260302T190000", "Dinner",
                                             Alarm("-PT30M", "Dinner soon")) +
                                          "BEGIN:VTODO\r\nUID:t1\r\nSUMMARY:Shop\r\nEND:VTODO\r\n")),
           false, "home@example.org");
    auto& m = Manager();
    int changes = 0;
    m.OnChange = [&](TQuilletManager&) { ++changes; };
    m.LoadAll();

    ASSERT_EQ(m.CalendarCount(), 3);
    EXPECT_EQ(Box.Texts, std::vector<std::string>{"An error occured when open calendar file " +
                                                  (Dir / "missing.ics")});
    EXPECT_FALSE(m.IsPlaceholder(0));
    EXPECT_TRUE(m.IsPlaceholder(1));
    EXPECT_EQ(m.Calendar(1)->Name(), "Gone");
    EXPECT_EQ(m.Calendar(2)->Name(), "Home");
    EXPECT_TRUE(m.Calendar(2)->IsGoogleCalendar());
    EXPECT_EQ(changes, 1);
    // Only the active calendar's events; alarms of every calendar.
    ASSERT_EQ(m.EventCount(), 1);
    EXPECT_EQ(m.EventAt(0)->Summary()->Value(), "Standup");
    EXPECT_EQ(m.TodoCount(), 0);
    EXPECT_EQ(m.TodayAlarms().size(), 2u);

    std::vector<std::string> lines;
    EXPECT_EQ(m.FillCalendarChoice(lines, "Home (Google)"), 2);
    EXPECT_EQ(lines, (std::vector<std::string>{"Work (Local)", "Gone (Local)", "Home (Google)"}));
    EXPECT_EQ(m.FillCalendarChoice(lines, "Nothing"), 0);

    // The index of the calendar list addresses the same calendar in the manager.
    m.SetCalendarActive(2, true);
    EXPECT_EQ(Saves, 1);
    EXPECT_EQ(std::string(List.find_child_by_attribute("Cal", "Name", "Home").attribute("IsActive").value()), "True");
    EXPECT_EQ(m.EventCount(), 2);
    EXPECT_EQ(m.TodoCount(), 1);
    m.SetCalendarActive(0, false);
    EXPECT_EQ(Summaries({m.EventAt(0)}), std::vector<std::string>{"Dinner"});
    EXPECT_EQ(m.TodayAlarms().size(), 2u);  // a switched-off calendar still reminds
}

TEST_F(ManagerTest, FileChangesReloadExceptOurOwnSave) {
    std::string path = Write("a.ics", Cal(Ev("a1", ":20260302T090000", ":20260302T100000", "One")));
    AddCal("A", path, true);
    auto& m = Manager();
    m.LoadAll();
    ASSERT_EQ(m.EventCount(), 1);

    auto cal = m.Calendar(0);
    m.NewEvent(cal)->Summary()->SetValue("Two");
    m.SaveCalendar(cal);
    Write("a.ics", Cal(Ev("a1", ":20260302T090000", ":20260302T100000", "Changed outside")));
    Watch.Changed[path]();  // our own write: skipped
    EXPECT_EQ(Summaries({m.EventAt(0)}), std::vector<std::string>{"One"});
    Watch.Changed[path]();  // an outside write: reloaded into the same object
    EXPECT_EQ(m.Calendar(0), cal);
    ASSERT_EQ(m.EventCount(), 1);
    EXPECT_EQ(m.EventAt(0)->Summary()->Value(), "Changed outside");

    m.DeleteEvent(cal, m.EventAt(0));
    EXPECT_EQ(m.EventCount(), 0);
    EXPECT_EQ(cal->Events().Count(), 0);
}

TEST_F(ManagerTest, QueryDaysPutsAllDayFirstThenTimedByStart) {
    AddCal("A", Write("a.ics", Cal(Ev("n", ":20260302T090000", ":20260302T093000", "Nine") +
                                   Ev("e", ":20260302T080000", ":20260302T083000", "Eight") +
                                   Ev("d", ";VALUE=DATE:20260302", ";VALUE=DATE:20260303", "Holiday") +
                                   Ev("r", ":20260301T070000", ":20260301T071500", "Daily", "RRULE:FREQ=DAILY\r\n"))),
           true);
    AddCal("B", Write("b.ics", Cal(Ev("b", ":20260302T083000", ":20260302T084000", "Hidden"))), false);
    auto& m = Manager();
    m.LoadAll();
    auto days = m.QueryDays(At(2026, 3, 1), At(2026, 4, 11));
    ASSERT_EQ(days.size(), 42u);
    EXPECT_EQ(days[0].Day, At(2026, 3, 1));
    EXPECT_EQ(Summaries(days[0].Events), std::vector<std::string>{"Daily"});
    EXPECT_EQ(Summaries(days[1].Events), (std::vector<std::string>{"Holiday", "Daily", "Eight", "Nine"}));
    EXPECT_EQ(Summaries(days[41].Events), std::vector<std::string>{"Daily"});
    // A single day, its last day included whole: an event late on it is found.
    auto one = m.QueryDays(At(2026, 3, 2), At(2026, 3, 2));
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(Summaries(one[0].Events), (std::vector<std::string>{"Holiday", "Daily", "Eight", "Nine"}));
}

TEST_F(ManagerTest, Texts) {
    AddCal("A", Write("a.ics", Cal(Ev("1", ":20260302T090500", ":20260302T100000", "Morning") +
                                   Ev("2", ":20260302T000000", ":20260302T001500", "Midnight") +
                                   Ev("3", ":20260302T123000", ":20260302T130000", "Lunch") +
                                   Ev("4", ":20260302T230000", ":20260303T010000", "Late") +
                                   Ev("5", ";VALUE=DATE:20260302", ";VALUE=DATE:20260303", "Off"))),
           true);
    auto& m = Manager();
    m.LoadAll();
    std::vector<std::string> labels;
    for (int i = 0; i < m.EventCount(); ++i) labels.push_back(EventLabel(*m.EventAt(i)));
    EXPECT_EQ(labels, (std::vector<std::string>{"09:05 am - Morning", "12:00 am - Midnight", "12:30 pm - Lunch",
                                                "Multiday - Late", "All day - Off"}));
    EXPECT_EQ(EventLabels({m.EventAt(0), m.EventAt(4)}), "09:05 am - Morning\r\nAll day - Off\r\n");

    const DateValue today = At(2026, 3, 2, 15, 0);
    struct Case { DateValue date; bool relative; const char* caption; };
    for (const auto& c : std::vector<Case>{{At(2026, 3, 2), true, "Today  Mar 02"},
                                           {At(2026, 3, 3, 12), true, "Tomorrow  Mar 03"},
                                           {At(2026, 3, 3), false, "Tuesday  Mar 03"},
                                           {At(2026, 3, 1), true, "Sunday  Mar 01"},
                                           {At(2027, 12, 25), true, "Saturday  Dec 25"}})
        EXPECT_EQ(DayCaption(c.date, c.relative, today), c.caption);
}

TEST_F(ManagerTest, TodoStateAndOrder) {
    AddCal("A", Write("a.ics", Cal("BEGIN:VTODO\r\nUID:1\r\nSUMMARY:beta\r\nPRIORITY:1\r\nDUE:20260301T100000\r\n"
                                   "PERCENT-COMPLETE:100\r\nEND:VTODO\r\n"
                                   "BEGIN:VTODO\r\nUID:2\r\nSUMMARY:Alpha\r\nPRIORITY:5\r\nDUE:20260301T100000\r\nEND:VTODO\r\n"
                                   "BEGIN:VTODO\r\nUID:3\r\nSUMMARY:gamma\r\nPRIORITY:0\r\nDUE:20260302T230000\r\nEND:VTODO\r\n"
                                   "BEGIN:VTODO\r\nUID:4\r\nSUMMARY:Delta\r\nPRIORITY:5\r\nDUE:20260303T000000\r\nEND:VTODO\r\n"
                                   "BEGIN:VTODO\r\nUID:5\r\nSUMMARY:epsilon\r\nPRIORITY:1\r\nEND:VTODO\r\n")),
           true);
    auto& m = Manager();
    m.LoadAll();  // no calendar.ini: file order
    std::vector<std::string> names, expectNames{"beta", "Alpha", "gamma", "Delta", "epsilon"};
    std::vector<int> states;
    for (int i = 0; i < m.TodoCount(); ++i) {
        names.push_back(m.TodoAt(i)->Summary()->Value());
        states.push_back(TodoState(*m.TodoAt(i), Now));
    }
    EXPECT_EQ(names, expectNames);
    EXPECT_EQ(states, (std::vector<int>{0, 4, 3, 1, 3}));

    auto order = [&](TSortConditions c) {
        std::vector<quillet::TodoPtr> list;
        for (int i = 0; i < m.TodoCount(); ++i) list.push_back(m.TodoAt(i));
        SortTodos(list, c);
        std::string out;
        for (const auto& t : list) out += t->UID()->Value();
        return out;
    };
    EXPECT_EQ(order({{{"Priority", false}}}), "24153");
    EXPECT_EQ(order({{{"Priority", true}}}), "31524");
    EXPECT_EQ(order({{{"Subject", true}}}), "21453");
    EXPECT_EQ(order({{{"Priority", false}, {"Subject", true}}}), "24153");
    EXPECT_EQ(order({{{"Priority", false}, {"Subject", false}}}), "42513");
    EXPECT_EQ(order({{{"(none)", false}, {"Due Date", true}}}), "51234");

    // The order is read once, from calendar.ini, and again only when asked.
    TSortConditions saved{{{"Subject", false}, {"(none)", false}, {"Priority", true}}};
    SaveSortConditions(Dir / "calendar.ini", saved);
    auto back = LoadSortConditions(Dir / "calendar.ini");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(back[i].FieldName, saved[i].FieldName);
        EXPECT_EQ(back[i].Ascending, saved[i].Ascending);
    }
    m.Rebuild();
    EXPECT_EQ(m.TodoAt(0)->UID()->Value(), "1");
    m.ReloadSortConditions();
    m.BuildTodos();
    EXPECT_EQ(m.TodoAt(0)->UID()->Value(), "3");
    EXPECT_EQ(LoadSortConditions(Dir / "none.ini")[0].FieldName, "(none)");
}

TEST(Weekdays, AddAndCompare) {
    quillet::DaySpecifierCollection specs;
    AddWeekdays({"1", "3", "5"}, specs);
    ASSERT_EQ(specs.Count(), 3);
    EXPECT_EQ(specs.Item(2)->DayOfWeek(), 3);
    EXPECT_TRUE(SameWeekdays({"5", "1", "3"}, specs));
    EXPECT_FALSE(SameWeekdays({"5", "1"}, specs));
    EXPECT_FALSE(SameWeekdays({"5", "1", "2"}, specs));
}

// ---- reminders

class ReminderTest : public ManagerTest {
protected:
    void Load(const std::string& body) {
        AddCal("R", Write("r.ics", Cal(body)), false);
        Manager().LoadAll();
    }
    void RunTo(DateValue to) {  // one tick a second from Now
        TReminderClock& c = Clock();
        for (auto s = quillet::ToSeconds(Now); s <= quillet::ToSeconds(to); ++s) {
            Now = quillet::FromSeconds(s);
            c.Tick(Now);
            if (Alert.Shown.size() > ShownAt.size()) ShownAt.push_back(Now);
        }
    }
    TReminderClock& Clock() {
        if (!C) C = std::make_unique<TReminderClock>(Manager(), Alert);
        return *C;
    }
    Alerts Alert;
    std::vector<DateValue> ShownAt;
    std::unique_ptr<TReminderClock> C;
};

TEST_F(ReminderTest, AlarmDueIsTheAlarmsOwnMinuteOnItsDate) {
    Now = At(2026, 3, 2, 0, 0);
    Load(Ev("e", ":20260302T100000", ":20260302T110000", "Talk", Alarm("-PT15M", "Talk soon")));
    ASSERT_EQ(Manager().TodayAlarms().size(), 1u);
    auto& alarm = *Manager().TodayAlarms()[0];
    struct Case { DateValue now; bool due; };
    for (const auto& c : std::vector<Case>{{At(2026, 3, 2, 9, 45), true}, {At(2026, 3, 2, 9, 45, 59), true},
                                           {At(2026, 3, 2, 9, 44, 59), false}, {At(2026, 3, 2, 9, 46), false},
                                           {At(2026, 3, 2, 9, 30), false}, {At(2026, 3, 3, 9, 45), false}})
        EXPECT_EQ(AlarmDue(alarm, c.now), c.due) << quillet::FormatIsoDateTime(quillet::ValueToFields(c.now));
}

TEST_F(ReminderTest, FiresAtItsOwnTimeOnceOnThatDateOnly) {
    Now = At(2026, 3, 2, 9, 0);
    Load(Ev("e", ":20260302T100000", ":20260302T110000", "Talk", Alarm("-PT15M", "Talk soon")));
    RunTo(At(2026, 3, 2, 9, 50));
    ASSERT_EQ(ShownAt, std::vector<DateValue>{At(2026, 3, 2, 9, 45)});
    EXPECT_EQ(Alert.Shown[0], std::make_pair(std::string("Alarm"), std::string("Talk soon")));
    // A rebuild in the same minute brings the alarm back into the list, not onto the screen.
    Now = At(2026, 3, 2, 9, 45, 30);
    Manager().Rebuild();
    EXPECT_EQ(Manager().TodayAlarms().size(), 1u);
    RunTo(At(2026, 3, 2, 9, 47));
    EXPECT_EQ(Alert.Shown.size(), 1u);
}

TEST_F(ReminderTest, AnAlarmLeftFromAnEarlierDayDoesNotFireAgain) {
    Now = At(2026, 3, 2, 9, 0);
    Load(Ev("e", ":20260302T100000", ":20260302T110000", "Talk", Alarm("-PT15M", "Talk soon")));
    auto alarms = Manager().TodayAlarms();  // yesterday's list, kept by hand
    Now = At(2026, 3, 3, 9, 44);
    Clock().Tick(Now);
    Manager().TodayAlarms() = alarms;
    RunTo(At(2026, 3, 3, 9, 47));
    EXPECT_TRUE(Alert.Shown.empty());
}

TEST_F(ReminderTest, RunningPastMidnightFindsTheNewDaysReminders) {
    Now = At(2026, 3, 2, 23, 59, 50);
    Load(Ev("e", ":20260303T001000", ":20260303T003000", "Early", Alarm("-PT5M", "Early soon")) +
         Ev("d", ":20260302T100000", ":20260302T110000", "Daily", "RRULE:FREQ=DAILY\r\n" + Alarm("-PT10M", "Daily soon")));
    EXPECT_EQ(Manager().TodayAlarms().size(), 1u);
    RunTo(At(2026, 3, 3, 9, 51));
    EXPECT_EQ(ShownAt, (std::vector<DateValue>{At(2026, 3, 3, 0, 5), At(2026, 3, 3, 9, 50)}));
}

TEST_F(ReminderTest, AReminderMissedWhileAsleepIsShownOnceOnWaking) {
    Now = At(2026, 3, 2, 9, 0);
    Load(Ev("e", ":20260302T100000", ":20260302T110000", "Talk", Alarm("-PT15M", "Talk soon")) +
         Ev("f", ":20260302T090000", ":20260302T091000", "Before", Alarm("-PT30M", "Before start")));
    Clock().Tick(Now);
    Now = At(2026, 3, 2, 11, 20);  // asleep from 09:00 to 11:20
    RunTo(At(2026, 3, 2, 11, 25));
    EXPECT_EQ(ShownAt, std::vector<DateValue>{At(2026, 3, 2, 11, 20)});
    // The one due before the clock started (08:30) is not shown late.
    EXPECT_EQ(Alert.Shown, (std::vector<std::pair<std::string, std::string>>{{"Alarm", "Talk soon"}}));
}

TEST_F(ReminderTest, TwoAlarmsInOneMinuteComeOneTickApartAndAnEmptySummaryShowsEmpty) {
    Now = At(2026, 3, 2, 9, 0);
    Load(Ev("a", ":20260302T100000", ":20260302T110000", "A", Alarm("-PT15M", "First")) +
         Ev("b", ":20260302T100000", ":20260302T110000", "B", "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:-PT15M\r\nEND:VALARM\r\n"));
    RunTo(At(2026, 3, 2, 9, 46));
    EXPECT_EQ(ShownAt, (std::vector<DateValue>{At(2026, 3, 2, 9, 45), At(2026, 3, 2, 9, 45, 1)}));
    EXPECT_EQ(Alert.Shown, (std::vector<std::pair<std::string, std::string>>{{"Alarm", "First"}, {"Alarm", ""}}));
    EXPECT_TRUE(Manager().TodayAlarms().empty());
}

TEST_F(ReminderTest, AFailureStopsTheClock) {
    Now = At(2026, 3, 2, 9, 44);
    Load(Ev("a", ":20260302T100000", ":20260302T110000", "A", Alarm("-PT15M", "First")) +
         Ev("b", ":20260302T100100", ":20260302T110000", "B", Alarm("-PT15M", "Second")));
    Alert.Fail = true;
    RunTo(At(2026, 3, 2, 9, 45));
    EXPECT_FALSE(Clock().Enabled());
    Alert.Fail = false;
    RunTo(At(2026, 3, 2, 9, 47));
    EXPECT_TRUE(Alert.Shown.empty());
}

struct Player : ISoundPlayer {
    std::vector<std::string> Played;
    void PlayAsync(const std::string& path) override { Played.push_back(path); }
};

TEST(Chime, PlaysOncePerFullHourWhenSwitchedOn) {
    testenv::TempDir dir;
    std::string wav = dir / "chime.wav";
    std::ofstream(wav) << "RIFF";
    struct Step { DateValue now; bool on; int played; int lastHour; };
    Player p;
    TChimeClock chime(p);
    for (const auto& s : std::vector<Step>{{At(2026, 3, 2, 23, 30), true, 0, -1},
                                          {At(2026, 3, 3, 0, 0, 0), true, 1, 0},   // midnight chimes too
                                          {At(2026, 3, 3, 0, 0, 1), true, 1, 0},
                                          {At(2026, 3, 3, 0, 1), true, 1, 0},
                                          {At(2026, 3, 3, 14, 0, 10), false, 1, 0},
                                          {At(2026, 3, 3, 14, 0, 30), true, 2, 14},  // switched on within the minute
                                          {At(2026, 3, 3, 14, 0, 31), true, 2, 14},
                                          {At(2026, 3, 3, 15, 0), true, 3, 15}}) {
        chime.Tick(s.now, s.on, wav);
        EXPECT_EQ(static_cast<int>(p.Played.size()), s.played);
        EXPECT_EQ(chime.LastChimeHour(), s.lastHour);
    }
    Player silent;
    TChimeClock missing(silent);
    missing.Tick(At(2026, 3, 3, 16, 0), true, dir / "none.wav");
    EXPECT_TRUE(silent.Played.empty());
}

// ---- month grid

TEST(CalendarHelper, GridsAndNavigation) {
    DateValue today = At(2026, 2, 17, 10);
    TCalendarHelper h(false, [&] { return today; });
    // March 2026 begins on a Sunday: alone in the first row when weeks start on Monday.
    h.SetMonth(At(2026, 3, 9));
    EXPECT_EQ(h.Grid()[0], (std::array<int, 7>{0, 0, 0, 0, 0, 0, 1}));
    EXPECT_EQ(h.Grid()[5][1], 31);
    EXPECT_EQ(h.RowCount(), 6);
    int row = 0, col = 0;
    EXPECT_TRUE(h.FindDay(9, row, col));
    EXPECT_EQ(std::make_pair(row, col), std::make_pair(2, 1));
    EXPECT_FALSE(h.FindDay(32, row, col));
    EXPECT_EQ(h.CellDate(2, 1), At(2026, 3, 9));
    EXPECT_EQ(h.CellDate(0, 1), 0);
    h.TodayCell(row, col);
    EXPECT_EQ(std::make_pair(row, col), std::make_pair(-1, -1));
    EXPECT_EQ(h.DayNames()[0], "Monday");
    EXPECT_EQ(h.DayNames()[6], "Sunday");
    h.SetStartFromSunday(true);
    EXPECT_EQ(h.Grid()[0][0], 1);
    EXPECT_EQ(h.RowCount(), 5);
    EXPECT_EQ(h.DayInitials()[0], "S");

    h.GoToday();
    EXPECT_TRUE(h.IsCurrentMonth());
    h.TodayCell(row, col);  // 17 Feb 2026 is a Tuesday; February starts on a Sunday
    EXPECT_EQ(std::make_pair(row, col), std::make_pair(2, 2));
    h.PrevMonth(); h.PrevMonth();
    EXPECT_EQ(std::make_pair(h.Year(), h.Month()), std::make_pair(2025, 12));
    h.NextMonth();
    EXPECT_EQ(std::make_pair(h.Year(), h.Month()), std::make_pair(2026, 1));
    TCalendarHelper y(true, [] { return At(1, 5, 1); });
    y.PrevYear();
    EXPECT_EQ(y.Year(), 1);
    y.NextYear();
    EXPECT_EQ(y.Year(), 2);
}

}  // namespace
