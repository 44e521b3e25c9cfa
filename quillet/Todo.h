#pragma once
#include <memory>
#include <string>
#include <string_view>

#include "quillet/Component.h"

namespace quillet {

enum EnumTodoStatus { NEEDS_ACTION = 0, eCOMPLETED = 1, IN_PROCESS = 2, TODO_CANCELLED = 3 };

class Todo;
using TodoPtr = std::shared_ptr<Todo>;

// One VTODO.
class Todo : public Component {
public:
    Todo();
    static TodoPtr Create() { return std::make_shared<Todo>(); }

    const Date_TimePtr& Completed() const { return completed_; }
    void SetCompleted(Date_TimePtr v) { completed_ = std::move(v); }
    int Percent() const { return percent_; }
    void SetPercent(int v) { percent_ = v; }

    const Date_TimePtr& Due();
    const std::shared_ptr<quillet::Duration>& Duration() const { return duration_; }
    bool IsAllDay() const { return false; }
    bool IsActive() const { return status_ != TODO_CANCELLED; }

    void SetQuillet(const CalendarLink& link) override;

    void SetDTStartValue(DateValue vDTStart);
    void SetDueValue(DateValue vDue);
    void ClearRRule() { rrule_ = RecurCollection(); }

    // Writing stamps LAST-MODIFIED with the current time, so it changes the to-do.
    std::string ToString();
    void TryParse(std::string_view vData);
    TodoPtr Clone();

    void Reset();

protected:
    bool ReadOwn(Prop prop, const PropertyEntry& e, const std::string& raw) override;
    std::string_view StatusList() const override { return "NEEDS-ACTION|COMPLETED|IN-PROCESS|CANCELLED"; }
    const char* LogName() const override { return "Todo"; }

private:
    Date_TimePtr due_, completed_;
    int percent_ = 0;
};

}  // namespace quillet
