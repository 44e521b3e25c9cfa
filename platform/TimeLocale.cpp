#include "platform/TimeLocale.h"

#include <vector>

namespace platform {

TTimeLocale::TTimeLocale() {
    FLocale = newlocale(LC_TIME_MASK, "", static_cast<locale_t>(nullptr));
    if (!FLocale) FLocale = newlocale(LC_TIME_MASK, "C", static_cast<locale_t>(nullptr));
}

TTimeLocale::TTimeLocale(const std::string& name) {
    FLocale = newlocale(LC_TIME_MASK, name.c_str(), static_cast<locale_t>(nullptr));
    if (!FLocale) FLocale = newlocale(LC_TIME_MASK, "C", static_cast<locale_t>(nullptr));
}

TTimeLocale::~TTimeLocale() {
    if (FLocale) freelocale(FLocale);
}

std::string TTimeLocale::ShortDateFormat() const {
    std::string f = Info(D_FMT);
    return WidenYear(ExpandTimeFormat(f.empty() ? "%m/%d/%y" : f, this));
}

std::string TTimeLocale::LongTimeFormat() const {
    std::string f = Info(T_FMT);
    return ExpandTimeFormat(f.empty() ? "%H:%M:%S" : f, this);
}

std::string TTimeLocale::Format(const std::string& strftimeFormat, const std::tm& tm) const {
    if (strftimeFormat.empty()) return {};
    std::vector<char> buf(128);
    for (int i = 0; i < 8; ++i) {
        std::size_t n = FLocale ? strftime_l(buf.data(), buf.size(), strftimeFormat.c_str(), &tm, FLocale)
                                : strftime(buf.data(), buf.size(), strftimeFormat.c_str(), &tm);
        if (n > 0) return std::string(buf.data(), n);
        buf.resize(buf.size() * 4);
    }
    return {};
}

std::string TTimeLocale::Info(nl_item item) const {
    const char* v = FLocale ? nl_langinfo_l(item, FLocale) : nullptr;
    return v ? std::string(v) : std::string();
}

std::string ExpandTimeFormat(const std::string& format, const TTimeLocale* locale) {
    auto fromLocale = [&](nl_item item, const char* fallback) {
        std::string v = locale ? locale->Info(item) : std::string();
        // A locale item may itself use composites; one level of expansion is all they ever need.
        return v.empty() || v.find("%r") != std::string::npos || v.find("%X") != std::string::npos
                   ? std::string(fallback) : ExpandTimeFormat(v, nullptr);
    };
    std::string out;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%' || i + 1 >= format.size()) {
            out += format[i];
            continue;
        }
        // Modifiers (%E, %O) and glibc flags stay with their conversion.
        std::size_t j = i + 1;
        while (j < format.size() && (format[j] == 'E' || format[j] == 'O' || format[j] == '_' ||
                                     format[j] == '-' || format[j] == '0' || format[j] == '^' || format[j] == '#'))
            ++j;
        if (j >= format.size()) {
            out += format.substr(i);
            break;
        }
        char c = format[j];
        switch (c) {
            case 'r': out += fromLocale(T_FMT_AMPM, "%I:%M:%S %p"); break;
            case 'X': out += fromLocale(T_FMT, "%H:%M:%S"); break;
            case 'x': out += fromLocale(D_FMT, "%m/%d/%y"); break;
            case 'T': out += "%H:%M:%S"; break;
            case 'R': out += "%H:%M"; break;
            case 'D': out += "%m/%d/%y"; break;
            default: out += format.substr(i, j - i + 1); break;
        }
        i = j;
    }
    return out;
}

std::string WidenYear(const std::string& format) {
    std::string out;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size()) {
            out += '%';
            out += format[i + 1] == 'y' ? 'Y' : format[i + 1];
            ++i;
        } else {
            out += format[i];
        }
    }
    return out;
}

bool UsesAmPm(const std::string& timeFormat) {
    std::string f = ExpandTimeFormat(timeFormat);
    for (std::size_t i = 0; i + 1 < f.size(); ++i) {
        if (f[i] != '%') continue;
        char c = f[i + 1];
        if (c == 'p' || c == 'P' || c == 'I' || c == 'l') return true;
        ++i;
    }
    return false;
}

}  // namespace platform
