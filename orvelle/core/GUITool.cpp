#include "orvelle/core/GUITool.h"

#include "orvelle/core/XmlNode.h"
#include "platform/AccountStore.h"
#include "platform/AtomicFile.h"
#include "platform/Autostart.h"
#include "platform/Desktop.h"
#include "platform/Folders.h"
#include "platform/SystemInfo.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <strings.h>

#ifndef ORVELLE_VERSION
#define ORVELLE_VERSION "0.0.0"
#endif

namespace orvelle {

TGUITools* GUITools = nullptr;
std::string AccountUser;
std::string AccountPassword;

namespace {

const std::size_t kLibraryLogLimit = 100000;
const std::size_t kMaxEncodedLength = 10000;

std::uint32_t SteadyTicks() {
    using namespace std::chrono;
    return static_cast<std::uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

}  // namespace

TGUITools::TGUITools(TClock clock) : FClock(std::move(clock)) {
    if (!FClock.Now) FClock.Now = [] { return std::chrono::system_clock::now(); };
    if (!FClock.TickCount) FClock.TickCount = SteadyTicks;
    FDataFolder = platform::DataFolder();
    FDocumentFolder = platform::DocumentsFolder();
    // The data folder is private to the user: it holds the account's calendars and settings.
    platform::EnsureFolder(FDataFolder, 0700);
    Log("Document Path is " + FDocumentFolder);
}

std::string TGUITools::LogStamp() const {
    std::time_t t = std::chrono::system_clock::to_time_t(FClock.Now());
    std::tm tm{};
    localtime_r(&t, &tm);
    return FLocale.Format(FLocale.ShortDateFormat(), tm) + " " + FLocale.Format(FLocale.LongTimeFormat(), tm);
}

std::string TGUITools::Now() const { return LogStamp(); }

void TGUITools::AddLine(const std::string& line) {
    if (FLoggingOn) FLogLines.push_back(line);
    SaveLog();
}

void TGUITools::Log(const std::string& message) { AddLine(Now() + "   " + message); }

void TGUITools::LogFmt(const char* format, ...) {
    if (!FLoggingOn) {
        SaveLog();
        return;
    }
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text;
    if (n > 0) {
        text.resize(static_cast<std::size_t>(n) + 1);
        std::vsnprintf(text.data(), text.size(), format, args);
        text.resize(static_cast<std::size_t>(n));
    }
    va_end(args);
    AddLine(Now() + " " + text);
}

void TGUITools::StartMonitor() {
    FMonitorStart = FClock.TickCount();
    Log("MONITOR: Start Timer");
}

void TGUITools::LogMonitor(const std::string& message) {
    std::uint32_t elapsed = FClock.TickCount() - FMonitorStart;
    Log("MONITOR:" + message + ": time " + std::to_string(elapsed));
}

void TGUITools::SaveLog() {
    if (!FLoggingOn) return;
    std::string text;
    for (const auto& line : FLogLines) text += line + "\r\n";
    platform::EnsureFolder(FDataFolder, 0700);
    platform::AtomicWriteOptions options;
    options.Durable = false;  // rewritten after every line; a lost last line is no harm
    try {
        platform::WriteFileAtomic(FDataFolder + "app.log", text, options);
    } catch (const platform::FileError&) {
        // The log must never be the reason something else fails.
    }
}

std::string TGUITools::SkinFolder(const std::string& skinName) const {
    return FDataFolder + "skins/" + skinName + "/";
}

std::string TGUITools::ExeFolder() { return platform::ExecutableFolder(); }

std::string TGUITools::InstalledDataFolder() { return platform::InstalledDataFolder(); }

std::string TGUITools::WindowsFolder() { return InstalledDataFolder(); }

std::string TGUITools::SpecialFolder(int folder) const {
    switch (folder) {
        case 5: return FDocumentFolder;
        case 26:
        case 28: {
            const char* x = std::getenv("XDG_DATA_HOME");
            return x && *x == '/' ? platform::WithSlash(x) : platform::HomeFolder() + ".local/share/";
        }
        case 36: return WindowsFolder();
        default: return {};
    }
}

std::string TGUITools::VersionValue(const std::string& filePath, const std::string& key) {
    struct stat a {}, b {};
    std::string self = platform::ExecutablePath();
    if (self.empty() || stat(filePath.c_str(), &a) != 0 || stat(self.c_str(), &b) != 0) return {};
    if (a.st_dev != b.st_dev || a.st_ino != b.st_ino) return {};
    if (key == "FileVersion" || key == "ProductVersion") return ORVELLE_VERSION;
    if (key == "ProductName") return "Orvelle";
    if (key == "FileDescription") return "Orvelle desktop calendar";
    return {};
}

std::string TGUITools::FileVersion() { return VersionValue(platform::ExecutablePath(), "FileVersion"); }

int TGUITools::OsGeneration() { return platform::OsGeneration(); }

void TGUITools::SetRunAtStartup(bool on) {
    if (on) platform::WriteAutostartEntry("orvelle", "Orvelle", platform::ExecutablePath());
    else platform::RemoveAutostartEntry("orvelle");
}

std::string TGUITools::PickerTimeFormat() const {
    return platform::UsesAmPm(FLocale.LongTimeFormat()) ? "hh:mm tt" : "HH:mm";
}

void TGUITools::SaveXmlFile(const pugi::xml_node& node, const std::string& path) const {
    orvelle::SaveXmlFile(node, path);
}

void TGUITools::ReadAccount(std::string& user, std::string& password) const {
    platform::StoredAccount stored = platform::ReadAccountFile();
    user = stored.User;
    password = DecodeAccountData(stored.Data);
}

bool TGUITools::WriteAccount(const std::string& user, const std::string& password) const {
    return platform::WriteAccountFile({user, EncodeAccountData(password)});
}

void TGUITools::ShowDesktop() const { platform::ShowDesktop(); }

void TGUITools::TrimLibraryLog() const {
    const std::string path = FDataFolder + "quilletlog.txt";
    if (FileSizeOf(path) > static_cast<std::int64_t>(kLibraryLogLimit)) truncate(path.c_str(), 0);
}

std::int64_t TGUITools::FileSizeOf(const std::string& path) { return platform::FileSize(path); }

std::string TGUITools::LastUrlSegment(const std::string& text) {
    std::size_t slash = text.rfind('/');
    return slash == std::string::npos ? text : text.substr(slash + 1);
}

void TGUITools::ListSubfolders(const std::string& folder, std::vector<std::string>& list) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        std::string name = entry.path().filename().string();
        if (name.find('.') == std::string::npos) names.push_back(name);
    }
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) < 0; });
    list.insert(list.end(), names.begin(), names.end());
}

