#include "quillet/iCalendar.h"

#include <set>

#include "quillet/ContentLines.h"
#include "quillet/FileIO.h"
#include "quillet/HostZone.h"
#include "quillet/LibraryError.h"
#include "quillet/PropertyText.h"
#include "quillet/TextCodec.h"
#include "quillet/XProps.h"

namespace quillet {

iCalendarPtr iCalendar::Create() {
    iCalendarPtr cal(new iCalendar());
    cal->selfLink_ = std::make_shared<WeakReference<iCalendar>>();
    cal->selfLink_->Initialize(cal);
    cal->events_ = std::make_unique<EventCollection>(cal->selfLink_);
    cal->todos_.SetQuillet(cal->selfLink_);
    return cal;
}

iCalendar::~iCalendar() {
    if (selfLink_) selfLink_->Destroy();
}

void iCalendar::CheckAlive() const {
    if (disposed_) throw LibraryError(91, "iCalendar", "Object variable or With block variable not set");
}

EventCollection& iCalendar::Events() {
    CheckAlive();
    return *events_;
}

void iCalendar::LoadFromFile(const std::string& vFileName) {
    CheckAlive();
    events_->Clear();
    todos_.Clear();
    // A reload must not pile up the free/busy components of the earlier reading.
    freeBusies_.Clear();
    std::string text = DecodeUtf8(ReadWholeFile(vFileName));
    std::vector<PropertyEntry> entries = ParseContentLines(text);
    // The lines now hold their own copies: the file's text is let go before the objects are built.
    std::string().swap(text);
    ReadEntries(entries);
    filename_ = vFileName;
}

void iCalendar::TryParse(std::string_view vData) {
    CheckAlive();
    std::vector<PropertyEntry> entries = ParseContentLines(vData);
    ReadEntries(entries);
}

void iCalendar::ReadEntries(std::vector<PropertyEntry>& entries) {
    events_->Clear();
    timeZones_.Clear();
    zoneCache_.clear();
    xprop_ = XPropList();
    events_->Reserve(entries.size());
    try {
        // Zones first: a date-time anywhere in the file is read with the zone its TZID names.
        for (PropertyEntry& e : entries) {
            if (!e.IsComponent || e.Name != "VTIMEZONE") continue;
            auto zone = std::make_shared<TimeZone>();
            timeZones_.Add(zone);
            zone->TryParse(e.Value);
        }
        ZoneParseScope scope(this);
        for (PropertyEntry& e : entries) {
            const std::string& name = e.Name;
            if (e.IsComponent && name == "VTIMEZONE") continue;
            // The header's parameters are kept with their values, so a save writes them back.
            auto head = [&](Text& t) {
                t.TryParse(RawOf(e));
                t.SetParams(e.Params);
            };
            if (!e.IsComponent && name == "VERSION") head(*version_);
            else if (!e.IsComponent && name == "CALSCALE") head(*calScale_);
            else if (!e.IsComponent && name == "METHOD") head(*method_);
            else if (!e.IsComponent && name == "PRODID") head(*prodId_);
            else if (e.IsComponent && name == "VEVENT") {
                auto ev = Event::Parse(e.Value);
                // Each component's text is given back once read, so that the text and the objects
                // built from it are not all held at the same time.
                std::string().swap(e.Value);
                ev->SetQuillet(selfLink_);
                events_->AddRaw(std::move(ev));
            } else if (e.IsComponent && name == "VTODO") {
                auto todo = Todo::Create();
                todo->TryParse(e.Value);
                todos_.Add(std::move(todo));
            } else if (e.IsComponent && name == "VFREEBUSY") {
                auto fb = Freebusy::Create();
                fb->TryParse(e.Value);
                fb->SetQuillet(selfLink_);
                freeBusies_.Add(std::move(fb));
            } else {
                xprop_.Add(std::make_shared<PropertyEntry>(std::move(e)));
            }
        }
    } catch (const std::exception&) {
        throw LibraryError(kErrFormat, "iCalendar", "Invalid iCalendar Format");
    }
}

std::string iCalendar::ToString() const {
    CheckAlive();
    std::vector<std::string> blocks;
    blocks.reserve(4 + xprop_.Count() + events_->Count());
    auto head = [&](const char* name, const Text& t) {
        if (!t.Value().empty()) blocks.push_back(std::string(name) + t.Params() + ":" + t.ToString());
    };
    head("VERSION", *version_);
    head("CALSCALE", *calScale_);
    head("METHOD", *method_);
    head("PRODID", *prodId_);
    WriteXProps(blocks, xprop_);
    for (const auto& z : timeZones_) blocks.push_back("BEGIN:VTIMEZONE\r\n" + z->ToString() + "\r\nEND:VTIMEZONE");
    for (const auto& ev : *events_) blocks.push_back("BEGIN:VEVENT\r\n" + ev->ToString() + "\r\nEND:VEVENT");
    for (const auto& t : todos_) blocks.push_back("BEGIN:VTODO\r\n" + t->ToString() + "\r\nEND:VTODO");
    for (const auto& f : freeBusies_)
        blocks.push_back("BEGIN:VFREEBUSY\r\n" + f->ToString() + "\r\nEND:VFREEBUSY");
    return "BEGIN:VCALENDAR\r\n" + JoinLines(blocks) + "\r\nEND:VCALENDAR";
}

void iCalendar::SaveToFile(const std::string& vFileName) {
    const std::string& target = vFileName.empty() ? filename_ : vFileName;
    std::string text = ToString();
    std::string out;
    out.reserve(text.size() + text.size() / 32 + 16);
    std::string_view rest = text;
    while (true) {
        size_t cut = rest.find(kCRLF);
        AppendFolded(out, rest.substr(0, cut));
        if (cut == std::string_view::npos) break;
        rest.remove_prefix(cut + 2);
    }
    WriteFileAtomic(target, out);
    filename_ = target;
}

std::string iCalendar::GetXPropValue(std::string_view vAttrName) const {
    return quillet::GetXPropValue(xprop_, vAttrName);
}

void iCalendar::SetXPropValue(const std::string& vAttrName, const std::string& vAttrValue) {
    quillet::SetXPropValue(xprop_, vAttrName, vAttrValue, "iCalendar");
}

EventPtr iCalendar::CreateEvent() {
    auto ev = Event::Create();
    Events().Add(ev);
    return ev;
}

TimeZonePtr iCalendar::CreateTimeZone() {
    CheckAlive();
    auto z = std::make_shared<TimeZone>();
    TimeZones().Add(z);
    return z;
}

ZoneRulesPtr iCalendar::ZoneFor(const std::string& tzid) const {
    auto it = zoneCache_.find(tzid);
    if (it != zoneCache_.end()) return it->second;
    ZoneRulesPtr z;
    for (const auto& tz : timeZones_) {
        if (tz->TZID() != tzid) continue;
        z = ZoneFromDefinition(*tz);
        break;
    }
    if (!z) z = ZoneByName(tzid);
    zoneCache_.emplace(tzid, z);
    return z;
}

TodoPtr iCalendar::CreateTodo() {
    CheckAlive();
    auto t = Todo::Create();
    todos_.Add(t);
    return t;
}

AlarmCollection iCalendar::QueryAlarm(DateValue vFromDate, DateValue vToDate) {
    CheckAlive();
    AlarmCollection result;
    const Secs from = ToSeconds(vFromDate), to = ToSeconds(vToDate);
    // Occurrences replaced by an instance of their own ring with the instance's alarms only.
    std::set<std::pair<std::string, Secs>> overridden;
    for (const auto& ev : *events_)
        if (ev->RecurID()->IsSet())
            overridden.emplace(ev->UID()->Value(), ev->RecurID()->IsDate() ? ev->RecurID()->ValueSeconds()
                                                                           : ev->RecurID()->LocalSeconds());
    for (const auto& ev : *events_) {
        if (ev->Alarms().Empty()) continue;
        const bool master = !ev->RecurID()->IsSet() && !overridden.empty();
        const Secs length = ev->Duration()->Span();
        for (const auto& alarm : ev->Alarms()) {
            bool found = false;
            auto add = [&](Secs instantUtc) {
                Secs local = UTCToLocalSeconds(instantUtc);
                if (local < from || local >= to) return;
                auto t = std::make_shared<Date_Time>();
                t->SetValueSeconds(instantUtc);
                t->SetIsUTCTime(true);
                alarm->AddOccurTime(std::move(t));
                found = true;
            };
            if (alarm->HasAbsoluteTrigger()) {
                add(alarm->TriggerTime()->ValueSeconds());
            } else {
                // Occurrences whose alarm can fall in the range: shift the range back by the
                // trigger (and by the length when the trigger counts from the end).
                Secs shift = alarm->Trigger()->Span() + (alarm->TriggerRelatedToEnd() ? length : 0);
                // A day of slack on each side covers the host's offset changes between the two clocks.
                ev->ComputePeriods(FromSeconds(from - shift - kSecondsPerDay - 1),
                                   FromSeconds(to - shift + kSecondsPerDay));
                for (const auto& p : ev->Periods()) {
                    Secs startLocal = p->StartTime()->ValueSeconds();
                    if (master && overridden.count({ev->UID()->Value(), startLocal})) continue;
                    Secs startUtc = LocalToUTCSeconds(startLocal);
                    Secs endUtc = LocalToUTCSeconds(startLocal + p->GetDuration()->Span());
                    add(alarm->AlarmInstant(startUtc, endUtc));
                }
            }
            if (found) result.Add(alarm);
        }
    }
    return result;
}

void iCalendar::QueryEventInto(EventCollection& result, DateValue vFromDate, DateValue vToDate) {
    CheckAlive();
    // Masters first, so that an overriding instance can take its occurrence out of its master.
    for (int pass = 0; pass < 2; ++pass) {
        for (const auto& ev : *events_) {
            if (ev->RecurID()->IsSet() != (pass == 1)) continue;
            ev->ComputePeriods(vFromDate, vToDate);
            if (ev->Periods().Count() != 0) result.AddRaw(ev);
        }
    }
}

EventCollection iCalendar::QueryEvent(DateValue vFromDate, DateValue vToDate) {
    EventCollection result;
    QueryEventInto(result, vFromDate, vToDate);
    return result;
}

EventPtr iCalendar::GetEventByUID(std::string_view vUID) const {
    CheckAlive();
    for (const auto& ev : *events_)
        if (ev->UID()->Value() == vUID) return ev;
    return nullptr;
}

void iCalendar::Dispose() {
    if (disposed_) return;
    selfLink_->Destroy();
    events_->Clear();
    todos_.Clear();
    timeZones_.Clear();
    zoneCache_.clear();
    xprop_.Clear();
    disposed_ = true;
}

}  // namespace quillet
