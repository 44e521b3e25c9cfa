#include "orvelle/core/QuilletManager.h"

#include "orvelle/core/GUITool.h"
#include "orvelle/core/callist.h"
#include "platform/IniFile.h"
#include "quillet/HostZone.h"
#include "quillet/iCalendarCollection.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <stdexcept>

namespace orvelle {

using namespace quillet;

const std::array<const char*, 7> DayNamesList = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                 "Thursday", "Friday", "Saturday"};
const std::array<const char*, 12> MonthNamesList = {"January", "February", "March",     "April",
                                                    "May",     "June",     "July",      "August",
                                                    "September", "October", "November", "December"};

namespace {

std::string Lower(std::string s) {
    for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string NameFromPath(const std::string& path) {
    std::string name = path.substr(path.find_last_of('/') == std::string::npos ? 0 : path.find_last_of('/') + 1);
    auto at = Lower(name).find(".ics");
    if (at != std::string::npos) name.erase(at, 4);
    return name;
}

Secs LocalSecs(const Date_TimePtr& dt) { return ToSeconds(dt->localtime()); }

template <class T>
int IndexIn(const std::vector<std::shared_ptr<T>>& list, const std::shared_ptr<T>& item) {
    auto it = std::find(list.begin(), list.end(), item);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

template <class T>
const std::shared_ptr<T>& At(const std::vector<std::shared_ptr<T>>& list, int index) {
    if (index < 0 || index >= static_cast<int>(list.size())) throw std::out_of_range("calendar manager index");
    return list[index];
}

}  // namespace

// ---- TFileMonitor

void TFileMonitor::Add(const std::string& path) {
    FPaths.push_back(path);
    if (FFactory) FWatchers.push_back(FFactory->Watch(path, [this, path] { FileChanged(path); }));
}

void TFileMonitor::StopAll() {
    for (auto& w : FWatchers)
        if (w) w->Stop();
    FWatchers.clear();
    FPaths.clear();
}

void TFileMonitor::FileChanged(const std::string& path) {
    if (SkipNext) {
        SkipNext = false;
        return;
    }
    if (OnFileChanged) OnFileChanged(path);
}

// ---- TQuilletManager

TQuilletManager::TQuilletManager(TClock now) : FNow(now ? std::move(now) : TClock(&NowLocal)) {
    FFileMonitor.OnFileChanged = [this](const std::string& path) { FileChanged(path); };
}

TQuilletManager::~TQuilletManager() { FFileMonitor.StopAll(); }

void TQuilletManager::SetCalendarList(TXMLCalListType* list, std::function<void()> save) {
    FList = list;
    FSaveList = std::move(save);
}

TXMLCalListType TQuilletManager::List() const { return FList ? *FList : CalendarList(); }

std::string TQuilletManager::SortFile() const {
    if (!FSortFile.empty()) return FSortFile;
    return (GUITools ? GUITools->DataFolder() : CurrentDataFolder()) + "calendar.ini";
}

void TQuilletManager::LoadAll() {
    ClearLists();
    FFileMonitor.StopAll();
    FCalendars.clear();
    FPlaceholder.clear();
    TXMLCalListType list = List();
    for (int i = 0; i < list.Count(); ++i) {
        TXMLCalType entry = list.Cal(i);
        std::string path = entry.LocalPath();
        try {
            int at = LoadCalendar(path);
            auto cal = FCalendars[at];
            cal->SetColor(static_cast<std::int32_t>(entry.CalendarColor()));
            cal->SetIsActive(entry.IsActive());
            cal->SetName(entry.Name());
            cal->SetCalendarType(entry.CalendarType());
            cal->SetIsReadOnly(entry.IsReadOnly());
            cal->SetIsGoogleCalendar(!entry.GoogleName().empty());
            FFileMonitor.Add(cal->filename());
        } catch (const std::exception&) {
            if (FMessageBox) FMessageBox->ShowError("An error occured when open calendar file " + path);
            // An empty, inactive stand-in keeps the calendar list's indices valid for the menus
            // and SetCalendarActive; its file is still watched so that a repaired file loads.
            if (static_cast<int>(FCalendars.size()) > i) FCalendars.resize(i);
            auto stand = iCalendar::Create();
            stand->Setfilename(path);
            stand->SetName(entry.Name().empty() ? NameFromPath(path) : entry.Name());
            try {
                stand->SetIsActive(entry.IsActive());
            } catch (const std::exception&) {
                stand->SetIsActive(false);
            }
            stand->SetIsGoogleCalendar(!entry.GoogleName().empty());
            FCalendars.push_back(stand);
            FPlaceholder.resize(FCalendars.size(), false);
            FPlaceholder.back() = true;
            if (!path.empty()) FFileMonitor.Add(path);
        }
        FPlaceholder.resize(FCalendars.size(), false);
    }
    BuildEvents();
    BuildTodos();
    if (OnChange) OnChange(*this);
}

int TQuilletManager::LoadCalendar(const std::string& path) {
    if (GUITools) GUITools->StartMonitor();
    auto cal = iCalendar::Create();
    cal->LoadFromFile(path);
    if (GUITools) GUITools->LogFmt("Todos count is %d", cal->Todos().Count());
    cal->Setfilename(path);
    cal->SetName(NameFromPath(path));
    FCalendars.push_back(cal);
    FPlaceholder.push_back(false);
    if (GUITools)
        GUITools->LogMonitor("Finish to load " + cal->Name() + ", " + std::to_string(cal->Events().Count()) +
                             " events.");
    return static_cast<int>(FCalendars.size()) - 1;
}

void TQuilletManager::Rebuild() {
    ClearLists();
    BuildEvents();
    BuildTodos();
    if (OnChange) OnChange(*this);
}

const TQuilletManager::TBounds& TQuilletManager::Bounds(Event& ev) {
    const Secs rawStart = ev.DTStart()->ValueSeconds(), rawEnd = ev.DTEnd()->ValueSeconds();
    const bool allDay = ev.IsAllDay();
    TBounds& b = FBounds[&ev];
    if (!b.Known || b.RawStart != rawStart || b.RawEnd != rawEnd || b.AllDay != allDay) {
        b = {true, allDay, rawStart, rawEnd, allDay ? rawStart : ev.DTStart()->LocalSeconds(),
             allDay ? rawEnd : ev.DTEnd()->LocalSeconds()};
    }
    return b;
}

void TQuilletManager::ClearLists() {
    FBounds.clear();
    FEvents.clear();
    FTodos.clear();
    FTodayAlarms.clear();
}

void TQuilletManager::BuildEvents() {
    FEvents.clear();
    for (const auto& cal : FCalendars)
        if (cal->IsActive())
            for (const auto& ev : cal->Events()) FEvents.push_back(ev);
    BuildTodayAlarms();
}

void TQuilletManager::BuildTodayAlarms() {
    FTodayAlarms.clear();
    DateValue today = DateOnly(Now());
    for (const auto& cal : FCalendars)
        for (const auto& alarm : cal->QueryAlarm(today, today + 1)) FTodayAlarms.push_back(alarm);
}

void TQuilletManager::BuildTodos() {
    if (GUITools) GUITools->Log("load todo");
    FTodos.clear();
    for (const auto& cal : FCalendars)
        if (cal->IsActive())
            for (const auto& todo : cal->Todos()) FTodos.push_back(todo);
    if (!FSortLoaded) ReloadSortConditions();
    SortTodos(FTodos, FSortConditions);
}

void TQuilletManager::ReloadSortConditions() {
    FSortConditions = LoadSortConditions(SortFile());
    FSortLoaded = true;
}

iCalendarPtr TQuilletManager::Calendar(int index) const { return At(FCalendars, index); }
int TQuilletManager::IndexOfCalendar(const iCalendarPtr& cal) const { return IndexIn(FCalendars, cal); }
bool TQuilletManager::IsPlaceholder(int index) const {
    At(FCalendars, index);
    return FPlaceholder[index];
}
EventPtr TQuilletManager::EventAt(int index) const { return At(FEvents, index); }
int TQuilletManager::IndexOfEvent(const EventPtr& ev) const { return IndexIn(FEvents, ev); }
TodoPtr TQuilletManager::TodoAt(int index) const { return At(FTodos, index); }
int TQuilletManager::IndexOfTodo(const TodoPtr& todo) const { return IndexIn(FTodos, todo); }

std::vector<TEventDay> TQuilletManager::QueryDays(DateValue vFrom, DateValue vTo) {
    const Secs from = ToSeconds(vFrom), to = ToSeconds(vTo);
    // The last day is listed too, so the query must cover it whole, not end at its midnight.
    const Secs queryTo = to + kSecondsPerDay;
    // What iCalendarCollection::QueryEvent does, calendar by calendar and masters before the
    // instances that override them, except that a single event is tested against the range from
    // its remembered bounds first: working out its local times again for every month paged is
    // most of the cost of a large calendar.
    EventCollection events;
    for (const auto& cal : FCalendars) {
        if (!cal->IsActive()) continue;
        for (int pass = 0; pass < 2; ++pass)
            for (const auto& ev : cal->Events()) {
                if (ev->RecurID()->IsSet() != (pass == 1)) continue;
                if (ev->RRule().Empty() && ev->RDate().Empty()) {
                    const TBounds& b = Bounds(*ev);
                    if (!(b.Start < queryTo && b.End > from)) {
                        ev->Periods().ClearPeriods();
                        continue;
                    }
                }
                ev->ComputePeriods(vFrom, FromSeconds(queryTo));
                if (ev->Periods().Count() != 0) events.AddRaw(ev);
            }
    }
    // Start times of day, worked out once per event rather than once per comparison.
    std::vector<std::pair<bool, Secs>> keys;
    keys.reserve(events.Count());
    for (const auto& ev : events)
        keys.emplace_back(ev->IsAllDay(), ((LocalSecs(ev->DTStart()) % kSecondsPerDay) + kSecondsPerDay) % kSecondsPerDay);
    const std::int64_t dayCount = to < from ? 0 : (to - from) / kSecondsPerDay + 1;
    std::vector<TEventDay> result(dayCount);
    std::vector<std::vector<std::pair<bool, Secs>>> dayKeys(dayCount);
    for (std::int64_t d = 0; d < dayCount; ++d) result[d].Day = FromSeconds(from + d * kSecondsPerDay);
    // Each event is placed on the days its occurrences touch, as WillOccureInDay decides, from the
    // periods the query has just worked out: one pass over the events instead of one per day.
    for (int i = 0; i < events.Count(); ++i) {
        const auto& ev = events.Items()[i];
        std::int64_t lastDay = -1;
        for (const auto& p : ev->Periods()) {
            const Secs ps = p->StartTime()->ValueSeconds(), pe = ps + p->GetDuration()->Span();
            // Days whose start lies in (ps - 1 day, pe): those the period overlaps.
            std::int64_t first = (ps - from) >= 0 ? (ps - from) / kSecondsPerDay
                                                   : -((from - ps + kSecondsPerDay - 1) / kSecondsPerDay);
            if (from + first * kSecondsPerDay <= ps - kSecondsPerDay) ++first;
            first = std::max(first, lastDay + 1);
            for (std::int64_t d = std::max<std::int64_t>(first, 0);
                 d < dayCount && from + d * kSecondsPerDay < pe; ++d) {
                result[d].Events.push_back(ev);
                dayKeys[d].push_back(keys[i]);
                lastDay = d;
            }
        }
    }
    for (std::int64_t day = 0; day < dayCount; ++day) {
        TEventDay& d = result[day];
        const auto& k = dayKeys[day];
        // Stable: all-day events keep their query order in front, equal times keep theirs.
        std::vector<size_t> order(d.Events.size());
        for (size_t i = 0; i < order.size(); ++i) order[i] = i;
        std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
            if (k[a].first != k[b].first) return k[a].first;
            if (k[a].first) return false;
            return k[a].second < k[b].second;
        });
        std::vector<EventPtr> sorted;
        sorted.reserve(order.size());
        for (size_t i : order) sorted.push_back(d.Events[i]);
        d.Events = std::move(sorted);
    }
    return result;
}

