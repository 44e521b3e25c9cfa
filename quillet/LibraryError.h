#pragma once
#include <stdexcept>
#include <string>

namespace quillet {

// The one failure type of the library: a number, the raising class and a fixed description.
class LibraryError : public std::runtime_error {
public:
    LibraryError(long number, std::string source, std::string description)
        : std::runtime_error(description), number_(number), source_(std::move(source)),
          description_(std::move(description)) {}

    long Number() const { return number_; }
    const std::string& Source() const { return source_; }
    const std::string& Description() const { return description_; }

private:
    long number_;
    std::string source_;
    std::string description_;
};

// Numbers shared across the library.
constexpr long kErrFormat = 777;
constexpr long kErrSubscript = 9;
constexpr long kErrFileNotFound = 53;
constexpr long kErrDeviceIO = 57;
constexpr long kErrPathAccess = 75;

}  // namespace quillet
