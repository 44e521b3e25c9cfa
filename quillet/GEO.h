#pragma once
#include <string>
#include <string_view>

namespace quillet {

class GEO {
public:
    static constexpr double kNotSet = 1000.0;

    double Latitude() const { return latitude_; }
    void SetLatitude(double v) { latitude_ = v; }
    double Longitude() const { return longitude_; }
    void SetLongitude(double v) { longitude_ = v; }

    void Reset() { latitude_ = longitude_ = kNotSet; }
    void TryParse(std::string_view s);
    std::string ToString() const;

private:
    double latitude_ = kNotSet, longitude_ = kNotSet;
};

}  // namespace quillet
