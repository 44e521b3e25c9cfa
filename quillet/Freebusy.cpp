#include "quillet/Freebusy.h"

#include "quillet/ContentLines.h"
#include "quillet/LibraryError.h"
#include "quillet/PropertyText.h"
#include "quillet/XProps.h"

namespace quillet {

Freebusy::Freebusy() { Reset(); }

void Freebusy::Reset() {
    organizer_ = std::make_shared<Cal_Address>();
    uid_ = std::make_shared<Text>();
    url_ = std::make_shared<quillet::URI>();
    dtstart_ = std::make_shared<Date_Time>();
    dtend_ = std::make_shared<Date_Time>();
    duration_ = std::make_shared<quillet::Duration>();
    duration_->Reset();
    comment_.Clear();
    contact_.Clear();
    rstatus_.Clear();
    freeBusies_.Clear();
    xprop_ = XPropList();
}

const Date_TimePtr& Freebusy::DTEnd() {
    if (!dtend_->IsSet() && dtstart_->IsSet()) dtend_ = dtstart_->Add(*duration_, true);
    return dtend_;
}

const std::shared_ptr<quillet::Duration>& Freebusy::Duration() {
    if (duration_->AllSeconds() == 0 && dtend_->IsSet())
        duration_->SetFromSeconds(dtend_->ValueSeconds() - dtstart_->ValueSeconds());
    return duration_;
}

void Freebusy::SetDTStartValue(DateValue vDTStart) {
    dtstart_->Setlocaltime(vDTStart);
    if (dtend_->IsSet()) duration_->SetFromSeconds(dtend_->ValueSeconds() - dtstart_->ValueSeconds());
}

void Freebusy::SetDTEndValue(DateValue vDTEnd) {
    DTEnd()->Setlocaltime(vDTEnd);
    if (dtstart_->IsSet()) duration_->SetFromSeconds(dtend_->ValueSeconds() - dtstart_->ValueSeconds());
}

void Freebusy::TryParse(std::string_view vData) {
    Reset();
    try {
        for (PropertyEntry& e : ParseContentLines(vData)) {
            const std::string& raw = e.IsComponent ? e.Value : RawOf(e);
            const std::string& n = e.IsComponent ? std::string() : e.Name;
            if (n == "ORGANIZER") {
                organizer_->SetValue(raw);
                organizer_->SetParams(e.Params);
            } else if (n == "UID") {
                uid_ = ReadText(e);
            } else if (n == "URL") {
                url_->SetValue(raw);
                url_->SetParams(e.Params);
            } else if (n == "DTSTART") {
                ReadDate(*dtstart_, e);
            } else if (n == "DTEND") {
                ReadDate(*dtend_, e);
            } else if (n == "DURATION") {
                duration_->TryParse(raw);
            } else if (n == "ATTENDEE") {
                attendee_.Add(raw)->SetParams(e.Params);
            } else if (n == "COMMENT") {
                comment_.Add(ReadText(e));
            } else if (n == "CONTACT") {
                contact_.Add(ReadText(e));
            } else if (n == "REQUEST-STATUS") {
                rstatus_.Add(ReadText(e));
            } else if (n == "FREEBUSY") {
                freeBusies_.Add(ReadText(e));
            } else {
                xprop_.Add(std::make_shared<PropertyEntry>(std::move(e)));
            }
        }
    } catch (const std::exception&) {
        throw LibraryError(kErrFormat, "FreeBusy", "Invalid FreeBusy format");
    }
}

std::string Freebusy::ToString() {
    std::vector<std::string> lines;
    WriteRaw(lines, "ORGANIZER", organizer_->Params(), organizer_->Value());
    WriteText(lines, "UID", *uid_);
    WriteRaw(lines, "URL", url_->Params(), url_->Value());
    WriteDate(lines, "DTSTART", *dtstart_);
    WriteDate(lines, "DTEND", *DTEnd());
    for (const auto& a : attendee_) WriteRaw(lines, "ATTENDEE", a->Params(), a->Value());
    WriteTexts(lines, "COMMENT", comment_);
    WriteTexts(lines, "CONTACT", contact_);
    WriteTexts(lines, "REQUEST-STATUS", rstatus_);
    // A period list is not text: its commas separate values and are written as they are.
    for (const auto& f : freeBusies_) WriteRaw(lines, "FREEBUSY", f->Params(), f->Value());
    WriteXProps(lines, xprop_);
    return JoinLines(lines);
}

FreebusyPtr Freebusy::Clone() {
    auto f = Create();
    f->TryParse(ToString());
    return f;
}

std::string Freebusy::GetXPropValue(std::string_view vAttrName) const {
    return quillet::GetXPropValue(xprop_, vAttrName);
}

void Freebusy::SetXPropValue(const std::string& vAttrName, const std::string& vAttrValue) {
    quillet::SetXPropValue(xprop_, vAttrName, vAttrValue, "FreeBusy");
}

}  // namespace quillet
