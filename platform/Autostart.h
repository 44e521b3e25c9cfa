#pragma once
#include <string>

namespace platform {

// The per-user log-on start entry: $XDG_CONFIG_HOME/autostart/<name>.desktop (freedesktop autostart).
std::string AutostartEntryPath(const std::string& name);

// Writes the entry so that the session starts the executable at log-on; false when it cannot be
// written (or the path cannot be expressed in an Exec line).
bool WriteAutostartEntry(const std::string& name, const std::string& displayName, const std::string& exePath);

// Removes the entry; true when none exists afterwards (also when there was none).
bool RemoveAutostartEntry(const std::string& name);

// The path as one quoted argument of a desktop entry's Exec key, escaped for the key's value too.
std::string DesktopExecQuote(const std::string& path);

}  // namespace platform
