#pragma once
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "quillet/Alarm.h"
#include "quillet/CalendarLink.h"
#include "quillet/Collections.h"
#include "quillet/Date_Time.h"
#include "quillet/Duration.h"
#include "quillet/GEO.h"
#include "quillet/Period.h"

namespace quillet {

struct PropertyEntry;

// What events and to-dos have in common: their shared properties, alarms, X-properties, the link
// to their calendar, and the reading and writing of those properties.
class Component : public std::enable_shared_from_this<Component> {
public:
    virtual ~Component() = default;

    const std::string& Class() const { return class_; }
    void SetClass(std::string v) { class_ = std::move(v); }
    const Date_TimePtr& Created() const { return Lazy(created_); }
    void SetCreated(Date_TimePtr v) { created_ = std::move(v); }
    const std::shared_ptr<Text>& Description() const { return description_; }
    void SetDescription(std::shared_ptr<Text> v) { description_ = std::move(v); }
    const std::shared_ptr<quillet::GEO>& GEO() const { return Lazy(geo_); }
    void SetGEO(std::shared_ptr<quillet::GEO> v) { geo_ = std::move(v); }
    const Date_TimePtr& Last_Modified() const { return Lazy(lastModified_); }
    void SetLast_Modified(Date_TimePtr v) { lastModified_ = std::move(v); }
    const std::shared_ptr<Text>& Location() const { return location_; }
    void SetLocation(std::shared_ptr<Text> v) { location_ = std::move(v); }
    const std::shared_ptr<Cal_Address>& Organizer() const { return Lazy(organizer_); }
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
    const std::shared_ptr<Text>& UID() const { return uid_; }
    void SetUID(std::shared_ptr<Text> v) { uid_ = std::move(v); }
    const std::shared_ptr<quillet::URI>& URL() const { return Lazy(url_); }
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
    AlarmCollection& Alarms() { return alarms_; }
    const AlarmCollection& Alarms() const { return alarms_; }

    int NativeIndex() const { return nativeIndex_; }
    void SetNativeIndex(int v) { nativeIndex_ = v; }

    const Date_TimePtr& DTStart() const { return dtstart_; }

    std::shared_ptr<iCalendar> Quillet() const { return ResolveLink(link_); }
    virtual void SetQuillet(const CalendarLink& link);

    AlarmPtr CreateAlarm();

    std::string GetXPropValue(std::string_view vAttrName) const;
    void SetXPropValue(const std::string& vAttrName, const std::string& vAttrValue);
    // Removes every entry of that name.
    void RemoveXPropValue(std::string_view vAttrName);

protected:
    enum class Prop {
        Class, Created, LastModified, DTStamp, RecurrenceId, DTStart, DTEnd, Due, Completed, Percent,
        Description, Location, Summary, Transp, UID, Geo, Organizer, Url, Priority, Sequence, Status,
        Duration, Attach, Attendee, Categories, Comment, Contact, RequestStatus, RelatedTo, Resources,
        ExDate, RDate, ExRule, RRule, Alarm, TimeZone, Other
    };

    Component();
    void ResetCommon();
    // Reads the component's inner lines; failures become 777 with `errorText`.
    void ParseComponent(std::string_view data, const char* errorText);
    // Properties only one kind of component has; false sends the entry to XProp.
    virtual bool ReadOwn(Prop prop, const PropertyEntry& e, const std::string& raw) = 0;
    virtual std::string_view StatusList() const = 0;
    virtual const char* LogName() const = 0;

    // Writers for the fixed line order; the kinds add their own lines in between.
    void WriteHead(std::vector<std::string>& lines);        // CLASS … SEQUENCE
    void WriteStatus(std::vector<std::string>& lines);      // STATUS
    void WriteSummary(std::vector<std::string>& lines);     // SUMMARY
    void WriteStart(std::vector<std::string>& lines);       // UID, URL, RECURRENCE-ID, DTSTART
    void WriteTail(std::vector<std::string>& lines);        // ATTACH … XProp, alarms
    std::string ParamsOf(std::string_view name) const;
    void StampCreated();
    // The end (DTEND or DUE) as stored, or derived from the start and duration and then stored.
    const Date_TimePtr& DerivedEnd(Date_TimePtr& end);
    // Setting either end point keeps the stored duration in step with the other.
    void SetStartValue(DateValue v, const Date_TimePtr& end);
    void SetEndValue(DateValue v, Date_TimePtr& end);

    // Properties most components lack are made when first asked for, not for every component read:
    // a calendar holds thousands. The writers skip the ones never made.
    template <typename T>
    static const std::shared_ptr<T>& Lazy(std::shared_ptr<T>& p) {
        if (!p) p = std::make_shared<T>();
        return p;
    }

    std::string class_;
    mutable Date_TimePtr created_, lastModified_;
    Date_TimePtr dtstamp_, recurId_, dtstart_;
    std::shared_ptr<Text> description_, location_, summary_, uid_;
    mutable std::shared_ptr<quillet::GEO> geo_;
    mutable std::shared_ptr<Cal_Address> organizer_;
    mutable std::shared_ptr<quillet::URI> url_;
    std::shared_ptr<quillet::Duration> duration_;
    int priority_ = 0, sequence_ = 0, status_ = 0;
    URICollection attach_;
    Cal_AddressCollection attendee_;
    TextCollection categories_, comment_, contact_, rstatus_, relatedTo_, resources_;
    Date_TimeCollection exdate_, rdate_;
    RecurCollection exrule_, rrule_;
    XPropList xprop_;
    PeriodCollection periods_;
    AlarmCollection alarms_;
    // Parameters of the properties held as plain numbers or words (CLASS, PRIORITY …).
    std::map<std::string, std::string, std::less<>> scalarParams_;
    int nativeIndex_ = 0;
    CalendarLink link_;

private:
    bool ReadCommon(Prop prop, PropertyEntry& e, const std::string& raw);
};

}  // namespace quillet