void TQuilletManager::SetCalendarActive(int index, bool active) {
    TXMLCalListType list = List();
    auto cal = Calendar(index);
    list.Cal(index).SetIsActive(active);
    if (FSaveList)
        FSaveList();
    else if (!FList)
        SaveCalendarList();
    cal->SetIsActive(active);
    Rebuild();
}

int TQuilletManager::FillCalendarChoice(std::vector<std::string>& lines, const std::string& preferred) const {
    lines.clear();
    int selected = -1;
    for (const auto& cal : FCalendars) {
        lines.push_back(cal->Name() + (cal->IsGoogleCalendar() ? " (Google)" : " (Local)"));
        if (selected < 0 && !preferred.empty() && lines.back() == preferred) selected = static_cast<int>(lines.size()) - 1;
    }
    if (selected < 0 && !lines.empty()) selected = 0;
    return selected;
}

EventPtr TQuilletManager::NewEvent(const iCalendarPtr& cal) {
    auto ev = cal->CreateEvent();
    FEvents.push_back(ev);
    return ev;
}

void TQuilletManager::DeleteEvent(const iCalendarPtr& cal, const EventPtr& ev) {
    FEvents.erase(std::remove(FEvents.begin(), FEvents.end(), ev), FEvents.end());
    cal->Events().RemoveEvent(ev);
}

