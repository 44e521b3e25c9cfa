#include "platform/Desktop.h"

#include "platform/Process.h"

#include <utility>

namespace platform {

namespace {
std::function<bool()>& Handler() {
    static std::function<bool()> handler;
    return handler;
}
}  // namespace

void SetShowDesktopHandler(std::function<bool()> handler) { Handler() = std::move(handler); }

bool ShowDesktop() {
    if (Handler()) return Handler()();
    std::string wmctrl = FindProgram("wmctrl");
    if (wmctrl.empty()) return false;
    return StartDetached(wmctrl, {"-k", "on"});
}

}  // namespace platform
