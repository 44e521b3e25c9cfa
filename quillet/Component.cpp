#include "quillet/Component.h"

#include <unordered_map>

#include "quillet/ContentLines.h"
#include "quillet/HostZone.h"
#include "quillet/LibraryError.h"
#include "quillet/PropertyText.h"
#include "quillet/XProps.h"

namespace quillet {

namespace {

template <typename P>
const std::unordered_map<std::string_view, P>& PropTable() {
    static const std::unordered_map<std::string_view, P> table = {
        {"CLASS", P::Class}, {"CREATED", P::Created}, {"LAST-MODIFIED", P::LastModified},
        {"DTSTAMP", P::DTStamp}, {"RECURRENCE-ID", P::RecurrenceId}, {"DTSTART", P::DTStart},
        {"DTEND", P::DTEnd}, {"DUE", P::Due}, {"COMPLETED", P::Completed},
        {"PERCENT-COMPLETE", P::Percent}, {"DESCRIPTION", P::Description}, {"LOCATION", P::Location},
        {"SUMMARY", P::Summary}, {"TRANSP", P::Transp}, {"UID", P::UID}, {"GEO", P::Geo},
        {"ORGANIZER", P::Organizer}, {"URL", P::Url}, {"PRIORITY", P::Priority},
        {"SEQUENCE", P::Sequence}, {"STATUS", P::Status}, {"DURATION", P::Duration},
        {"ATTACH", P::Attach}, {"ATTENDEE", P::Attendee}, {"CATEGORIES", P::Categories},
        {"COMMENT", P::Comment}, {"CONTACT", P::Contact}, {"REQUEST-STATUS", P::RequestStatus},
        {"RELATED-TO", P::RelatedTo}, {"RESOURCES", P::Resources}, {"EXDATE", P::ExDate},
        {"RDATE", P::RDate}, {"EXRULE", P::ExRule}, {"RRULE", P::RRule},
    };
    return table;
}

}  // namespace

Component::Component() {
    dtstamp_ = std::make_shared<Date_Time>();
    recurId_ = std::make_shared<Date_Time>();
    dtstart_ = std::make_shared<Date_Time>();
    description_ = std::make_shared<Text>();
    location_ = std::make_shared<Text>();
    summary_ = std::make_shared<Text>();
    uid_ = std::make_shared<Text>();
    duration_ = std::make_shared<quillet::Duration>();
}

void Component::ResetCommon() {
    class_.clear();
    created_.reset();
    lastModified_.reset();
    geo_.reset();
    organizer_.reset();
    url_.reset();
    description_ = std::make_shared<Text>();
    location_ = std::make_shared<Text>();
    uid_ = std::make_shared<Text>();
    dtstamp_ = std::make_shared<Date_Time>();
    priority_ = 0;
    dtstart_ = std::make_shared<Date_Time>();
    dtstart_->SetQuillet(link_);
    duration_ = std::make_shared<quillet::Duration>();
    duration_->Reset();
    attach_.Clear();
    categories_.Clear();
    comment_.Clear();
    contact_.Clear();
    exdate_.Clear();
    exrule_.Clear();
    rstatus_.Clear();
    relatedTo_.Clear();
    resources_.Clear();
    rdate_.Clear();
    rrule_.Clear();
    periods_.ClearPeriods();
    alarms_.Clear();
    xprop_ = XPropList();
    scalarParams_.clear();
}

void Component::SetQuillet(const CalendarLink& link) {
    if (!link) return;
    link_ = link;
    dtstart_->SetQuillet(link);
}

AlarmPtr Component::CreateAlarm() {
    auto a = std::make_shared<Alarm>();
    a->SetOwner(weak_from_this().lock());
    alarms_.Add(a);
    return a;
}

std::string Component::GetXPropValue(std::string_view vAttrName) const {
    return quillet::GetXPropValue(xprop_, vAttrName);
}

void Component::SetXPropValue(const std::string& vAttrName, const std::string& vAttrValue) {
    quillet::SetXPropValue(xprop_, vAttrName, vAttrValue, LogName());
}

void Component::RemoveXPropValue(std::string_view vAttrName) {
    auto& items = xprop_.Items();
    for (size_t i = items.size(); i-- > 0;)
        if (!items[i]->IsComponent && items[i]->Name == vAttrName) items.erase(items.begin() + i);
}

std::string Component::ParamsOf(std::string_view name) const {
    auto it = scalarParams_.find(name);
    return it == scalarParams_.end() ? std::string() : it->second;
}

void Component::StampCreated() {
    if (Created()->IsSet()) return;
    created_->SetValue(NowUTC());
    created_->SetIsUTCTime(true);
}

const Date_TimePtr& Component::DerivedEnd(Date_TimePtr& end) {
    if (!end->IsSet() && dtstart_->IsSet()) {
        auto derived = dtstart_->Add(*duration_, true);
        derived->SetQuillet(link_);
        end = derived;
    }
    return end;
}

void Component::SetStartValue(DateValue v, const Date_TimePtr& end) {
    dtstart_->Setlocaltime(v);
    if (end->IsSet()) duration_->SetFromSeconds(end->ValueSeconds() - dtstart_->ValueSeconds());
}

void Component::SetEndValue(DateValue v, Date_TimePtr& end) {
    DerivedEnd(end)->Setlocaltime(v);
    if (dtstart_->IsSet()) duration_->SetFromSeconds(end->ValueSeconds() - dtstart_->ValueSeconds());
}

void Component::ParseComponent(std::string_view data, const char* errorText) {
    const auto& table = PropTable<Prop>();
    try {
        for (PropertyEntry& e : ParseContentLines(data)) {
            Prop prop = Prop::Other;
            if (e.IsComponent) {
                if (e.Name == "VALARM") prop = Prop::Alarm;
                else if (e.Name == "VTIMEZONE") prop = Prop::TimeZone;
            } else if (auto it = table.find(e.Name); it != table.end()) {
                prop = it->second;
            }
            // Numbers, words and rules are read without the blanks a writer may leave at the end.
            std::string raw = e.IsComponent ? std::string() : RawOf(e);
            while (!raw.empty() && raw.back() == ' ') raw.pop_back();
            if (!e.Params.empty()) {
                switch (prop) {
                    case Prop::Class: case Prop::Geo: case Prop::Priority: case Prop::Sequence:
                    case Prop::Status: case Prop::Duration: case Prop::ExRule: case Prop::RRule:
                    case Prop::Percent:
                        scalarParams_[e.Name] = e.Params;
                        break;
                    default: break;
                }
            }
            if (prop == Prop::Other || (!ReadCommon(prop, e, raw) && !ReadOwn(prop, e, raw)))
                xprop_.Add(std::make_shared<PropertyEntry>(std::move(e)));
        }
    } catch (const std::exception&) {
        throw LibraryError(kErrFormat, LogName(), errorText);
    }
}

bool Component::ReadCommon(Prop prop, PropertyEntry& e, const std::string& raw) {
    switch (prop) {
        case Prop::Class: class_ = raw; return true;
        case Prop::Created: ReadDate(*Created(), e); return true;
        case Prop::LastModified: ReadDate(*Last_Modified(), e); return true;
        case Prop::DTStamp: ReadDate(*dtstamp_, e); return true;
        case Prop::RecurrenceId: ReadDate(*recurId_, e); return true;
        case Prop::DTStart: ReadDate(*dtstart_, e); return true;
        case Prop::Description: description_ = ReadText(e); return true;
        case Prop::Location: location_ = ReadText(e); return true;
        case Prop::Summary: summary_ = ReadText(e); return true;
        case Prop::UID: uid_ = ReadText(e); return true;
        case Prop::Geo: GEO()->TryParse(raw); return true;
        case Prop::Organizer:
            Organizer()->SetValue(raw);
            organizer_->SetParams(e.Params);
            return true;
        case Prop::Url:
            URL()->SetValue(raw);
            url_->SetParams(e.Params);
            return true;
        case Prop::Priority: priority_ = ParseInteger(raw); return true;
        case Prop::Sequence: sequence_ = ParseInteger(raw); return true;
        // Status keywords are case-insensitive.
        case Prop::Status: status_ = IndexInList(StatusList(), ToUpper(raw)); return true;
        case Prop::Duration: duration_->TryParse(raw); return true;
        case Prop::Attach: {
            auto u = std::make_shared<quillet::URI>(raw);
            u->SetParams(e.Params);
            attach_.Add(u);
            return true;
        }
        case Prop::Attendee: attendee_.Add(raw)->SetParams(e.Params); return true;
        case Prop::Categories: ReadTextList(categories_, e); return true;
        case Prop::Comment: comment_.Add(ReadText(e)); return true;
        case Prop::Contact: contact_.Add(ReadText(e)); return true;
        case Prop::RequestStatus: rstatus_.Add(ReadText(e)); return true;
        case Prop::RelatedTo: relatedTo_.Add(ReadText(e)); return true;
        case Prop::Resources: ReadTextList(resources_, e); return true;
        case Prop::ExDate: ReadDateList(exdate_, e); return true;
        case Prop::RDate: ReadDateList(rdate_, e); return true;
        case Prop::ExRule: {
            auto r = std::make_shared<Recur>();
            r->TryParse(raw);
            r->SetParams(e.Params);
            exrule_.Add(r);
            return true;
        }
        case Prop::Alarm: {
            auto a = std::make_shared<Alarm>();
            a->TryParse(e.Value);
            a->SetOwner(weak_from_this().lock());
            alarms_.Add(a);
            return true;
        }
        default: return false;
    }
}

void Component::WriteHead(std::vector<std::string>& lines) {
    WriteRaw(lines, "CLASS", ParamsOf("CLASS"), class_);
    if (created_) WriteDate(lines, "CREATED", *created_);
    WriteText(lines, "DESCRIPTION", *description_);
    if (geo_ && geo_->Latitude() != quillet::GEO::kNotSet) WriteRaw(lines, "GEO", ParamsOf("GEO"), geo_->ToString());
    if (lastModified_) WriteDate(lines, "LAST-MODIFIED", *lastModified_);
    WriteText(lines, "LOCATION", *location_);
    if (organizer_) WriteRaw(lines, "ORGANIZER", organizer_->Params(), organizer_->Value());
    if (priority_ != 0) WriteRaw(lines, "PRIORITY", ParamsOf("PRIORITY"), std::to_string(priority_));
    WriteDate(lines, "DTSTAMP", *dtstamp_);
    if (sequence_ != 0) WriteRaw(lines, "SEQUENCE", ParamsOf("SEQUENCE"), std::to_string(sequence_));
}

void Component::WriteStatus(std::vector<std::string>& lines) {
    if (status_ == -1) return;
    std::string keyword = ItemInList(StatusList(), status_);
    if (status_ < -1 || keyword.empty()) ThrowSubscript(LogName());
    WriteRaw(lines, "STATUS", ParamsOf("STATUS"), keyword);
}

void Component::WriteSummary(std::vector<std::string>& lines) { WriteText(lines, "SUMMARY", *summary_); }

void Component::WriteStart(std::vector<std::string>& lines) {
    WriteText(lines, "UID", *uid_);
    if (url_) WriteRaw(lines, "URL", url_->Params(), url_->Value());
    WriteDate(lines, "RECURRENCE-ID", *recurId_);
    WriteDate(lines, "DTSTART", *dtstart_);
}

void Component::WriteTail(std::vector<std::string>& lines) {
    for (const auto& a : attach_) WriteRaw(lines, "ATTACH", a->Params(), a->Value());
    for (const auto& a : attendee_) WriteRaw(lines, "ATTENDEE", a->Params(), a->Value());
    WriteTexts(lines, "CATEGORIES", categories_);
    WriteTexts(lines, "COMMENT", comment_);
    WriteTexts(lines, "CONTACT", contact_);
    WriteDates(lines, "EXDATE", exdate_);
    WriteRules(lines, "EXRULE", exrule_);
    WriteTexts(lines, "REQUEST-STATUS", rstatus_);
    WriteTexts(lines, "RELATED-TO", relatedTo_);
    WriteTexts(lines, "RESOURCES", resources_);
    WriteDates(lines, "RDATE", rdate_);
    WriteRules(lines, "RRULE", rrule_);
    WriteXProps(lines, xprop_);
    for (const auto& a : alarms_) lines.push_back("BEGIN:VALARM\r\n" + a->ToString() + "\r\nEND:VALARM");
}

}  // namespace quillet
