#pragma once
#include <string>

namespace quillet {

// An address as written in the file ("mailto:…"); Params keeps CN, ROLE, PARTSTAT and the rest.
class Cal_Address {
public:
    Cal_Address() = default;
    explicit Cal_Address(std::string v) : value_(std::move(v)) {}

    const std::string& Value() const { return value_; }
    void SetValue(std::string v) { value_ = std::move(v); }
    const std::string& Params() const { return params_; }
    void SetParams(std::string p) { params_ = std::move(p); }
    std::string EmailAddress() const { return value_.empty() ? std::string() : "mailto:" + value_; }

    void Reset() { value_.clear(); params_.clear(); }

private:
    std::string value_;
    std::string params_;
};

}  // namespace quillet
