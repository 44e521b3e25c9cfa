#pragma once
#include <memory>
#include <string>
#include <string_view>

#include "quillet/Collections.h"

namespace quillet {

// First entry named exactly `name` (case-sensitive), or null.
std::shared_ptr<PropertyEntry> FindXProp(const XPropList& list, std::string_view name);
std::string GetXPropValue(const XPropList& list, std::string_view name);
// Replaces the value of the first entry of that name or appends one; `owner` names the class in
// the log line written when it fails.
void SetXPropValue(XPropList& list, const std::string& name, const std::string& value,
                   const char* owner);

}  // namespace quillet
