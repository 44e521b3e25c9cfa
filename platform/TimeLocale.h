#pragma once
#include <ctime>
#include <langinfo.h>
#include <locale.h>
#include <string>

namespace platform {

// The user's date and time conventions (LC_ALL, LC_TIME, LANG as the C library resolves them),
// held without touching the process-wide locale. An unknown locale falls back to "C".
class TTimeLocale {
public:
    TTimeLocale();  // the user's
    explicit TTimeLocale(const std::string& name);
    ~TTimeLocale();
    TTimeLocale(const TTimeLocale&) = delete;
    TTimeLocale& operator=(const TTimeLocale&) = delete;

    // strftime formats: the short date (the year always with four digits, as a log must not be
    // ambiguous) and the long time.
    std::string ShortDateFormat() const;
    std::string LongTimeFormat() const;

    std::string Format(const std::string& strftimeFormat, const std::tm& tm) const;

    // nl_langinfo of this locale; empty when the locale has no such item.
    std::string Info(nl_item item) const;

private:
    locale_t FLocale = nullptr;
};

// Expands the composite conversions (%r, %T, %R, %X, %D, %x, %c) of an strftime format into their
// parts, for the given locale.
std::string ExpandTimeFormat(const std::string& format, const TTimeLocale* locale = nullptr);

// A short date format with "%y" widened to "%Y".
std::string WidenYear(const std::string& format);

// True when the time format shows a 12-hour clock with a morning/afternoon marker.
bool UsesAmPm(const std::string& timeFormat);

}  // namespace platform
