#include "quillet/iCalendar.h"

#include "quillet/ContentLines.h"
#include "quillet/FileIO.h"
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
    std::string text = DecodeUtf8(ReadWholeFile(vFileName));
    TryParse(text);
    filename_ = vFileName;
}

void iCalendar::TryParse(std::string_view vData) {
    CheckAlive();
    std::vector<PropertyEntry> entries = ParseContentLines(vData);
    events_->Clear();
    xprop_ = XPropList();
    events_->Reserve(entries.size());
    try {
        for (PropertyEntry& e : entries) {
            const std::string& name = e.Name;
            if (!e.IsComponent && name == "VERSION") version_->TryParse(RawOf(e));
            else if (!e.IsComponent && name == "CALSCALE") calScale_->TryParse(RawOf(e));
            else if (!e.IsComponent && name == "METHOD") method_->TryParse(RawOf(e));
            else if (!e.IsComponent && name == "PRODID") prodId_->TryParse(RawOf(e));
            else if (e.IsComponent && name == "VEVENT") {
                auto ev = Event::Create();
                ev->TryParse(e.Value);
                ev->SetQuillet(selfLink_);
                events_->AddRaw(std::move(ev));
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
        if (!t.Value().empty()) blocks.push_back(std::string(name) + ":" + t.ToString());
    };
    head("VERSION", *version_);
    head("CALSCALE", *calScale_);
    head("METHOD", *method_);
    head("PRODID", *prodId_);
    WriteXProps(blocks, xprop_);
    for (const auto& ev : *events_) blocks.push_back("BEGIN:VEVENT\r\n" + ev->ToString() + "\r\nEND:VEVENT");
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
    xprop_.Clear();
    disposed_ = true;
}

}  // namespace quillet
