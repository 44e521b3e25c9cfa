#pragma once
#include <string>

namespace quillet {

// Whole-file read; raises LibraryError 53 when the file is missing, 75 when it cannot be read.
std::string ReadWholeFile(const std::string& path);

// Writes a temporary file beside the target and renames it over the target, so that a failed
// write leaves the old file whole. Raises LibraryError 75 or 57 on failure.
void WriteFileAtomic(const std::string& path, const std::string& data);

}  // namespace quillet
