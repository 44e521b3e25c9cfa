#include "quillet/Recur.h"

namespace quillet {

bool Recur::TryParse(std::string_view vData) {
    text_.assign(vData);
    return text_.find("FREQ=NONE") == std::string::npos;
}

std::string Recur::ToString() const { return text_; }

std::vector<DateValue> Recur::Expand(DateValue, DateValue, DateValue, DateValue) { return {}; }

}  // namespace quillet
