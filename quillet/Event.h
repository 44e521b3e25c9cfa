#pragma once
#include <memory>
#include <string>
#include <string_view>

#include "quillet/Component.h"

namespace quillet {

enum EnumEventStatus { TENTATIVE = 0, CONFIRMED = 1, CANCELLED = 2 };

class Event;
using EventPtr = std::shared_ptr<Event>;

// One VEVENT.
class Event : public Component {
public:
    Event();
    static EventPtr Create() { return std::make_shared<Event>(); }
    // A new event read from text: what Create followed by TryParse gives, without resetting twice.
    static EventPtr Parse(std::string_view vData);

    const std::shared_ptr<Text>& Transp() const { return transp_; }
    void SetTransp(std::shared_ptr<Text> v) { transp_ = std::move(v); }

    const Date_TimePtr& DTEnd();
    const std::shared_ptr<quillet::Duration>& Duration();
    bool IsActive() const { return status_ != CANCELLED; }
    bool IsAllDay();

    void SetQuillet(const CalendarLink& link) override;

    void SetDTStartValue(DateValue vDTStart);
    void SetDTEndValue(DateValue vDTEnd);

    std::string ToString();
    void TryParse(std::string_view vData);

    bool WillOccureInDay(DateValue vDate) const;
    EventPtr Clone();

    // Rebuilds Periods with the occurrences that overlap [from, to) on the event's clock.
    void ComputePeriods(DateValue from, DateValue to);

    void Reset();

protected:
    bool ReadOwn(Prop prop, const PropertyEntry& e, const std::string& raw) override;
    std::string_view StatusList() const override { return "TENTATIVE|CONFIRMED|CANCELLED"; }
    const char* LogName() const override { return "Event"; }

private:
    bool AddOccurrence(Secs start, std::shared_ptr<quillet::Duration> length = nullptr);
    static void RemoveOverridden(Event& master, const Event& instance);

    Date_TimePtr dtend_;
    std::shared_ptr<Text> transp_;
};

}  // namespace quillet
