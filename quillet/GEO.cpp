#include "quillet/GEO.h"

#include <charconv>
#include <cstdio>

#include "quillet/LibraryError.h"

namespace quillet {

namespace {
double ParseNumber(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    double v = 0;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (s.empty() || ec != std::errc() || p != s.data() + s.size())
        throw LibraryError(kErrFormat, "GEO", "Invalid Geo format");
    return v;
}
}  // namespace

void GEO::TryParse(std::string_view s) {
    Reset();
    size_t semi = s.find(';');
    if (semi == std::string_view::npos) throw LibraryError(kErrFormat, "GEO", "Invalid Geo format");
    latitude_ = ParseNumber(s.substr(0, semi));
    std::string_view rest = s.substr(semi + 1);
    longitude_ = ParseNumber(rest.substr(0, rest.find(';')));
}

std::string GEO::ToString() const {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.6f;%.6f", latitude_, longitude_);
    return buf;
}

}  // namespace quillet