void TQuilletManager::SaveCalendar(const iCalendarPtr& cal) {
    IgnoreNextChange();
    cal->SaveToFile(cal->filename());
}

void TQuilletManager::FileChanged(const std::string& path) {
    const std::string key = Lower(path);
    for (size_t i = 0; i < FCalendars.size(); ++i)
        if (Lower(FCalendars[i]->filename()) == key) {
            FCalendars[i]->LoadFromFile(path);
            FPlaceholder[i] = false;
            break;
        }
    Rebuild();
}

// ---- texts

namespace {
std::string Clock12(Secs local) {
    Secs t = ((local % kSecondsPerDay) + kSecondsPerDay) % kSecondsPerDay;
    int h = static_cast<int>(t / 3600), m = static_cast<int>(t / 60 % 60);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d %s", h % 12 == 0 ? 12 : h % 12, m, h < 12 ? "am" : "pm");
    return buf;
}
}  // namespace

std::string EventLabel(Event& event) {
    const std::string summary = event.Summary()->Value();
    if (event.IsAllDay()) return "All day - " + summary;
    Secs start = LocalSecs(event.DTStart()), end = LocalSecs(event.DTEnd());
    auto dayOf = [](Secs s) { return s >= 0 ? s / kSecondsPerDay : (s - kSecondsPerDay + 1) / kSecondsPerDay; };
    if (dayOf(start) != dayOf(end)) return "Multiday - " + summary;
    return Clock12(start) + " - " + summary;
}

