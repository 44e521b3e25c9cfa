#include "platform/Folders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <vector>

namespace platform {

namespace {

std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

// One line of user-dirs.dirs: XDG_DOCUMENTS_DIR="$HOME/Documents". Only "$HOME/" or an absolute
// path may start the value; anything else is ignored, as xdg-user-dirs itself does.
std::string UserDirFromConfig(const std::string& key) {
    std::ifstream in(ConfigFolder() + "user-dirs.dirs");
    std::string line;
    while (std::getline(in, line)) {
        std::size_t p = line.find_first_not_of(" \t");
        if (p == std::string::npos || line[p] == '#') continue;
        if (line.compare(p, key.size(), key) != 0) continue;
        p += key.size();
        if (p >= line.size() || line[p] != '=') continue;
        std::string value = line.substr(p + 1);
        while (!value.empty() && (value.back() == '\r' || value.back() == ' ')) value.pop_back();
        if (value.size() < 2 || value.front() != '"' || value.back() != '"') continue;
        value = value.substr(1, value.size() - 2);
        std::string out;
        for (std::size_t i = 0; i < value.size(); ++i) {
            if (value[i] == '\\' && i + 1 < value.size()) out += value[++i];
            else out += value[i];
        }
        if (out.rfind("$HOME", 0) == 0) return HomeFolder() + out.substr(out.size() > 5 && out[5] == '/' ? 6 : 5);
        if (!out.empty() && out[0] == '/') return out;
    }
    return {};
}

}  // namespace

std::string WithSlash(std::string path) {
    if (path.empty() || path.back() != '/') path += '/';
    return path;
}

std::string HomeFolder() {
    std::string home = Env("HOME");
    if (!home.empty()) return WithSlash(home);
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir && *pw->pw_dir)
        return WithSlash(pw->pw_dir);
    return "./";
}

std::string DataFolder() {
    if (std::string d = Env("ORVELLE_DATA_DIR"); !d.empty()) return WithSlash(d);
    if (std::string x = Env("XDG_DATA_HOME"); !x.empty()) return WithSlash(x) + "Tamblin/Quillet/";
    return HomeFolder() + ".local/share/Tamblin/Quillet/";
}

std::string ConfigFolder() {
    if (std::string x = Env("XDG_CONFIG_HOME"); !x.empty() && x[0] == '/') return WithSlash(x);
    return HomeFolder() + ".config/";
}

std::string DocumentsFolder() {
    if (std::string d = Env("XDG_DOCUMENTS_DIR"); !d.empty() && d[0] == '/') return WithSlash(d);
    if (std::string d = UserDirFromConfig("XDG_DOCUMENTS_DIR"); !d.empty()) return WithSlash(d);
    return HomeFolder();
}

std::string ExecutablePath() {
    std::vector<char> buf(4096);
    for (;;) {
        ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size());
        if (n < 0) return {};
        if (static_cast<std::size_t>(n) < buf.size()) return std::string(buf.data(), n);
        buf.resize(buf.size() * 2);
    }
}

std::string ExecutableFolder() {
    std::string exe = ExecutablePath();
    std::size_t slash = exe.rfind('/');
    if (slash == std::string::npos) return "./";
    return exe.substr(0, slash + 1);
}

std::string InstalledDataFolder(const std::string& fallback) {
    if (std::string s = Env("ORVELLE_SHARE_DIR"); !s.empty()) return WithSlash(s);
    std::string beside = ExecutableFolder() + "../share/orvelle/";
    if (FolderExists(beside)) {
        if (char* real = realpath(beside.c_str(), nullptr)) {
            std::string r = WithSlash(real);
            std::free(real);
            return r;
        }
        return beside;
    }
    if (!fallback.empty() && FolderExists(fallback)) return WithSlash(fallback);
    return {};
}

bool EnsureFolder(const std::string& path, unsigned mode) {
    if (path.empty()) return false;
    if (FolderExists(path)) return true;
    std::string partial;
    std::size_t pos = 0;
    while (pos != std::string::npos) {
        pos = path.find('/', pos + 1);
        partial = path.substr(0, pos);
        if (partial.empty()) continue;
        if (mkdir(partial.c_str(), mode) != 0 && errno != EEXIST) return false;
    }
    return FolderExists(path);
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool FolderExists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::int64_t FileSize(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
    return static_cast<std::int64_t>(st.st_size);
}

}  // namespace platform
