#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "quillet/DateValue.h"

namespace quillet {

// One recurrence rule (RRULE or EXRULE value).
class Recur {
public:
    bool TryParse(std::string_view vData);
    std::string ToString() const;
    std::vector<DateValue> Expand(DateValue s, DateValue e, DateValue from, DateValue to);

private:
    std::string text_;
};

}  // namespace quillet