std::string EventLabels(const std::vector<EventPtr>& events) {
    std::string out;
    for (const auto& ev : events) out += EventLabel(*ev) + "\r\n";
    return out;
}

std::string DayCaption(DateValue date, bool relative, DateValue today) {
    const auto days = static_cast<std::int64_t>(ToSeconds(DateOnly(date)) / kSecondsPerDay);
    const auto todayDays = static_cast<std::int64_t>(ToSeconds(DateOnly(today)) / kSecondsPerDay);
    std::string name = DayNamesList[WeekdayOfDays(days)];
    if (relative && days == todayDays) name = "Today";
    if (relative && days == todayDays + 1) name = "Tomorrow";
    DateFields f = CivilFromDays(days);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%.3s %02d", MonthNamesList[f.month - 1], f.day);
    return name + "  " + buf;
}

int TodoState(Todo& todo, DateValue today) {
    if (todo.Percent() == 100) return 0;
    if (!(todo.Due()->Value() > 0)) return 3;
    const DateValue due = DateOnly(todo.Due()->localtime()), day = DateOnly(today);
    if (day > due) return 4;
    if (day == due) return 3;
    return 1;
}

bool AlarmDue(Alarm& alarm, DateValue now) {
    const Secs minute = ToSeconds(now) / 60;
    bool due = false;
    for (const auto& t : alarm.OccurTimes()) {
        Secs local = LocalSecs(t);
        if (local / 60 == minute) {
            if (GUITools) GUITools->LogFmt("alarm time is %s", Clock12(local).c_str());
            due = true;
        }
    }
    return due;
}

