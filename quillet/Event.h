#pragma once
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "quillet/CalendarLink.h"
#include "quillet/Collections.h"
#include "quillet/Date_Time.h"
#include "quillet/Duration.h"
#include "quillet/GEO.h"
#include "quillet/Period.h"

namespace quillet {

enum EnumEventStatus { TENTATIVE = 0, CONFIRMED = 1, CANCELLED = 2 };

class Event;
using EventPtr = std::shared_ptr<Event>;

// One VEVENT.
class Event : public std::enable_shared_from_this<Event> {
public:
    Event();
    static EventPtr Create() { return std::make_shared<Event>(); }

    const std::string& Class() const { return class_; }
    void SetClass(std::string v) { class_ = std::move(v); }
    const Date_TimePtr& Created() const { return created_; }
    void SetCreated(Date_TimePtr v) { created_ = std::move(v); }
    const std::shared_ptr<Text>& Description() const { return description_; }
    void SetDescription(std::shared_ptr<Text> v) { description_ = std::move(v); }
    const std::shared_ptr<quillet::GEO>& GEO() const { return geo_; }
    void SetGEO(std::shared_ptr<quillet::GEO> v) { geo_ = std::move(v); }
    const Date_TimePtr& Last_Modified() const { return lastModified_; }
    void SetLast_Modified(Date_TimePtr v) { lastModified_ = std::move(v); }
    const std::shared_ptr<Text>& Location() const { return location_; }
    void SetLocation(std::shared_ptr<Text> v) { location_ = std::move(v); }
    const std::shared_ptr<Cal_Address>& Organizer() const { return organizer_; }
    void SetOrganizer(std::shared_ptr<Cal_Address> v) { organizer_ = std::move(v); }
    int Priority() const { return priority_; }
    void SetPriority(int v) { priority_ = v; }
    const Date_TimePtr& DTStamp() const { return dtstamp_; }
    void SetDTStamp(Date_TimePtr v) { dtstamp_ = std::move(v); }
    int Sequence() const { return sequence_; }
    void SetSequence(int v) { sequence_ = v; }
    int Status() const { return status_; }
    void SetStatus(int v) { status_ = v; }
    const std::shared_ptr<Text>& Summary() const { return summary_; }
    void SetSummary(std::shared_ptr<Text> v) { summary_ = std::move(v); }
    const std::shared_ptr<Text>& Transp() const { return transp_; }
    void SetTransp(std::shared_ptr<Text> v) { transp_ = std::move(v); }
    const std::shared_ptr<Text>& UID() const { return uid_; }
    void SetUID(std::shared_ptr<Text> v) { uid_ = std::move(v); }
    const std::shared_ptr<quillet::URI>& URL() const { return url_; }
    void SetURL(std::shared_ptr<quillet::URI> v) { url_ = std::move(v); }
    const Date_TimePtr& RecurID() const { return recurId_; }
    void SetRecurID(Date_TimePtr v) { recurId_ = std::move(v); }

    URICollection& Attach() { return attach_; }
    Cal_AddressCollection& Attendee() { return attendee_; }
    TextCollection& Categories() { return categories_; }
    TextCollection& Comment() { return comment_; }
    TextCollection& Contact() { return contact_; }
    Date_TimeCollection& ExDate() { return exdate_; }
    RecurCollection& ExRule() { return exrule_; }
    TextCollection& RStatus() { return rstatus_; }
    TextCollection& Related_To() { return relatedTo_; }
    TextCollection& Resources() { return resources_; }
    Date_TimeCollection& RDate() { return rdate_; }
    RecurCollection& RRule() { return rrule_; }
    XPropList& XProp() { return xprop_; }
    const XPropList& XProp() const { return xprop_; }
    PeriodCollection& Periods() { return periods_; }
    const PeriodCollection& Periods() const { return periods_; }

    int NativeIndex() const { return nativeIndex_; }
    void SetNativeIndex(int v) { nativeIndex_ = v; }

    const Date_TimePtr& DTStart() const { return dtstart_; }
    const Date_TimePtr& DTEnd();
    const std::shared_ptr<quillet::Duration>& Duration();
    bool IsActive() const { return status_ != CANCELLED; }
    bool IsAllDay();

    std::shared_ptr<iCalendar> Quillet() const { return ResolveLink(link_); }
    void SetQuillet(const CalendarLink& link);

    void SetDTStartValue(DateValue vDTStart);
    void SetDTEndValue(DateValue vDTEnd);

    std::string ToString();
    void TryParse(std::string_view vData);

    bool WillOccureInDay(DateValue vDate) const;
    EventPtr Clone();

    std::string GetXPropValue(std::string_view vAttrName) const;
    void SetXPropValue(const std::string& vAttrName, const std::string& vAttrValue);

    // Rebuilds Periods with the occurrences that overlap [from, to) on the event's clock.
    void ComputePeriods(DateValue from, DateValue to);

    void Reset();

private:
    bool AddOccurrence(Secs start, std::shared_ptr<quillet::Duration> length = nullptr);
    static void RemoveOverridden(Event& master, const Event& instance);

    std::string class_;
    Date_TimePtr created_, lastModified_, dtstamp_, recurId_, dtstart_, dtend_;
    std::shared_ptr<Text> description_, location_, summary_, transp_, uid_;
    std::shared_ptr<quillet::GEO> geo_;
    std::shared_ptr<Cal_Address> organizer_;
    std::shared_ptr<quillet::URI> url_;
    std::shared_ptr<quillet::Duration> duration_;
    int priority_ = 0, sequence_ = 0, status_ = TENTATIVE;
    URICollection attach_;
    Cal_AddressCollection attendee_;
    TextCollection categories_, comment_, contact_, rstatus_, relatedTo_, resources_;
    Date_TimeCollection exdate_, rdate_;
    RecurCollection exrule_, rrule_;
    XPropList xprop_;
    PeriodCollection periods_;
    // Parameters of the properties held as plain numbers or words (CLASS, PRIORITY …).
    std::map<std::string, std::string, std::less<>> scalarParams_;
    int nativeIndex_ = 0;
    CalendarLink link_;
};

}  // namespace quillet
