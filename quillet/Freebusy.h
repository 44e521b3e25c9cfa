#pragma once
#include <memory>
#include <string>
#include <string_view>

#include "quillet/CalendarLink.h"
#include "quillet/Collections.h"
#include "quillet/Date_Time.h"
#include "quillet/Duration.h"

namespace quillet {

class Freebusy;
using FreebusyPtr = std::shared_ptr<Freebusy>;

// One VFREEBUSY: read, kept and written back; no query uses it.
class Freebusy {
public:
    Freebusy();
    static FreebusyPtr Create() { return std::make_shared<Freebusy>(); }

    const std::shared_ptr<Cal_Address>& Organizer() const { return organizer_; }
    void SetOrganizer(std::shared_ptr<Cal_Address> v) { organizer_ = std::move(v); }
    const std::shared_ptr<Text>& UID() const { return uid_; }
    void SetUID(std::shared_ptr<Text> v) { uid_ = std::move(v); }
    const std::shared_ptr<quillet::URI>& URL() const { return url_; }
    void SetURL(std::shared_ptr<quillet::URI> v) { url_ = std::move(v); }
    Cal_AddressCollection& Attendee() { return attendee_; }
    TextCollection& Comment() { return comment_; }
    TextCollection& Contact() { return contact_; }
    TextCollection& RStatus() { return rstatus_; }
    // One element per FREEBUSY line, its period list held as text.
    TextCollection& FreeBusies() { return freeBusies_; }
    XPropList& XProp() { return xprop_; }

    const Date_TimePtr& DTStart() const { return dtstart_; }
    const Date_TimePtr& DTEnd();
    const std::shared_ptr<quillet::Duration>& Duration();
    void SetDTStartValue(DateValue vDTStart);
    void SetDTEndValue(DateValue vDTEnd);

    std::shared_ptr<iCalendar> Quillet() const { return ResolveLink(link_); }
    void SetQuillet(const CalendarLink& link) {
        if (link) link_ = link;
    }

    void Reset();
    void TryParse(std::string_view vData);
    std::string ToString();
    FreebusyPtr Clone();
    std::string GetXPropValue(std::string_view vAttrName) const;
    void SetXPropValue(const std::string& vAttrName, const std::string& vAttrValue);

private:
    std::shared_ptr<Cal_Address> organizer_;
    std::shared_ptr<Text> uid_;
    std::shared_ptr<quillet::URI> url_;
    Cal_AddressCollection attendee_;
    TextCollection comment_, contact_, rstatus_, freeBusies_;
    XPropList xprop_;
    Date_TimePtr dtstart_, dtend_;
    std::shared_ptr<quillet::Duration> duration_;
    CalendarLink link_;
};

}  // namespace quillet
