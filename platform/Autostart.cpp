#include "platform/Autostart.h"

#include "platform/AtomicFile.h"
#include "platform/Folders.h"

#include <unistd.h>

#include <cerrno>

namespace platform {

std::string AutostartEntryPath(const std::string& name) {
    return ConfigFolder() + "autostart/" + name + ".desktop";
}

std::string DesktopExecQuote(const std::string& path) {
    // Inside a quoted Exec argument '"', '`', '$' and '\' take a backslash; a '%' is doubled as a
    // field code would otherwise start. The value escaping of the file then doubles every backslash.
    std::string arg = "\"";
    for (char c : path) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') arg += '\\';
        if (c == '%') arg += '%';
        arg += c;
    }
    arg += '"';
    std::string value;
    for (char c : arg) {
        if (c == '\\') value += "\\\\";
        else value += c;
    }
    return value;
}

bool WriteAutostartEntry(const std::string& name, const std::string& displayName, const std::string& exePath) {
    if (exePath.empty() || exePath.find_first_of("\r\n") != std::string::npos) return false;
    std::string text =
        "[Desktop Entry]\n"
        "Type=Application\n"
        "Name=" + displayName + "\n"
        "Exec=" + DesktopExecQuote(exePath) + "\n"
        "Terminal=false\n"
        "X-GNOME-Autostart-enabled=true\n";
    std::string folder = ConfigFolder() + "autostart/";
    if (!EnsureFolder(folder, 0700)) return false;
    try {
        WriteFileAtomic(AutostartEntryPath(name), text);
    } catch (const FileError&) {
        return false;
    }
    return true;
}

bool RemoveAutostartEntry(const std::string& name) {
    return unlink(AutostartEntryPath(name).c_str()) == 0 || errno == ENOENT;
}

}  // namespace platform
