#pragma once
#include <string>

namespace platform {

// The system's class on the old scale of the application's start check: 7 for this system (a
// current, supported one), -1 when the system cannot be queried.
int OsGeneration();

// "Linux 6.1.0 x86_64" and the like; empty when the system cannot be queried.
std::string SystemDescription();

}  // namespace platform
