#pragma once
#include <functional>

namespace platform {

// Asks the desktop to show itself (all windows out of the way). The window-system layer installs a
// handler that speaks to the window manager; without one, "wmctrl -k on" is used when that program
// is present, and otherwise nothing happens. True when a request was made.
bool ShowDesktop();

void SetShowDesktopHandler(std::function<bool()> handler);

}  // namespace platform
