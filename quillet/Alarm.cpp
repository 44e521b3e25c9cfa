#include "quillet/Alarm.h"

#include "quillet/ContentLines.h"
#include "quillet/Event.h"
#include "quillet/LibraryError.h"
#include "quillet/PropertyText.h"
#include "quillet/Todo.h"

namespace quillet {

namespace {
constexpr std::string_view kActionList = "NONE|AUDIO|DISPLAY|EMAIL|PROCEDURE|SMS";
}

Alarm::Alarm() = default;

std::shared_ptr<Event> Alarm::vEvent() const { return std::dynamic_pointer_cast<Event>(owner_.lock()); }

std::shared_ptr<quillet::Todo> Alarm::Todo() const {
    return std::dynamic_pointer_cast<quillet::Todo>(owner_.lock());
}

void Alarm::Reset() {
    action_ = -1;
    description_ = std::make_shared<Text>();
    summary_ = std::make_shared<Text>();
    attach_ = std::make_shared<URI>();
    trigger_ = std::make_shared<quillet::Duration>();
    trigger_->Reset();
    duration_ = std::make_shared<quillet::Duration>();
    duration_->Reset();
    repeat_ = 0;
    attendee_ = Cal_AddressCollection();
    xprop_ = XPropList();
    relatedEnd_ = false;
    triggerRead_ = false;
    triggerParams_.clear();
    actionParams_.clear();
    triggerTime_ = std::make_shared<Date_Time>();
}

Secs Alarm::AlarmInstant(Secs occurrenceStartUtc, Secs occurrenceEndUtc) const {
    if (HasAbsoluteTrigger()) return triggerTime_->ValueSeconds();
    return (relatedEnd_ ? occurrenceEndUtc : occurrenceStartUtc) + trigger_->Span();
}

void Alarm::TryParse(std::string_view text) {
    Reset();
    try {
        for (PropertyEntry& e : ParseContentLines(text)) {
            std::string raw = RawOf(e);
            if (e.IsComponent) {
                xprop_.Add(std::make_shared<PropertyEntry>(std::move(e)));
                continue;
            }
            while (!raw.empty() && raw.back() == ' ') raw.pop_back();
            if (e.Name == "ACTION" && IndexInList(kActionList, raw) != -1) {
                action_ = IndexInList(kActionList, raw);
                actionParams_ = e.Params;
            } else if (e.Name == "DESCRIPTION") {
                description_ = ReadText(e);
            } else if (e.Name == "SUMMARY") {
                summary_ = ReadText(e);
            } else if (e.Name == "TRIGGER") {
                triggerRead_ = true;
                triggerParams_ = e.Params;
                relatedEnd_ = EqualsIgnoreCase(FindParam(e.Params, "RELATED"), "END");
                if (EqualsIgnoreCase(FindParam(e.Params, "VALUE"), "DATE-TIME")) {
                    triggerTime_->TryParse(raw);
                    triggerParams_ = StripParams(e.Params, {"VALUE"});
                } else {
                    trigger_->TryParse(raw);
                }
            } else if (e.Name == "DURATION") {
                duration_->TryParse(raw);
            } else if (e.Name == "ATTENDEE") {
                attendee_.Add(raw)->SetParams(e.Params);
            } else if (e.Name == "REPEAT") {
                repeat_ = ParseInteger(raw);
            } else if (e.Name == "ATTACH") {
                attach_->SetValue(raw);
                attach_->SetParams(e.Params);
            } else {
                xprop_.Add(std::make_shared<PropertyEntry>(std::move(e)));
            }
        }
    } catch (const std::exception&) {
        throw LibraryError(kErrFormat, "Alarm", "Invalid Alarm format");
    }
}

std::string Alarm::ToString() const {
    std::vector<std::string> lines;
    if (action_ != -1) {
        if (action_ < -1 || action_ > eSMS) ThrowSubscript("Alarm");
        lines.push_back("ACTION" + actionParams_ + ":" + ItemInList(kActionList, action_));
    }
    WriteText(lines, "DESCRIPTION", *description_);
    if (HasAbsoluteTrigger()) {
        lines.push_back("TRIGGER;VALUE=DATE-TIME" + triggerParams_ + ":" +
                        FormatBasicDateTime(SecondsToFields(triggerTime_->ValueSeconds())) + "Z");
    } else if (trigger_->AllSeconds() != 0 || triggerRead_ || (action_ != eNONE && action_ != -1)) {
        // An alarm at the very start is still an alarm: its zero trigger is written out.
        std::string d = trigger_->AllSeconds() == 0 ? "PT0S" : trigger_->ToString();
        lines.push_back("TRIGGER" + triggerParams_ + ":" + d);
    }
    WriteText(lines, "SUMMARY", *summary_);
    for (const auto& a : attendee_) WriteRaw(lines, "ATTENDEE", a->Params(), a->Value());
    if (duration_->AllSeconds() != 0) lines.push_back("DURATION:" + duration_->ToString());
    if (repeat_ != 0) lines.push_back("REPEAT:" + std::to_string(repeat_));
    WriteRaw(lines, "ATTACH", attach_->Params(), attach_->Value());
    WriteXProps(lines, xprop_);
    return JoinLines(lines);
}

}  // namespace quillet
