#include "platform/Process.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace platform {

namespace {

void SetError(std::string* error, const std::string& text) {
    if (error) *error = text;
}

}  // namespace

std::string FindProgram(const std::string& name) {
    if (name.empty()) return {};
    if (name.find('/') != std::string::npos) return access(name.c_str(), X_OK) == 0 ? name : std::string();
    const char* path = std::getenv("PATH");
    if (!path) return {};
    std::string p(path);
    std::size_t start = 0;
    while (start <= p.size()) {
        std::size_t end = p.find(':', start);
        std::string dir = p.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!dir.empty()) {
            std::string candidate = dir + "/" + name;
            if (access(candidate.c_str(), X_OK) == 0) return candidate;
        }
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return {};
}

bool StartDetached(const std::string& program, const std::vector<std::string>& arguments,
                   const std::string* stdinData, std::string* error) {
    if (stdinData && stdinData->size() > 60000) {
        SetError(error, "standard input data too large");
        return false;
    }
    // Everything the children need is prepared before fork: after it only async-signal-safe calls.
    std::vector<std::string> args;
    args.push_back(program);
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    int input[2] = {-1, -1};
    if (stdinData) {
        if (pipe2(input, O_CLOEXEC) != 0) {
            SetError(error, std::strerror(errno));
            return false;
        }
        // Written before the start, so the write can never meet a reader that has already gone.
        const char* data = stdinData->data();
        std::size_t left = stdinData->size();
        while (left > 0) {
            ssize_t n = write(input[1], data, left);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            data += n;
            left -= static_cast<std::size_t>(n);
        }
        close(input[1]);
        input[1] = -1;
    } else {
        input[0] = open("/dev/null", O_RDONLY | O_CLOEXEC);
    }

    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0) {
        SetError(error, std::strerror(errno));
        if (input[0] >= 0) close(input[0]);
        return false;
    }

    pid_t child = fork();
    if (child < 0) {
        SetError(error, std::strerror(errno));
        close(report[0]);
        close(report[1]);
        if (input[0] >= 0) close(input[0]);
        return false;
    }
    if (child == 0) {
        setsid();
        pid_t grandchild = fork();
        if (grandchild != 0) _exit(grandchild < 0 ? 1 : 0);
        if (input[0] >= 0) dup2(input[0], STDIN_FILENO);
        execv(program.c_str(), argv.data());
        int err = errno;
        ssize_t ignored = write(report[1], &err, sizeof err);
        (void)ignored;
        _exit(127);
    }
    close(report[1]);
    if (input[0] >= 0) close(input[0]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int err = 0;
    ssize_t n;
    do {
        n = read(report[0], &err, sizeof err);
    } while (n < 0 && errno == EINTR);
    close(report[0]);
    if (n == static_cast<ssize_t>(sizeof err)) {
        SetError(error, "cannot start \"" + program + "\": " + std::strerror(err));
        return false;
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        SetError(error, "cannot start \"" + program + "\"");
        return false;
    }
    return true;
}

}  // namespace platform
