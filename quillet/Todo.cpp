#include "quillet/Todo.h"

#include "quillet/HostZone.h"
#include "quillet/PropertyText.h"

namespace quillet {

Todo::Todo() {
    // A new to-do is not reset: its fields are the empty ones of their types.
    due_ = std::make_shared<Date_Time>();
    completed_ = std::make_shared<Date_Time>();
    GEO()->SetLatitude(0);
    geo_->SetLongitude(0);
    class_ = "Public";
}

void Todo::Reset() {
    ResetCommon();
    due_ = std::make_shared<Date_Time>();
    due_->SetQuillet(link_);
    completed_ = std::make_shared<Date_Time>();
    status_ = -1;
    percent_ = -1;
}

void Todo::SetQuillet(const CalendarLink& link) {
    Component::SetQuillet(link);
    if (link) due_->SetQuillet(link);
}

const Date_TimePtr& Todo::Due() { return DerivedEnd(due_); }

void Todo::SetDTStartValue(DateValue vDTStart) { SetStartValue(vDTStart, due_); }

void Todo::SetDueValue(DateValue vDue) { SetEndValue(vDue, due_); }

void Todo::TryParse(std::string_view vData) {
    Reset();
    ParseComponent(vData, "Invalid todo format");
}

bool Todo::ReadOwn(Prop prop, const PropertyEntry& e, const std::string& raw) {
    switch (prop) {
        case Prop::Due: ReadDate(*due_, e); return true;
        case Prop::Completed: ReadDate(*completed_, e); return true;
        case Prop::Percent: percent_ = ParseInteger(raw); return true;
        case Prop::RRule: {
            // A to-do keeps every rule it was given, FREQ=NONE included; one whose frequency is
            // no known word stays as its text, which a rule could not write back.
            auto r = std::make_shared<Recur>();
            r->TryParse(raw);
            if (r->Frequency() < NONE || r->Frequency() > YEARLY) return false;
            r->SetParams(e.Params);
            rrule_.Add(r);
            return true;
        }
        default: return false;
    }
}

std::string Todo::ToString() {
    StampCreated();
    lastModified_ = std::make_shared<Date_Time>();
    lastModified_->SetValue(NowUTC());
    lastModified_->SetIsUTCTime(true);
    std::vector<std::string> lines;
    lines.reserve(16 + xprop_.Count());
    WriteHead(lines);
    WriteStatus(lines);
    WriteSummary(lines);
    WriteStart(lines);
    WriteDate(lines, "DUE", *Due());
    WriteDate(lines, "COMPLETED", *completed_);
    if (percent_ != -1)
        WriteRaw(lines, "PERCENT-COMPLETE", ParamsOf("PERCENT-COMPLETE"), std::to_string(percent_));
    WriteTail(lines);
    return JoinLines(lines);
}

TodoPtr Todo::Clone() {
    auto t = Create();
    t->TryParse(ToString());
    return t;
}

}  // namespace quillet
