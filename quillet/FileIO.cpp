#include "quillet/FileIO.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "quillet/LibraryError.h"

namespace quillet {

namespace {
[[noreturn]] void FileError(long number, const char* what, const std::string& path, int err) {
    throw LibraryError(number, "Quillet",
                       std::string(what) + ": " + path + " (" + std::strerror(err) + ")");
}
}  // namespace

std::string ReadWholeFile(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        int err = errno;
        FileError(err == ENOENT ? kErrFileNotFound : kErrPathAccess,
                  err == ENOENT ? "File not found" : "Path/File access error", path, err);
    }
    std::string data;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        FileError(kErrPathAccess, "Path/File access error", path, EISDIR);
    }
    if (st.st_size > 0) data.reserve(static_cast<size_t>(st.st_size));
    char buf[1 << 16];
    while (true) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            int err = errno;
            ::close(fd);
            FileError(kErrDeviceIO, "Device I/O error", path, err);
        }
        if (n == 0) break;
        data.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    return data;
}

void WriteFileAtomic(const std::string& path, const std::string& data) {
    std::string tmp = path + ".XXXXXX";
    int fd = ::mkstemp(tmp.data());
    if (fd < 0) FileError(kErrPathAccess, "Path/File access error", path, errno);
    // Keep the permissions of the file being replaced; a new file gets the usual 0644 less umask.
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        ::fchmod(fd, st.st_mode & 07777);
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }
    const char* p = data.data();
    size_t left = data.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            int err = errno;
            ::close(fd);
            ::unlink(tmp.c_str());
            FileError(kErrDeviceIO, "Device I/O error", path, err);
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        int err = errno;
        ::unlink(tmp.c_str());
        FileError(kErrDeviceIO, "Device I/O error", path, err);
    }
    if (::rename(tmp.c_str(), path.c_str()) != 0) {
        int err = errno;
        ::unlink(tmp.c_str());
        FileError(kErrPathAccess, "Path/File access error", path, err);
    }
}

}  // namespace quillet
