#pragma once
#include <string>

namespace platform {

// One running copy per user: an exclusive flock on "<name>.lock" in the user's runtime folder
// ($XDG_RUNTIME_DIR, else a private /tmp/orvelle-<uid>/). The lock is held until Release or the
// object's end, and is released by the system when the process ends, even after a crash. The file
// descriptor is not inherited by started programs, so a running sync runner never keeps it.
class TInstanceLock {
public:
    TInstanceLock() = default;
    ~TInstanceLock();
    TInstanceLock(const TInstanceLock&) = delete;
    TInstanceLock& operator=(const TInstanceLock&) = delete;

    enum class Result { Acquired, HeldElsewhere, Unavailable };

    // Unavailable: no lock file could be made (no usable runtime folder); the caller decides.
    Result Acquire(const std::string& name);
    bool Held() const { return FFd >= 0; }
    void Release();

    static std::string LockPath(const std::string& name);

private:
    int FFd = -1;
};

}  // namespace platform
