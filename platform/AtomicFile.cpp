#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace platform {

namespace {

std::string Reason(int err) { return std::strerror(err); }

// Follows symbolic links so that replacing the file does not replace a link the user made.
std::string ResolveTarget(const std::string& path) {
    std::string current = path;
    for (int depth = 0; depth < 16; ++depth) {
        struct stat st {};
        if (lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
        std::vector<char> buf(PATH_MAX);
        ssize_t n = readlink(current.c_str(), buf.data(), buf.size() - 1);
        if (n <= 0) return current;
        std::string target(buf.data(), n);
        if (target[0] != '/') {
            std::size_t slash = current.rfind('/');
            target = (slash == std::string::npos ? std::string() : current.substr(0, slash + 1)) + target;
        }
        current = target;
    }
    return current;
}

mode_t DefaultMode() {
    mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        ssize_t n = write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

void WriteFileAtomic(const std::string& path, const std::string& bytes, const AtomicWriteOptions& options) {
    const std::string target = ResolveTarget(path);
    std::size_t slash = target.rfind('/');
    std::string folder = slash == std::string::npos ? std::string(".") : target.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? target : target.substr(slash + 1);

    mode_t mode = options.Mode >= 0 ? static_cast<mode_t>(options.Mode) : DefaultMode();
    struct stat old {};
    if (!options.ForceMode && stat(target.c_str(), &old) == 0) mode = old.st_mode & 07777;

    // A leading dot keeps the temporary file out of folder listings that skip hidden names.
    std::string tmpl = folder + "." + name + ".tmp-XXXXXX";
    std::vector<char> tmp(tmpl.begin(), tmpl.end());
    tmp.push_back('\0');
    int fd = mkostemp(tmp.data(), O_CLOEXEC);
    if (fd < 0) throw FileError("Cannot write \"" + path + "\": " + Reason(errno));
    const std::string tmpPath(tmp.data());

    auto fail = [&](int err) {
        close(fd);
        unlink(tmpPath.c_str());
        throw FileError("Cannot write \"" + path + "\": " + Reason(err));
    };
    if (fchmod(fd, mode) != 0) fail(errno);
    if (!WriteAll(fd, bytes.data(), bytes.size())) fail(errno);
    if (options.Durable && fsync(fd) != 0) fail(errno);
    if (close(fd) != 0) {
        int err = errno;
        unlink(tmpPath.c_str());
        throw FileError("Cannot write \"" + path + "\": " + Reason(err));
    }
    if (rename(tmpPath.c_str(), target.c_str()) != 0) {
        int err = errno;
        unlink(tmpPath.c_str());
        throw FileError("Cannot write \"" + path + "\": " + Reason(err));
    }
    if (options.Durable) {
        int dfd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dfd >= 0) {
            fsync(dfd);
            close(dfd);
        }
    }
}

bool TryReadWholeFile(const std::string& path, std::string& bytes) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        close(fd);
        errno = EISDIR;
        return false;
    }
    std::string out;
    char buf[65536];
    for (;;) {
        ssize_t n = read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            int err = errno;
            close(fd);
            errno = err;
            return false;
        }
        if (n == 0) break;
        out.append(buf, static_cast<std::size_t>(n));
    }
    close(fd);
    bytes.swap(out);
    return true;
}

std::string ReadWholeFile(const std::string& path) {
    std::string bytes;
    if (!TryReadWholeFile(path, bytes)) throw FileError("Cannot read \"" + path + "\": " + Reason(errno));
    return bytes;
}

}  // namespace platform
