#include "platform/AccountStore.h"

#include "platform/AtomicFile.h"
#include "platform/Folders.h"
#include "platform/IniFile.h"

#include <sys/stat.h>

namespace platform {

namespace {
const char* const kSection = "Profile";
}

std::string AccountFilePath() { return ConfigFolder() + "Tamblin/Profile/account.ini"; }

StoredAccount ReadAccountFile() {
    const std::string path = AccountFilePath();
    struct stat st {};
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return {};
    if ((st.st_mode & 077) != 0) chmod(path.c_str(), 0600);
    try {
        TIniFile ini(path);
        return {ini.ReadString(kSection, "user"), ini.ReadString(kSection, "data")};
    } catch (const FileError&) {
        return {};
    }
}

bool WriteAccountFile(const StoredAccount& account) {
    const std::string path = AccountFilePath();
    std::string folder = path.substr(0, path.rfind('/') + 1);
    if (!EnsureFolder(folder, 0700)) return false;
    chmod(folder.c_str(), 0700);
    try {
        TIniFile ini;
        ini.Load(path);
        ini.WriteString(kSection, "user", account.User);
        ini.WriteString(kSection, "data", account.Data);
        ini.SaveAs(path, 0600);
    } catch (const FileError&) {
        return false;
    }
    return true;
}

}  // namespace platform
