#include "quillet/Log.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace quillet {

std::string DataFolder() {
    auto withSlash = [](std::string s) {
        if (!s.empty() && s.back() != '/') s += '/';
        return s;
    };
    if (const char* d = std::getenv("ORVELLE_DATA_DIR"); d && *d) return withSlash(d);
    if (const char* x = std::getenv("XDG_DATA_HOME"); x && *x)
        return withSlash(x) + "Tamblin/Quillet/";
    const char* home = std::getenv("HOME");
    return withSlash(home ? home : ".") + ".local/share/Tamblin/Quillet/";
}

void WriteLog(const std::string& message) {
    std::FILE* f = std::fopen((DataFolder() + "quilletlog.txt").c_str(), "ab");
    if (!f) return;
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &tm);
    std::fprintf(f, "%s %s\r\n", stamp, message.c_str());
    std::fclose(f);
}

}  // namespace quillet
