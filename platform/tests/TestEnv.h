#pragma once
// Test helpers shared by the platform and core tests: private temporary folders and environment
// variables that are put back when the test ends, so no test touches the real home folder.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <unistd.h>

namespace testenv {

class TempDir {
public:
    TempDir() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "orvelle-test-XXXXXX").string();
        char* made = mkdtemp(tmpl.data());
        if (!made) throw std::runtime_error("mkdtemp failed");
        FPath = made;
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(FPath, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return FPath; }
    std::string operator/(const std::string& name) const { return FPath + "/" + name; }
    std::string Slash() const { return FPath + "/"; }

private:
    std::string FPath;
};

class ScopedEnv {
public:
    ScopedEnv(std::string name, const std::optional<std::string>& value) : FName(std::move(name)) {
        if (const char* old = std::getenv(FName.c_str())) FOld = old;
        if (value) setenv(FName.c_str(), value->c_str(), 1);
        else unsetenv(FName.c_str());
    }
    ~ScopedEnv() {
        if (FOld) setenv(FName.c_str(), FOld->c_str(), 1);
        else unsetenv(FName.c_str());
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string FName;
    std::optional<std::string> FOld;
};

// Points HOME and every XDG folder of a user at a fresh temporary folder.
class FakeHome {
public:
    FakeHome()
        : FData("XDG_DATA_HOME", std::nullopt), FConfig("XDG_CONFIG_HOME", std::nullopt),
          FRuntime("XDG_RUNTIME_DIR", Dir / "run"), FDocs("XDG_DOCUMENTS_DIR", std::nullopt),
          FOrvelle("ORVELLE_DATA_DIR", std::nullopt), FShare("ORVELLE_SHARE_DIR", std::nullopt) {
        std::filesystem::create_directories(Dir / "run");
        std::filesystem::permissions(Dir / "run", std::filesystem::perms::owner_all);
    }
    std::string Home() const { return Dir.Slash(); }
    TempDir Dir;

private:
    ScopedEnv FHome{"HOME", Dir.Path()};
    ScopedEnv FData, FConfig, FRuntime, FDocs, FOrvelle, FShare;
};

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

inline bool Exists(const std::string& path) { return std::filesystem::exists(path); }

inline unsigned Mode(const std::string& path) {
    return static_cast<unsigned>(std::filesystem::status(path).permissions()) & 0777u;
}

// en_GB and en_US compiled once per test program into a private folder (for LOCPATH), so tests of
// locale forms need nothing installed; empty when localedef cannot build them here.
inline const std::string& CompiledLocales() {
    static TempDir dir;
    static const std::string path = [] {
        for (const char* name : {"en_GB", "en_US"}) {
            std::string cmd = std::string("localedef -i ") + name + " -f UTF-8 '" + (dir / name) +
                              ".UTF-8' >/dev/null 2>&1";
            if (std::system(cmd.c_str()) != 0) return std::string();
        }
        return dir.Path();
    }();
    return path;
}

}  // namespace testenv
