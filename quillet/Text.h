#pragma once
#include <string>
#include <string_view>

#include "quillet/TextCodec.h"

namespace quillet {

// A TEXT value; Params keeps the property's parameters (LANGUAGE, ALTREP …) for writing back.
class Text {
public:
    Text() = default;
    explicit Text(std::string v) : value_(std::move(v)) {}

    const std::string& Value() const { return value_; }
    void SetValue(std::string v) { value_ = std::move(v); }
    const std::string& Params() const { return params_; }
    void SetParams(std::string p) { params_ = std::move(p); }

    void Reset() { value_.clear(); params_.clear(); }
    void TryParse(std::string_view s) { value_ = UnescapeText(s); }
    std::string ToString() const { return EscapeText(value_); }

private:
    std::string value_;
    std::string params_;
};

}  // namespace quillet
