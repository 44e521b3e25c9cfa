#pragma once
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "quillet/DateValue.h"
#include "quillet/LibraryError.h"
#include "quillet/iCalendar.h"

namespace quillet::test {

// Simulates a host time zone for the lifetime of the object.
class ScopedTZ {
public:
    explicit ScopedTZ(const char* tz) {
        if (const char* old = std::getenv("TZ")) old_ = old, had_ = true;
        setenv("TZ", tz, 1);
        tzset();
    }
    ~ScopedTZ() {
        if (had_) setenv("TZ", old_.c_str(), 1);
        else unsetenv("TZ");
        tzset();
    }

private:
    std::string old_;
    bool had_ = false;
};

inline DateValue DV(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return FieldsToValue({y, mo, d, h, mi, s});
}

inline std::string Iso(DateValue v) { return FormatIsoDateTime(ValueToFields(v)); }

// A fresh folder under the system temp dir, removed at the end of the test.
class TempDir {
public:
    TempDir() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "quillet-XXXXXX").string();
        path_ = mkdtemp(tmpl.data());
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(path_, ec);
    }
    std::string File(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

// The LibraryError that f raises; a test failure when it raises none.
template <typename F>
LibraryError CatchError(F&& f) {
    try {
        f();
    } catch (const LibraryError& e) {
        return e;
    }
    ADD_FAILURE() << "no LibraryError raised";
    return LibraryError(0, "", "");
}

// A calendar parsed from the lines between BEGIN:VCALENDAR and END:VCALENDAR.
inline iCalendarPtr Parse(const std::string& inner) {
    auto cal = iCalendar::Create();
    cal->TryParse("BEGIN:VCALENDAR\r\n" + inner + "END:VCALENDAR\r\n");
    return cal;
}

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& data);
std::string Fixture(const std::string& name);

}  // namespace quillet::test
