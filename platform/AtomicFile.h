#pragma once
#include <stdexcept>
#include <string>

namespace platform {

// A file could not be read or written; what() names the file and the system's reason.
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct AtomicWriteOptions {
    // Permission bits for a new file; negative: 0666 less the umask. An existing file keeps its own,
    // unless ForceMode is set.
    int Mode = -1;
    bool ForceMode = false;
    // Flush to the disk before the rename, so a power loss leaves the old or the new content.
    bool Durable = true;
};

// Replaces the file's content as one step: the bytes go to a temporary file in the same folder,
// which is then renamed over the target, so readers (and a crash) see the old or the new content,
// never a part. A symbolic link is kept and its target replaced. Throws FileError; on failure the
// old file is untouched and no temporary file is left behind.
void WriteFileAtomic(const std::string& path, const std::string& bytes,
                     const AtomicWriteOptions& options = {});

// The whole file; throws FileError when it cannot be read.
std::string ReadWholeFile(const std::string& path);

// The whole file, or false when it cannot be read.
bool TryReadWholeFile(const std::string& path, std::string& bytes);

}  // namespace platform
