#pragma once
#include "platform/TimeLocale.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <pugixml.hpp>
#include <string>
#include <vector>

namespace orvelle {

// The application's one service object: the folders, app.log, elapsed-time lines, the version, the
// log-on start entry, XML saving, the stored Google account and small text tests. Folders end in '/'.
class TGUITools {
public:
    // Where the time comes from; tests put fixed clocks here.
    struct TClock {
        std::function<std::chrono::system_clock::time_point()> Now;
        std::function<std::uint32_t()> TickCount;  // milliseconds, wrapping
    };

    explicit TGUITools(TClock clock = {});
    TGUITools(const TGUITools&) = delete;
    TGUITools& operator=(const TGUITools&) = delete;

    // app.log: every line of this run, rewritten after each line.
    void Log(const std::string& message);
    void LogFmt(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void StartMonitor();
    void LogMonitor(const std::string& message);
    void SaveLog();

    const std::vector<std::string>& LogLines() const { return FLogLines; }
    bool LoggingOn() const { return FLoggingOn; }
    void SetLoggingOn(bool value) { FLoggingOn = value; }

    const std::string& DataFolder() const { return FDataFolder; }
    const std::string& DocumentFolder() const { return FDocumentFolder; }
    std::string SkinFolder(const std::string& skinName) const;
    static std::string ExeFolder();
    // The shared system folder of the installation, where its sounds lie: the installed data.
    static std::string WindowsFolder();
    // The read-only defaults the installation ships (share/orvelle/).
    static std::string InstalledDataFolder();
    // A shell folder by its old number: 5 documents, 26 and 28 application data, 36 the system
    // folder; empty for the rest.
    std::string SpecialFolder(int folder) const;

    // Version data exists for this program only: "FileVersion", "ProductVersion", "ProductName",
    // "FileDescription"; empty for other files and keys.
    static std::string VersionValue(const std::string& filePath, const std::string& key);
    static std::string FileVersion();
    static int OsGeneration();

    // Writes or removes the log-on start entry; failures are silent.
    void SetRunAtStartup(bool on);
    // "hh:mm tt" for a user whose time format shows AM/PM, else "HH:mm".
    std::string PickerTimeFormat() const;
    void SaveXmlFile(const pugi::xml_node& node, const std::string& path) const;
    // Both empty when no account is stored or it cannot be read.
    void ReadAccount(std::string& user, std::string& password) const;
    // False when it could not be stored (reported by nothing else).
    bool WriteAccount(const std::string& user, const std::string& password) const;
    void ShowDesktop() const;
    // Empties quilletlog.txt when it has grown past 100000 bytes.
    void TrimLibraryLog() const;

    static std::int64_t FileSizeOf(const std::string& path);
    static std::string LastUrlSegment(const std::string& text);
    // Appends the names without an extension (sub-folders, mostly) in the folder, sorted.
    static void ListSubfolders(const std::string& folder, std::vector<std::string>& list);
    static bool IsInteger(const std::string& text);
    static bool IsNumber(const std::string& text);

    // The stamp that starts each app.log line: short date, a blank, long time, in the user's forms.
    std::string LogStamp() const;

private:
    std::string Now() const;
    void AddLine(const std::string& line);

    std::vector<std::string> FLogLines;
    bool FLoggingOn = true;
    std::uint32_t FMonitorStart = 0;
    std::string FDocumentFolder;
    std::string FDataFolder;
    TClock FClock;
    platform::TTimeLocale FLocale;
};

// The instance of the running application; set by the start-up sequence (or a test), else null.
extern TGUITools* GUITools;

// The Google account of this run: filled by the wizard or from the stored account, never written
// to a file by themselves.
extern std::string AccountUser;
extern std::string AccountPassword;

// The stored password's form: 6-bit groups as characters "<" (0) .. "{" (63), at most 10000.
std::string EncodeAccountData(const std::string& data);
std::string DecodeAccountData(const std::string& data);

// The data folder of the running application (of GUITools when there is one).
std::string CurrentDataFolder();

}  // namespace orvelle
