#pragma once
#include <string>

namespace quillet {

// The data folder shared with the application: $ORVELLE_DATA_DIR, else
// $XDG_DATA_HOME/Tamblin/Quillet/, else ~/.local/share/Tamblin/Quillet/. Ends with '/'.
std::string DataFolder();

// Appends "YYYY-MM-DD HH:MM:SS message" to quilletlog.txt in the data folder; never creates the
// folder and never fails.
void WriteLog(const std::string& message);

}  // namespace quillet
