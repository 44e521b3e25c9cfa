#pragma once
#include <string_view>

namespace quillet {

// The IANA zone for a Windows zone name: its standard name ("W. Europe Standard Time") or its
// display name ("(UTC-05:00) Eastern Time (US & Canada)"). Null when the name is not one.
const char* WindowsZoneToIana(std::string_view name);

}  // namespace quillet
