#pragma once
#include <string>
#include <vector>

namespace orvelle {

// The files the installation puts into the data folder and the program expects there.
std::vector<std::string> InstalledDataFiles();

struct TProvisionResult {
    std::vector<std::string> Copied;  // names copied from the installed defaults
    std::vector<std::string> Failed;  // "name: reason" for those that were missing and not copied
};

// Copies each of the names that is missing from the data folder from the installed defaults, so a
// fresh account (or one that lost a file) starts cleanly. Existing files are never touched. When
// the calendar list had to be copied, its paths have not been adapted to this user yet, so the
// first-run mark install.ini is removed and the first-run step runs again.
TProvisionResult ProvisionInstallation(const std::string& installedFolder, const std::string& dataFolder,
                                       const std::vector<std::string>& names = InstalledDataFiles());

}  // namespace orvelle
