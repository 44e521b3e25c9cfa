#pragma once
#include <string>
#include <vector>

namespace platform {

// Starts a program detached from this process (its own session; never a zombie of ours), without a
// shell, so no argument is ever interpreted. stdinData, when given, is what the program reads from
// its standard input (at most 60000 bytes; secrets go this way rather than on the command line);
// otherwise its standard input is /dev/null. Returns false, with the reason in *error, when the
// program could not be started.
bool StartDetached(const std::string& program, const std::vector<std::string>& arguments,
                   const std::string* stdinData = nullptr, std::string* error = nullptr);

// The full path of a program found through $PATH (or the program itself when it holds a '/'); empty
// when there is none that may be run.
std::string FindProgram(const std::string& name);

}  // namespace platform
