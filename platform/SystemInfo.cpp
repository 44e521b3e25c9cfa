#include "platform/SystemInfo.h"

#include <sys/utsname.h>

namespace platform {

int OsGeneration() {
    utsname u {};
    return uname(&u) == 0 ? 7 : -1;
}

std::string SystemDescription() {
    utsname u {};
    if (uname(&u) != 0) return {};
    return std::string(u.sysname) + " " + u.release + " " + u.machine;
}

}  // namespace platform
