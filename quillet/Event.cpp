#include "quillet/Event.h"

#include <algorithm>

#include "quillet/ContentLines.h"
#include "quillet/HostZone.h"
#include "quillet/LibraryError.h"
#include "quillet/PropertyText.h"
#include "quillet/XProps.h"
#include "quillet/ZoneRules.h"
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

const Date_TimePtr& Event::DTEnd() { return DerivedEnd(dtend_); }

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

void Event::SetDTStartValue(DateValue vDTStart) { SetStartValue(vDTStart, dtend_); }

void Event::SetDTEndValue(DateValue vDTEnd) { SetEndValue(vDTEnd, dtend_); }

EventPtr Event::Parse(std::string_view vData) {
    auto ev = Create();
    // A new event is freshly reset except for the class it is given, which a read event lacks.
    ev->class_.clear();
    ev->ParseComponent(vData, "Invalid event format");
    return ev;
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
            // A rule whose frequency is unknown cannot be expanded or written as a rule; it stays
            // with the other unmodelled lines so that a save keeps its text.
            auto r = std::make_shared<Recur>();
            if (!r->TryParse(raw) || r->Frequency() < SECONDLY || r->Frequency() > YEARLY) return false;
            r->SetParams(e.Params);
            rrule_.Add(r);
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
    std::string text = ToString();
    // The copy reads its TZIDs with the zones of this event's calendar.
    std::shared_ptr<iCalendar> cal;
    try {
        cal = Quillet();
    } catch (const std::exception&) {
    }
    ZoneParseScope scope(cal ? cal.get() : ZoneParseScope::Current());
    e->TryParse(text);
    return e;
}

namespace {

// The rule with its UNTIL instant restated on the wall clock of `zone`, the clock it is expanded on.
std::shared_ptr<const Recur> OnZoneClock(const RecurPtr& rule, const ZoneRules& zone) {
    const Date_TimePtr& until = rule->pUntil();
    if (!until->IsSet() || until->IsDate() || until->KeepsWallTime()) return rule;
    auto copy = std::make_shared<Recur>(*rule);
    auto wall = std::make_shared<Date_Time>();
    wall->SetKeepsWallTime(true);
    wall->SetValueSeconds(zone.ToWall(until->ValueSeconds()));
    copy->SetpUntil(wall);
    return copy;
}

}  // namespace

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

    // A timed recurring event in a zone of its own recurs on that zone's wall clock, one that
    // starts in UTC on the UTC clock (its occurrences keep their UTC time when the host changes
    // to or from daylight time); each occurrence is then placed on the host's clock.
    ZoneRulesPtr zone = allDay ? nullptr : dtstart_->Zone();
    if (!zone && !allDay && dtstart_->IsUTCTime() && dtstart_->TZID().empty()) zone = ZoneByName("UTC");
    if (zone && (!rrule_.Empty() || !exrule_.Empty())) {
        const Secs zs = zone->ToWall(dtstart_->ValueSeconds());
        const Secs len = DTEnd()->ValueSeconds() - dtstart_->ValueSeconds();
        // Zone and host clocks differ by less than two days.
        const Secs zf = f - 2 * kSecondsPerDay, zt = t + 2 * kSecondsPerDay;
        auto onHost = [&](const RecurPtr& rule, bool startIsOccurrence, Secs length, std::vector<Secs>& out) {
            std::vector<Secs> walls;
            OnZoneClock(rule, *zone)->ExpandSeconds(zs, length, zf, zt, startIsOccurrence, walls);
            for (Secs w : walls) out.push_back(UTCToLocalSeconds(zone->ToUTC(w)));
        };
        excluded.clear();
        for (const auto& rule : exrule_) {
            if (rule->Frequency() < SECONDLY || rule->Frequency() > YEARLY) continue;
            onHost(rule, false, std::max(len, span), excluded);
        }
        std::sort(excluded.begin(), excluded.end());
        std::vector<Secs> starts;
        if (rrule_.Empty()) starts.push_back(s);
        for (const auto& rule : rrule_) onHost(rule, true, len, starts);
        for (Secs occ : starts)
            if (occ < t && occ + len > f) add(occ);
    } else if (rrule_.Empty()) {
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
