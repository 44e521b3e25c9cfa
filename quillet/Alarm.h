#pragma once
#include <memory>
#include <string>
#include <string_view>

#include "quillet/Collections.h"
#include "quillet/Date_Time.h"
#include "quillet/Duration.h"

namespace quillet {

enum EnumAlarmAction { eNONE = 0, eAUDIO = 1, eDISPLAY = 2, eEMAIL = 3, ePROCEDURE = 4, eSMS = 5 };

class Component;
class Event;
class Todo;

// One VALARM of an event or a to-do.
class Alarm {
public:
    Alarm();

    int Action() const { return action_; }
    void SetAction(int v) { action_ = v; }
    const std::shared_ptr<Text>& Description() const { return description_; }
    void SetDescription(std::shared_ptr<Text> v) { description_ = std::move(v); }
    const std::shared_ptr<quillet::Duration>& Trigger() const { return trigger_; }
    void SetTrigger(std::shared_ptr<quillet::Duration> v) { trigger_ = std::move(v); }
    const std::shared_ptr<Text>& Summary() const { return summary_; }
    void SetSummary(std::shared_ptr<Text> v) { summary_ = std::move(v); }
    Cal_AddressCollection& Attendee() { return attendee_; }
    const std::shared_ptr<quillet::Duration>& Duration() const { return duration_; }
    void SetDuration(std::shared_ptr<quillet::Duration> v) { duration_ = std::move(v); }
    int Repeat() const { return repeat_; }
    void SetRepeat(int v) { repeat_ = v; }
    const std::shared_ptr<URI>& Attach() const { return attach_; }
    void SetAttach(std::shared_ptr<URI> v) { attach_ = std::move(v); }
    XPropList& XProp() { return xprop_; }
    Date_TimeCollection& OccurTimes() { return occurTimes_; }

    // The trigger's reference point: RELATED=END counts from the end of the occurrence.
    bool TriggerRelatedToEnd() const { return relatedEnd_; }
    void SetTriggerRelatedToEnd(bool v) { relatedEnd_ = v; }
    // An absolute trigger (VALUE=DATE-TIME): the alarm fires once at that instant.
    const Date_TimePtr& TriggerTime() const { return triggerTime_; }
    bool HasAbsoluteTrigger() const { return triggerTime_->IsSet(); }

    // Alarm instant (UTC seconds) for an occurrence given by its UTC start and end.
    Secs AlarmInstant(Secs occurrenceStartUtc, Secs occurrenceEndUtc) const;

    std::shared_ptr<Event> vEvent() const;
    std::shared_ptr<quillet::Todo> Todo() const;
    void SetOwner(const std::shared_ptr<Component>& owner) { owner_ = owner; }

    void AddOccurTime(Date_TimePtr dt) { occurTimes_.Add(std::move(dt)); }

    void Reset();
    void TryParse(std::string_view text);
    std::string ToString() const;

private:
    int action_ = eNONE;
    std::string actionParams_;  // parameters of the ACTION line, written back as read
    std::shared_ptr<Text> description_ = std::make_shared<Text>();
    std::shared_ptr<quillet::Duration> trigger_ = std::make_shared<quillet::Duration>();
    std::shared_ptr<Text> summary_ = std::make_shared<Text>();
    Cal_AddressCollection attendee_;
    std::shared_ptr<quillet::Duration> duration_ = std::make_shared<quillet::Duration>();
    int repeat_ = 0;
    std::shared_ptr<URI> attach_ = std::make_shared<URI>();
    XPropList xprop_;
    Date_TimeCollection occurTimes_;
    bool relatedEnd_ = false;
    bool triggerRead_ = false;
    std::string triggerParams_;
    Date_TimePtr triggerTime_ = std::make_shared<Date_Time>();
    std::weak_ptr<Component> owner_;
};

using AlarmPtr = std::shared_ptr<Alarm>;
using AlarmCollection = Collection<Alarm>;

}  // namespace quillet
