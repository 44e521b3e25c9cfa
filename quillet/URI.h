#pragma once
#include <string>

namespace quillet {

class URI {
public:
    URI() = default;
    explicit URI(std::string v) : value_(std::move(v)) {}

    const std::string& Value() const { return value_; }
    void SetValue(std::string v) { value_ = std::move(v); }
    const std::string& Params() const { return params_; }
    void SetParams(std::string p) { params_ = std::move(p); }

    void Reset() { value_.clear(); params_.clear(); }

private:
    std::string value_;
    std::string params_;
};

}  // namespace quillet
