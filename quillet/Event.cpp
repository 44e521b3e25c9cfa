#include "quillet/Event.h"

#include "quillet/ContentLines.h"
#include "quillet/HostZone.h"
#include "quillet/LibraryError.h"
#include "quillet/PropertyText.h"
#include "quillet/XProps.h"
#include "quillet/iCalendar.h"

namespace quillet {

Event::Event() {
    dtend_ = std::make_shared<Date_Time>();
    transp_ = std::make_shared<Text>();
    status_ = TENTATIVE;
    Reset();
    class_ = "Public";
}

void Event::Reset() {
    ResetCommon();
    transp_ = std::make_shared<Text>();
    dtend_ = std::make_shared<Date_Time>();
    dtend_->SetQuillet(link_);
}

void Event::SetQuillet(const CalendarLink& link) {
    Component::SetQuillet(link);
    if (link) dtend_->SetQuillet(link);
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
    ParseComponent(vData, "Invalid event format");
}

bool Event::ReadOwn(Prop prop, const PropertyEntry& e, const std::string& raw) {
    switch (prop) {
        case Prop::DTEnd: ReadDate(*dtend_, e); return true;
        case Prop::Transp: transp_ = ReadText(e); return true;
        case Prop::TimeZone: return true;  // a zone belongs to the calendar, not to one event
        case Prop::RRule: {
            auto r = std::make_shared<Recur>();
            if (r->TryParse(raw)) rrule_.Add(r);
            return true;
        }
        default: return false;
    }
}

std::string Event::ToString() {
    StampCreated();
    std::vector<std::string> lines;
    lines.reserve(16 + xprop_.Count());
    WriteHead(lines);
    WriteStatus(lines);
    WriteSummary(lines);
    WriteText(lines, "TRANSP", *transp_);
    WriteStart(lines);
    WriteDate(lines, "DTEND", *DTEnd());
    WriteTail(lines);
    return JoinLines(lines);
}

EventPtr Event::Clone() {
    auto e = Create();
    e->TryParse(ToString());
    return e;
}

bool Event::AddOccurrence(Secs start, std::shared_ptr<quillet::Duration> length) {
    bool allDay = IsAllDay();
    for (const auto& x : exdate_) {
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
    if (rrule_.Empty()) {
        if (s < t && e > f) AddOccurrence(s);
    } else {
        for (const auto& rule : rrule_)
            for (DateValue occ : rule->Expand(FromSeconds(s), FromSeconds(e), from, to))
                AddOccurrence(ToSeconds(occ));
    }
    auto length = Duration();
    for (const auto& d : rdate_) {
        Secs ds = allDay ? d->ValueSeconds() : d->LocalSeconds();
        std::shared_ptr<quillet::Duration> own;
        Secs span = length->Span();
        if (d->IsPeriod()) {
            own = std::make_shared<quillet::Duration>();
            own->Reset();
            own->SetFromSeconds(d->PeriodLength());
            span = d->PeriodLength();
        }
        if (ds + span > f && ds < t) AddOccurrence(ds, own);
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
    Secs key = instance.recurId_->IsDate() ? instance.recurId_->ValueSeconds()
                                           : instance.recurId_->LocalSeconds();
    for (int i = 1; i <= master.periods_.Count(); ++i) {
        if (master.periods_.Item(i)->StartTime()->ValueSeconds() == key) {
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
