#include "platform/InstanceLock.h"

#include "platform/Folders.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace platform {

namespace {

// A runtime folder must belong to us and be closed to others, or a second user could hold our lock.
bool PrivateFolder(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == getuid() &&
           (st.st_mode & 077) == 0;
}

std::string RuntimeFolder() {
    const char* x = std::getenv("XDG_RUNTIME_DIR");
    if (x && *x == '/' && FolderExists(x)) return WithSlash(x);
    std::string fallback = "/tmp/orvelle-" + std::to_string(getuid());
    mkdir(fallback.c_str(), 0700);
    return PrivateFolder(fallback) ? fallback + "/" : std::string();
}

}  // namespace

TInstanceLock::~TInstanceLock() { Release(); }

std::string TInstanceLock::LockPath(const std::string& name) {
    std::string folder = RuntimeFolder();
    return folder.empty() ? std::string() : folder + name + ".lock";
}

TInstanceLock::Result TInstanceLock::Acquire(const std::string& name) {
    if (FFd >= 0) return Result::Acquired;
    std::string path = LockPath(name);
    if (path.empty()) return Result::Unavailable;
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return Result::Unavailable;
    while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) continue;
        int err = errno;
        close(fd);
        return err == EWOULDBLOCK ? Result::HeldElsewhere : Result::Unavailable;
    }
    FFd = fd;
    return Result::Acquired;
}

void TInstanceLock::Release() {
    if (FFd < 0) return;
    flock(FFd, LOCK_UN);
    close(FFd);
    FFd = -1;
}

}  // namespace platform