bool TGUITools::IsInteger(const std::string& text) {
    std::size_t i = text.find_first_not_of(' ');
    if (i == std::string::npos) return false;
    bool negative = false;
    if (text[i] == '+' || text[i] == '-') negative = text[i++] == '-';
    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= text.size()) return false;
    unsigned long long v = 0;
    for (; i < text.size(); ++i) {
        char c = text[i];
        int d = (c >= '0' && c <= '9') ? c - '0'
              : (base == 16 && c >= 'a' && c <= 'f') ? c - 'a' + 10
              : (base == 16 && c >= 'A' && c <= 'F') ? c - 'A' + 10 : -1;
        if (d < 0) return false;
        v = v * static_cast<unsigned>(base) + static_cast<unsigned>(d);
        if (v > 0xFFFFFFFFull) return false;
    }
    // Hexadecimal covers the full 32 bits; decimal stays within a signed whole number.
    return base == 16 || v <= (negative ? 2147483648ull : 2147483647ull);
}

bool TGUITools::IsNumber(const std::string& text) {
    std::size_t b = text.find_first_not_of(' ');
    if (b == std::string::npos) return false;
    std::size_t e = text.find_last_not_of(' ');
    std::string t = text.substr(b, e - b + 1);
    std::size_t i = 0;
    if (t[i] == '+' || t[i] == '-') ++i;
    std::size_t digits = 0;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, ++digits;
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
        std::size_t expDigits = 0;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, ++expDigits;
        if (expDigits == 0) return false;
    }
    if (i != t.size()) return false;
    return std::isfinite(std::strtod(t.c_str(), nullptr));
}

std::string EncodeAccountData(const std::string& data) {
    std::string out;
    unsigned bits = 0, count = 0;
    for (unsigned char c : data) {
        bits = (bits << 8) | c;
        count += 8;
        while (count >= 6) {
            count -= 6;
            out += static_cast<char>(60 + ((bits >> count) & 0x3F));
        }
        bits &= (1u << count) - 1;
    }
    if (count > 0) out += static_cast<char>(60 + ((bits << (6 - count)) & 0x3F));
    if (out.size() > kMaxEncodedLength) out.resize(kMaxEncodedLength);
    return out;
}

std::string DecodeAccountData(const std::string& data) {
    std::string out;
    unsigned bits = 0, count = 0;
    for (unsigned char c : data) {
        if (c < 60) {
            out += static_cast<char>(c);
            bits = count = 0;
            continue;
        }
        bits = (bits << 6) | ((c - 60u) & 0x3Fu);
        count += 6;
        if (count >= 8) {
            count -= 8;
            out += static_cast<char>((bits >> count) & 0xFF);
            bits &= (1u << count) - 1;
        }
    }
    return out;
}

std::string CurrentDataFolder() { return GUITools ? GUITools->DataFolder() : platform::DataFolder(); }

}  // namespace orvelle
