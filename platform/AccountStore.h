#pragma once
#include <string>

namespace platform {

// The stored account: a per-user file that only its owner may read (mode 0600, in a folder of mode
// 0700): $XDG_CONFIG_HOME/Tamblin/Profile/account.ini, section "Profile", keys "user" and "data".
// The values are stored as given; the caller encodes the password.
struct StoredAccount {
    std::string User;
    std::string Data;
};

std::string AccountFilePath();

// Both empty when there is no file or it cannot be read. A file that others could read is made
// private again before it is read.
StoredAccount ReadAccountFile();

// False when the file cannot be written; the old file is then unchanged.
bool WriteAccountFile(const StoredAccount& account);

}  // namespace platform
