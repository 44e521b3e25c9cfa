#include "orvelle/core/Provision.h"

#include "platform/AtomicFile.h"
#include "platform/Folders.h"

#include <unistd.h>

namespace orvelle {

std::vector<std::string> InstalledDataFiles() {
    return {"Setting.xml", "callist.xml", "color.ini", "category.ini"};
}

TProvisionResult ProvisionInstallation(const std::string& installedFolder, const std::string& dataFolder,
                                       const std::vector<std::string>& names) {
    TProvisionResult result;
    platform::EnsureFolder(dataFolder, 0700);
    for (const auto& name : names) {
        const std::string target = dataFolder + name;
        if (platform::FileExists(target)) continue;
        std::string bytes;
        if (installedFolder.empty() || !platform::TryReadWholeFile(installedFolder + name, bytes)) {
            result.Failed.push_back(name + ": not among the installed files");
            continue;
        }
        try {
            // A fresh copy is the user's own file: writable, whatever mode the installed one has.
            platform::AtomicWriteOptions options;
            options.Mode = 0644;
            options.ForceMode = true;
            platform::WriteFileAtomic(target, bytes, options);
            result.Copied.push_back(name);
        } catch (const platform::FileError& e) {
            result.Failed.push_back(name + ": " + e.what());
        }
    }
    for (const auto& name : result.Copied)
        if (name == "callist.xml") unlink((dataFolder + "install.ini").c_str());
    return result;
}

}  // namespace orvelle
