#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "quillet/CalendarLink.h"
#include "quillet/Collections.h"
#include "quillet/DateValue.h"
#include "quillet/Event.h"
#include "quillet/EventCollection.h"
#include "quillet/Text.h"
#include "quillet/TimeZone.h"
#include "quillet/TodoCollection.h"

namespace quillet {

class iCalendar;
using iCalendarPtr = std::shared_ptr<iCalendar>;

// One VCALENDAR: loads, queries and saves a calendar file.
class iCalendar : public std::enable_shared_from_this<iCalendar> {
public:
    static iCalendarPtr Create();
    ~iCalendar();

    EventCollection& Events();
    TodoCollection& Todos() { return todos_; }
    FreeBusyCollection& FreeBusies() { return freeBusies_; }
    // The calendar's VTIMEZONE definitions. Handing the collection out for change forgets the
    // zones worked out from it, so edits made through it count from the next conversion on.
    TimeZoneCollection& TimeZones() {
        zoneCache_.clear();
        return timeZones_;
    }
    const TimeZoneCollection& TimeZones() const { return timeZones_; }
    XPropList& XProp() { return xprop_; }
    const std::shared_ptr<Text>& CalScale() const { return calScale_; }
    void SetCalScale(std::shared_ptr<Text> v) { calScale_ = std::move(v); }
    const std::shared_ptr<Text>& Method() const { return method_; }
    void SetMethod(std::shared_ptr<Text> v) { method_ = std::move(v); }
    const std::shared_ptr<Text>& ProdID() const { return prodId_; }
    void SetProdID(std::shared_ptr<Text> v) { prodId_ = std::move(v); }
    const std::shared_ptr<Text>& Version() const { return version_; }
    void SetVersion(std::shared_ptr<Text> v) { version_ = std::move(v); }

    const std::string& filename() const { return filename_; }
    void Setfilename(std::string v) { filename_ = std::move(v); }

    // Attributes kept for the application; the library never reads them.
    const std::string& Name() const { return name_; }
    void SetName(std::string v) { name_ = std::move(v); }
    bool IsActive() const { return isActive_; }
    void SetIsActive(bool v) { isActive_ = v; }
    bool IsGoogleCalendar() const { return isGoogle_; }
    void SetIsGoogleCalendar(bool v) { isGoogle_ = v; }
    int NativeIndex() const { return nativeIndex_; }
    void SetNativeIndex(int v) { nativeIndex_ = v; }
    std::int32_t Color() const { return color_; }
    void SetColor(std::int32_t v) { color_ = v; }
    const std::string& CalendarType() const { return calendarType_; }
    void SetCalendarType(std::string v) { calendarType_ = std::move(v); }
    bool IsReadOnly() const { return isReadOnly_; }
    void SetIsReadOnly(bool v) { isReadOnly_ = v; }

    const CalendarLink& SelfLink() const { return selfLink_; }

    void LoadFromFile(const std::string& vFileName);
    void SaveToFile(const std::string& vFileName = std::string());
    void TryParse(std::string_view vData);
    std::string ToString() const;

    std::string GetXPropValue(std::string_view vAttrName) const;
    void SetXPropValue(const std::string& vAttrName, const std::string& vAttrValue);

    EventPtr CreateEvent();
    TodoPtr CreateTodo();
    TimeZonePtr CreateTimeZone();

    // The zone a TZID means in this calendar: its own VTIMEZONE of that name, else the IANA or
    // Windows zone of that name; null for the host zone. Kept per TZID.
    ZoneRulesPtr ZoneFor(const std::string& tzid) const;
    EventCollection QueryEvent(DateValue vFromDate, DateValue vToDate);
    // Alarms of events that fire in [from, to) (host-local); each gets its times in OccurTimes.
    AlarmCollection QueryAlarm(DateValue vFromDate, DateValue vToDate);
    EventPtr GetEventByUID(std::string_view vUID) const;

    void Dispose();

    // Runs both query passes over this calendar's events, appending to `result`.
    void QueryEventInto(EventCollection& result, DateValue vFromDate, DateValue vToDate);

private:
    void ReadEntries(std::vector<PropertyEntry>& entries);
    iCalendar() = default;
    void CheckAlive() const;

    CalendarLink selfLink_;
    std::unique_ptr<EventCollection> events_;
    TodoCollection todos_;
    FreeBusyCollection freeBusies_;
    TimeZoneCollection timeZones_;
    mutable std::unordered_map<std::string, ZoneRulesPtr> zoneCache_;
    XPropList xprop_;
    std::shared_ptr<Text> calScale_ = std::make_shared<Text>();
    std::shared_ptr<Text> method_ = std::make_shared<Text>();
    std::shared_ptr<Text> prodId_ = std::make_shared<Text>();
    std::shared_ptr<Text> version_ = std::make_shared<Text>();
    std::string filename_;
    std::string name_;
    bool isActive_ = false, isGoogle_ = false, isReadOnly_ = false;
    int nativeIndex_ = 0;
    std::int32_t color_ = 0;
    std::string calendarType_;
    bool disposed_ = false;
};

}  // namespace quillet
