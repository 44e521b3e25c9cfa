#include "quillet/Event.h"

#include <algorithm>
#include <unordered_map>

#include "quillet/ContentLines.h"
#include "quillet/HostZone.h"
#include "quillet/LibraryError.h"
#include "quillet/PropertyText.h"
#include "quillet/XProps.h"
#include "quillet/iCalendar.h"

namespace quillet {

namespace {

constexpr std::string_view kStatusList = "TENTATIVE|CONFIRMED|CANCELLED";

enum class Prop {
    Class, Created, LastModified, DTStamp, RecurrenceId, DTStart, DTEnd, Description, Location,
    Summary, Transp, UID, Geo, Organizer, Url, Priority, Sequence, Status, Duration, Attach, Attendee,
    Categories, Comment, Contact, RequestStatus, RelatedTo, Resources, ExDate, RDate, ExRule, RRule,
    TimeZone
};

const std::unordered_map<std::string_view, Prop>& PropTable() {
    static const std::unordered_map<std::string_view, Prop> table = {
        {"CLASS", Prop::Class}, {"CREATED", Prop::Created}, {"LAST-MODIFIED", Prop::LastModified},
        {"DTSTAMP", Prop::DTStamp}, {"RECURRENCE-ID", Prop::RecurrenceId}, {"DTSTART", Prop::DTStart},
        {"DTEND", Prop::DTEnd}, {"DESCRIPTION", Prop::Description}, {"LOCATION", Prop::Location},
        {"SUMMARY", Prop::Summary}, {"TRANSP", Prop::Transp}, {"UID", Prop::UID}, {"GEO", Prop::Geo},
        {"ORGANIZER", Prop::Organizer}, {"URL", Prop::Url}, {"PRIORITY", Prop::Priority},
        {"SEQUENCE", Prop::Sequence}, {"STATUS", Prop::Status}, {"DURATION", Prop::Duration},
        {"ATTACH", Prop::Attach}, {"ATTENDEE", Prop::Attendee}, {"CATEGORIES", Prop::Categories},
        {"COMMENT", Prop::Comment}, {"CONTACT", Prop::Contact}, {"REQUEST-STATUS", Prop::RequestStatus},
        {"RELATED-TO", Prop::RelatedTo}, {"RESOURCES", Prop::Resources}, {"EXDATE", Prop::ExDate},
        {"RDATE", Prop::RDate}, {"EXRULE", Prop::ExRule}, {"RRULE", Prop::RRule},
        {"VTIMEZONE", Prop::TimeZone},
    };
    return table;
}

}  // namespace

Event::Event() {
    created_ = std::make_shared<Date_Time>();
    lastModified_ = std::make_shared<Date_Time>();
    dtstamp_ = std::make_shared<Date_Time>();
    recurId_ = std::make_shared<Date_Time>();
    dtstart_ = std::make_shared<Date_Time>();
    dtend_ = std::make_shared<Date_Time>();
    description_ = std::make_shared<Text>();
    location_ = std::make_shared<Text>();
    summary_ = std::make_shared<Text>();
    transp_ = std::make_shared<Text>();
    uid_ = std::make_shared<Text>();
    geo_ = std::make_shared<quillet::GEO>();
    organizer_ = std::make_shared<Cal_Address>();
    url_ = std::make_shared<quillet::URI>();
    duration_ = std::make_shared<quillet::Duration>();
    Reset();
    class_ = "Public";
}

void Event::Reset() {
    class_.clear();
    description_ = std::make_shared<Text>();
    location_ = std::make_shared<Text>();
    transp_ = std::make_shared<Text>();
    uid_ = std::make_shared<Text>();
    url_ = std::make_shared<quillet::URI>();
    created_ = std::make_shared<Date_Time>();
    lastModified_ = std::make_shared<Date_Time>();
    dtstamp_ = std::make_shared<Date_Time>();
    geo_->Reset();
    organizer_ = std::make_shared<Cal_Address>();
    priority_ = 0;
    dtstart_ = std::make_shared<Date_Time>();
    dtend_ = std::make_shared<Date_Time>();
    dtstart_->SetQuillet(link_);
    dtend_->SetQuillet(link_);
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
    xprop_ = XPropList();
    scalarParams_.clear();
}

void Event::SetQuillet(const CalendarLink& link) {
    if (!link) return;
    link_ = link;
    dtstart_->SetQuillet(link);
    dtend_->SetQuillet(link);
}

const Date_TimePtr& Event::DTEnd() {
    if (!dtend_->IsSet() && dtstart_->IsSet()) {
        auto end = dtstart_->Add(*duration_, true);
        end->SetQuillet(link_);
        dtend_ = end;
    }
    return dtend_;
}

const std::shared_ptr<quillet::Duration>& Event::Duration() {
    if (duration_->AllSeconds() == 0 && dtend_->IsSet())
        duration_->SetFromSeconds(dtend_->ValueSeconds() - dtstart_->ValueSeconds());
    return duration_;
}

bool Event::IsAllDay() {
    // A date-valued start makes an all-day event; a timed event that happens to run from one UTC
    // midnight to the next is still a timed event.
    return dtstart_->IsDate() && !HasTimeOfDay(DTEnd()->Value());
}

void Event::SetDTStartValue(DateValue vDTStart) {
    dtstart_->Setlocaltime(vDTStart);
    if (dtend_->IsSet()) duration_->SetFromSeconds(dtend_->ValueSeconds() - dtstart_->ValueSeconds());
}

void Event::SetDTEndValue(DateValue vDTEnd) {
    DTEnd()->Setlocaltime(vDTEnd);
    if (dtstart_->IsSet()) duration_->SetFromSeconds(dtend_->ValueSeconds() - dtstart_->ValueSeconds());
}

void Event::TryParse(std::string_view vData) {
    Reset();
    try {
        for (PropertyEntry& e : ParseContentLines(vData)) {
            if (e.IsComponent && e.Name == "VTIMEZONE") continue;
            auto it = e.IsComponent ? PropTable().end() : PropTable().find(e.Name);
            if (it == PropTable().end()) {
                xprop_.Add(std::make_shared<PropertyEntry>(std::move(e)));
                continue;
            }
            if (!e.Params.empty()) {
                switch (it->second) {
                    case Prop::Class: case Prop::Geo: case Prop::Priority: case Prop::Sequence:
                    case Prop::Status: case Prop::Duration: case Prop::ExRule: case Prop::RRule:
                        scalarParams_[e.Name] = e.Params;
                        break;
                    default: break;
                }
            }
            // Numbers, words and rules are read without the blanks a writer may leave at the end.
            std::string raw = RawOf(e);
            while (!raw.empty() && raw.back() == ' ') raw.pop_back();
            switch (it->second) {
                case Prop::Class: class_ = raw; break;
                case Prop::Created: ReadDate(*created_, e); break;
                case Prop::LastModified: ReadDate(*lastModified_, e); break;
                case Prop::DTStamp: ReadDate(*dtstamp_, e); break;
                case Prop::RecurrenceId: ReadDate(*recurId_, e); break;
                case Prop::DTStart: ReadDate(*dtstart_, e); break;
                case Prop::DTEnd: ReadDate(*dtend_, e); break;
                case Prop::Description: description_ = ReadText(e); break;
                case Prop::Location: location_ = ReadText(e); break;
                case Prop::Summary: summary_ = ReadText(e); break;
                case Prop::Transp: transp_ = ReadText(e); break;
                case Prop::UID: uid_ = ReadText(e); break;
                case Prop::Geo: geo_->TryParse(raw); break;
                case Prop::Organizer:
                    organizer_->SetValue(raw);
                    organizer_->SetParams(e.Params);
                    break;
                case Prop::Url:
                    url_->SetValue(raw);
                    url_->SetParams(e.Params);
                    break;
                case Prop::Priority: priority_ = ParseInteger(raw); break;
                case Prop::Sequence: sequence_ = ParseInteger(raw); break;
                case Prop::Status: status_ = IndexInList(kStatusList, raw); break;
                case Prop::Duration: duration_->TryParse(raw); break;
                case Prop::Attach: {
                    auto u = std::make_shared<quillet::URI>(raw);
                    u->SetParams(e.Params);
                    attach_.Add(u);
                    break;
                }
                case Prop::Attendee: attendee_.Add(raw)->SetParams(e.Params); break;
                case Prop::Categories: categories_.Add(ReadText(e)); break;
                case Prop::Comment: comment_.Add(ReadText(e)); break;
                case Prop::Contact: contact_.Add(ReadText(e)); break;
                case Prop::RequestStatus: rstatus_.Add(ReadText(e)); break;
                case Prop::RelatedTo: relatedTo_.Add(ReadText(e)); break;
                case Prop::Resources: resources_.Add(ReadText(e)); break;
                case Prop::ExDate: ReadDateList(exdate_, e); break;
                case Prop::RDate: ReadDateList(rdate_, e); break;
                case Prop::ExRule: {
                    auto r = std::make_shared<Recur>();
                    r->TryParse(raw);
                    exrule_.Add(r);
                    break;
                }
                case Prop::RRule: {
                    auto r = std::make_shared<Recur>();
                    if (r->TryParse(raw)) rrule_.Add(r);
                    break;
                }
                case Prop::TimeZone: break;
            }
        }
    } catch (const LibraryError&) {
        throw LibraryError(kErrFormat, "Event", "Invalid event format");
    } catch (const std::exception&) {
        throw LibraryError(kErrFormat, "Event", "Invalid event format");
    }
}

std::string Event::ToString() {
    if (!created_->IsSet()) {
        created_->SetValue(NowUTC());
        created_->SetIsUTCTime(true);
    }
    auto params = [&](std::string_view name) -> std::string {
        auto it = scalarParams_.find(name);
        return it == scalarParams_.end() ? std::string() : it->second;
    };
    std::vector<std::string> lines;
    lines.reserve(16 + xprop_.Count());
    WriteRaw(lines, "CLASS", params("CLASS"), class_);
    WriteDate(lines, "CREATED", *created_);
    WriteText(lines, "DESCRIPTION", *description_);
    if (geo_->Latitude() != quillet::GEO::kNotSet) WriteRaw(lines, "GEO", params("GEO"), geo_->ToString());
    WriteDate(lines, "LAST-MODIFIED", *lastModified_);
    WriteText(lines, "LOCATION", *location_);
    WriteRaw(lines, "ORGANIZER", organizer_->Params(), organizer_->Value());
    if (priority_ != 0) WriteRaw(lines, "PRIORITY", params("PRIORITY"), std::to_string(priority_));
    WriteDate(lines, "DTSTAMP", *dtstamp_);
    if (sequence_ != 0) WriteRaw(lines, "SEQUENCE", params("SEQUENCE"), std::to_string(sequence_));
    if (status_ != -1) WriteRaw(lines, "STATUS", params("STATUS"), ItemInList(kStatusList, status_));
    WriteText(lines, "SUMMARY", *summary_);
    WriteText(lines, "TRANSP", *transp_);
    WriteText(lines, "UID", *uid_);
    WriteRaw(lines, "URL", url_->Params(), url_->Value());
    WriteDate(lines, "RECURRENCE-ID", *recurId_);
    WriteDate(lines, "DTSTART", *dtstart_);
    WriteDate(lines, "DTEND", *DTEnd());
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
    return JoinLines(lines);
}

EventPtr Event::Clone() {
    auto e = Create();
    e->TryParse(ToString());
    return e;
}

std::string Event::GetXPropValue(std::string_view vAttrName) const {
    return quillet::GetXPropValue(xprop_, vAttrName);
}

void Event::SetXPropValue(const std::string& vAttrName, const std::string& vAttrValue) {
    quillet::SetXPropValue(xprop_, vAttrName, vAttrValue, "Event");
}

bool Event::AddOccurrence(Secs start, std::shared_ptr<quillet::Duration> length) {
    bool allDay = IsAllDay();
    for (const auto& x : exdate_) {
        if (!allDay && x->IsDate()) {
            // A date excludes the occurrence on that date of a timed event.
            if (start - ((start % kSecondsPerDay) + kSecondsPerDay) % kSecondsPerDay == x->ValueSeconds())
                return false;
            continue;
        }
        Secs xs = allDay ? x->ValueSeconds() : x->LocalSeconds();
        if (xs == start) return false;
    }
    return periods_.AddPeriodSeconds(length ? std::move(length) : Duration(), start);
}

void Event::ComputePeriods(DateValue from, DateValue to) {
    periods_.ClearPeriods();
    const bool allDay = IsAllDay();
    const Secs s = allDay ? dtstart_->ValueSeconds() : dtstart_->LocalSeconds();
    const Secs e = allDay ? DTEnd()->ValueSeconds() : DTEnd()->LocalSeconds();
    const Secs f = ToSeconds(from), t = ToSeconds(to);
    auto length = Duration();
    const Secs span = length->Span();

    // Starts that an EXRULE generates; the window is wide enough for the longest RDATE period.
    std::vector<Secs> excluded;
    if (!exrule_.Empty()) {
        Secs widest = std::max(e - s, span);
        for (const auto& d : rdate_)
            if (d->IsPeriod()) widest = std::max(widest, d->PeriodLength());
        for (const auto& rule : exrule_) {
            // A rule without a usable frequency generates nothing to exclude.
            if (rule->Frequency() < SECONDLY || rule->Frequency() > YEARLY) continue;
            rule->ExpandSeconds(s, widest, f, t, false, excluded, allDay);
        }
        std::sort(excluded.begin(), excluded.end());
    }
    auto add = [&](Secs start, std::shared_ptr<quillet::Duration> own = nullptr) {
        if (!std::binary_search(excluded.begin(), excluded.end(), start)) AddOccurrence(start, std::move(own));
    };

    if (rrule_.Empty()) {
        if (s < t && e > f) add(s);
    } else {
        std::vector<Secs> starts;
        for (const auto& rule : rrule_) {
            starts.clear();
            rule->ExpandSeconds(s, e - s, f, t, true, starts, allDay);
            for (Secs occ : starts) add(occ);
        }
    }
    for (const auto& d : rdate_) {
        Secs ds = allDay ? d->ValueSeconds() : d->LocalSeconds();
        std::shared_ptr<quillet::Duration> own;
        Secs dspan = span;
        if (d->IsPeriod()) {
            own = std::make_shared<quillet::Duration>();
            own->Reset();
            own->SetFromSeconds(d->PeriodLength());
            dspan = d->PeriodLength();
        }
        if (ds + dspan > f && ds < t) add(ds, own);
    }
    periods_.SortByStart();
    if (recurId_->IsSet()) {
        auto cal = Quillet();
        if (!cal) throw LibraryError(kErrWeakReference, "WeakReference", "Object variable not set");
        for (const auto& m : cal->Events())
            if (m.get() != this && !m->RecurID()->IsSet() && m->UID()->Value() == uid_->Value())
                RemoveOverridden(*m, *this);
    }
}

void Event::RemoveOverridden(Event& master, const Event& instance) {
    // The instance names the master's occurrence by its original start: compare it on the
    // master's clock (an instant for a timed master, a date for an all-day one or a date id).
    const Date_Time& rid = *instance.recurId_;
    const bool masterAllDay = master.IsAllDay();
    auto dayStart = [](Secs v) { return v - ((v % kSecondsPerDay) + kSecondsPerDay) % kSecondsPerDay; };
    for (int i = 1; i <= master.periods_.Count(); ++i) {
        Secs ps = master.periods_.Item(i)->StartTime()->ValueSeconds();
        bool same = false;
        if (rid.IsDate()) same = masterAllDay ? ps == rid.ValueSeconds() : dayStart(ps) == rid.ValueSeconds();
        else if (masterAllDay) same = ps == dayStart(rid.LocalSeconds());
        else same = ps == rid.LocalSeconds();
        if (same) {
            master.periods_.RemoveAt(i);
            return;
        }
    }
}

bool Event::WillOccureInDay(DateValue vDate) const {
    Secs dayStart = ToSeconds(DateOnly(vDate));
    Secs dayEnd = dayStart + kSecondsPerDay;
    for (const auto& p : periods_) {
        Secs ps = p->StartTime()->ValueSeconds();
        Secs pe = ps + p->GetDuration()->Span();
        if (ps < dayEnd && pe > dayStart) return true;
    }
    return false;
}

}  // namespace quillet