// ---- to-do order

TSortConditions LoadSortConditions(const std::string& iniPath) {
    platform::TIniFile ini(iniPath);
    TSortConditions out;
    for (int i = 0; i < 3; ++i) {
        out[i].FieldName = ini.ReadString("Sort", "Field" + std::to_string(i), "(none)");
        out[i].Ascending = ini.ReadBool("Sort", "Ascending" + std::to_string(i), false);
    }
    return out;
}

void SaveSortConditions(const std::string& iniPath, const TSortConditions& conditions) {
    platform::TIniFile ini(iniPath);
    for (int i = 0; i < 3; ++i) {
        ini.WriteString("Sort", "Field" + std::to_string(i), conditions[i].FieldName);
        ini.WriteBool("Sort", "Ascending" + std::to_string(i), conditions[i].Ascending);
    }
    ini.Save();
}

namespace {
template <class T>
int Cmp(T a, T b) { return a < b ? -1 : (b < a ? 1 : 0); }

int CompareTodos(Todo& a, Todo& b, const std::string& field) {
    if (field == "Subject") return Cmp(Lower(a.Summary()->Value()), Lower(b.Summary()->Value()));
    if (field == "Due Date") return Cmp(a.Due()->Value(), b.Due()->Value());
    if (field == "Priority") return Cmp(a.Priority(), b.Priority());
    if (field == "%Complete") return Cmp(a.Percent(), b.Percent());
    if (field == "Start Date") return Cmp(a.DTStart()->Value(), b.DTStart()->Value());
    if (field == "Created") return Cmp(a.Created()->Value(), b.Created()->Value());
    return Cmp(a.DTStamp()->Value(), b.DTStamp()->Value());
}
}  // namespace

void SortTodos(std::vector<TodoPtr>& list, const TSortConditions& conditions) {
    for (int c = 2; c >= 0; --c) {
        const auto& cond = conditions[c];
        if (cond.FieldName == "(none)") continue;
        // Stable, so that the later keys already applied break the ties of this one.
        std::stable_sort(list.begin(), list.end(), [&](const TodoPtr& a, const TodoPtr& b) {
            int r = CompareTodos(*a, *b, cond.FieldName);
            return (cond.Ascending ? -r : r) > 0;
        });
    }
}

void AddWeekdays(const std::vector<std::string>& days, DaySpecifierCollection& specs) {
    for (const auto& d : days) specs.Add(std::stoi(d), 0);
}

bool SameWeekdays(const std::vector<std::string>& days, const DaySpecifierCollection& specs) {
    if (specs.Count() != static_cast<int>(days.size())) return false;
    for (const auto& d : days) {
        int n = std::stoi(d);
        bool found = false;
        for (const auto& s : specs)
            if (s->DayOfWeek() == n) found = true;
        if (!found) return false;
    }
    return true;
}

}  // namespace orvelle
