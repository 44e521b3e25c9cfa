#pragma once
#include <cstdint>
#include <string>

// Where Orvelle keeps and finds its files on a freedesktop system. Every folder returned here ends
// with '/'.
namespace platform {

// $ORVELLE_DATA_DIR, else $XDG_DATA_HOME/Tamblin/Quillet/, else ~/.local/share/Tamblin/Quillet/.
// The same rule as quillet::DataFolder(), which cannot depend on this library.
std::string DataFolder();

// The XDG documents directory ($XDG_DOCUMENTS_DIR, else the entry in user-dirs.dirs), else $HOME.
std::string DocumentsFolder();

// $XDG_CONFIG_HOME, else ~/.config/.
std::string ConfigFolder();

// $HOME, else the password database's home directory, else the current directory.
std::string HomeFolder();

// Full path of the running executable; empty when the system does not tell.
std::string ExecutablePath();

// The folder of the running executable (the installation folder).
std::string ExecutableFolder();

// The read-only defaults the installation ships: $ORVELLE_SHARE_DIR, else <exe>/../share/orvelle/,
// else the fallback given (a source tree's data folder for runs from a build tree); empty when none
// of them exists.
std::string InstalledDataFolder(const std::string& fallback = {});

// Creates the folder and its missing parents; true when it exists afterwards.
bool EnsureFolder(const std::string& path, unsigned mode = 0755);

bool FileExists(const std::string& path);        // a regular file (symbolic links followed)
bool FolderExists(const std::string& path);
std::int64_t FileSize(const std::string& path);  // -1 when there is no such regular file

// Ensures a trailing '/'.
std::string WithSlash(std::string path);

}  // namespace platform
