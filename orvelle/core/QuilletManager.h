#pragma once
// The loaded calendars and what the windows ask of them: the event, to-do and alarm lists, the days
// of a range, the short texts, the to-do order and the file-change reloads.
#include "orvelle/core/callist.h"
#include "quillet/DaySpecifierCollection.h"
#include "quillet/iCalendar.h"

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace orvelle {

// One day and its events, all-day events first, then timed events by start time.
struct TEventDay {
    quillet::DateValue Day = 0;
    std::vector<quillet::EventPtr> Events;
};

struct TSortCondition {
    std::string FieldName = "(none)";
    bool Ascending = false;
};
using TSortConditions = std::array<TSortCondition, 3>;

// The platform's watch on one file's last-write changes; the GUI supplies it.
class IFileWatcher {
public:
    virtual ~IFileWatcher() = default;
    virtual void Stop() = 0;
};
class IFileWatcherFactory {
public:
    virtual ~IFileWatcherFactory() = default;
    // The watcher calls `changed` on the user-interface thread.
    virtual std::unique_ptr<IFileWatcher> Watch(const std::string& path, std::function<void()> changed) = 0;
};

// Error boxes with the system's default caption.
class IMessageBox {
public:
    virtual ~IMessageBox() = default;
    virtual void ShowError(const std::string& text) = 0;
};

class TFileMonitor {
public:
    explicit TFileMonitor(IFileWatcherFactory* factory = nullptr) : FFactory(factory) {}
    void SetFactory(IFileWatcherFactory* factory) { FFactory = factory; }
    void Add(const std::string& path);
    void StopAll();
    // What a watcher reports; one SkipNext serves all files.
    void FileChanged(const std::string& path);
    bool SkipNext = false;
    std::function<void(const std::string&)> OnFileChanged;
    const std::vector<std::string>& Paths() const { return FPaths; }

private:
    IFileWatcherFactory* FFactory;
    std::vector<std::string> FPaths;
    std::vector<std::unique_ptr<IFileWatcher>> FWatchers;
};

class TQuilletManager {
public:
    using TClock = std::function<quillet::DateValue()>;  // host-local now
    explicit TQuilletManager(TClock now = {});
    ~TQuilletManager();

    void SetMessageBox(IMessageBox* box) { FMessageBox = box; }
    void SetFileWatcherFactory(IFileWatcherFactory* factory) { FFileMonitor.SetFactory(factory); }
    // The list LoadAll reads and SetCalendarActive writes; the application's list when not set.
    void SetCalendarList(TXMLCalListType* list, std::function<void()> save);
    // Where the to-do order lives; data folder + "calendar.ini" when empty.
    void SetSortFile(std::string path) { FSortFile = std::move(path); }

    void LoadAll();
    void Rebuild();
    void ClearLists();
    int LoadCalendar(const std::string& path);  // 0-based index
    void BuildEvents();
    void BuildTodayAlarms();
    void BuildTodos();
    void ReloadSortConditions();

    quillet::iCalendarPtr Calendar(int index) const;  // 0-based, throws std::out_of_range
    int CalendarCount() const { return static_cast<int>(FCalendars.size()); }
    int IndexOfCalendar(const quillet::iCalendarPtr& cal) const;
    // A calendar whose file failed to load is an empty stand-in that keeps the list's indices.
    bool IsPlaceholder(int index) const;
    quillet::EventPtr EventAt(int index) const;
    int EventCount() const { return static_cast<int>(FEvents.size()); }
    int IndexOfEvent(const quillet::EventPtr& ev) const;
    quillet::TodoPtr TodoAt(int index) const;
    int TodoCount() const { return static_cast<int>(FTodos.size()); }
    int IndexOfTodo(const quillet::TodoPtr& todo) const;
    const std::vector<quillet::AlarmPtr>& TodayAlarms() const { return FTodayAlarms; }
    std::vector<quillet::AlarmPtr>& TodayAlarms() { return FTodayAlarms; }
    const TSortConditions& SortConditions() const { return FSortConditions; }

    std::vector<TEventDay> QueryDays(quillet::DateValue vFrom, quillet::DateValue vTo);
    void SetCalendarActive(int index, bool active);
    // Line i is calendar i; returns the selected line, -1 when the list is empty.
    int FillCalendarChoice(std::vector<std::string>& lines, const std::string& preferred) const;
    quillet::EventPtr NewEvent(const quillet::iCalendarPtr& cal);
    void DeleteEvent(const quillet::iCalendarPtr& cal, const quillet::EventPtr& ev);
    void SaveCalendar(const quillet::iCalendarPtr& cal);
    void IgnoreNextChange() { FFileMonitor.SkipNext = true; }
    void FileChanged(const std::string& path);
    TFileMonitor& FileMonitor() { return FFileMonitor; }

    quillet::DateValue Now() const { return FNow(); }
    std::function<void(TQuilletManager&)> OnChange;

private:
    TXMLCalListType List() const;
    // A single event's start and end on its own clock, kept until its times or the lists change.
    struct TBounds {
        bool Known = false, AllDay = false;
        quillet::Secs RawStart = 0, RawEnd = 0, Start = 0, End = 0;
    };
    const TBounds& Bounds(quillet::Event& ev);
    std::unordered_map<const quillet::Event*, TBounds> FBounds;
    std::string SortFile() const;

    TClock FNow;
    IMessageBox* FMessageBox = nullptr;
    TXMLCalListType* FList = nullptr;
    std::function<void()> FSaveList;
    std::string FSortFile;
    std::vector<quillet::iCalendarPtr> FCalendars;
    std::vector<bool> FPlaceholder;
    std::vector<quillet::EventPtr> FEvents;
    std::vector<quillet::TodoPtr> FTodos;
    std::vector<quillet::AlarmPtr> FTodayAlarms;
    TFileMonitor FFileMonitor;
    TSortConditions FSortConditions;
    bool FSortLoaded = false;
};

std::string EventLabel(quillet::Event& event);
std::string EventLabels(const std::vector<quillet::EventPtr>& events);
std::string DayCaption(quillet::DateValue date, bool relative, quillet::DateValue today);
// 0 finished, 1 due later, 3 due today or no due date, 4 overdue.
int TodoState(quillet::Todo& todo, quillet::DateValue today);
// True when one of the alarm's times lies in the minute of `now`, on that date: OccurTimes already
// hold the alarm's own instants, the trigger applied.
bool AlarmDue(quillet::Alarm& alarm, quillet::DateValue now);
TSortConditions LoadSortConditions(const std::string& iniPath);
void SaveSortConditions(const std::string& iniPath, const TSortConditions& conditions);
void SortTodos(std::vector<quillet::TodoPtr>& list, const TSortConditions& conditions);
void AddWeekdays(const std::vector<std::string>& days, quillet::DaySpecifierCollection& specs);
bool SameWeekdays(const std::vector<std::string>& days, const quillet::DaySpecifierCollection& specs);

extern const std::array<const char*, 7> DayNamesList;     // "Sunday" first
extern const std::array<const char*, 12> MonthNamesList;  // "January" first

}  // namespace orvelle
