#include "platform/TimeLocale.h"
#include "TestEnv.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using namespace testenv;

TEST(PlatformTimeLocale, AmPmDetection) {
    struct Case {
        const char* format;
        bool ampm;
    } cases[] = {
        {"%H:%M:%S", false}, {"%T", false}, {"%R", false}, {"%I:%M:%S %p", true},
        {"%r", true},        {"%l:%M %P", true}, {"%OH:%OM", false}, {"%%p %H", false},
    };
    for (const auto& c : cases) EXPECT_EQ(platform::UsesAmPm(c.format), c.ampm) << c.format;
}

TEST(PlatformTimeLocale, ExpandsCompositesAndWidensYear) {
    EXPECT_EQ(platform::ExpandTimeFormat("%T"), "%H:%M:%S");
    EXPECT_EQ(platform::ExpandTimeFormat("%D %%T"), "%m/%d/%y %%T");
    EXPECT_EQ(platform::WidenYear("%d/%m/%y"), "%d/%m/%Y");
    EXPECT_EQ(platform::WidenYear("%d.%m.%Y"), "%d.%m.%Y");
    EXPECT_EQ(platform::WidenYear("%%y"), "%%y");
}

// Real locales, compiled into a private folder: the machine need not have them installed.
class PlatformTimeLocaleReal : public ::testing::Test {
protected:
    void SetUp() override {
        if (CompiledLocales().empty()) GTEST_SKIP() << "localedef cannot build en_GB/en_US here";
    }
};

TEST_F(PlatformTimeLocaleReal, DayMonthYearAndTwelveHourLocales) {
    ScopedEnv locpath("LOCPATH", CompiledLocales());
    std::tm tm{};
    tm.tm_year = 2024 - 1900;
    tm.tm_mon = 11;
    tm.tm_mday = 9;
    tm.tm_hour = 14;
    tm.tm_min = 5;
    tm.tm_sec = 7;
    {
        ScopedEnv lc("LC_ALL", "en_GB.UTF-8");
        platform::TTimeLocale gb;
        EXPECT_EQ(gb.Format(gb.ShortDateFormat(), tm), "09/12/2024");
        EXPECT_EQ(gb.Format(gb.LongTimeFormat(), tm), "14:05:07");
        EXPECT_FALSE(platform::UsesAmPm(gb.LongTimeFormat()));
    }
    {
        ScopedEnv lc("LC_ALL", "en_US.UTF-8");
        platform::TTimeLocale us;
        EXPECT_EQ(us.Format(us.ShortDateFormat(), tm), "12/09/2024");
        EXPECT_EQ(us.Format(us.LongTimeFormat(), tm), "02:05:07 PM");
        EXPECT_TRUE(platform::UsesAmPm(us.LongTimeFormat()));
    }
    {
        ScopedEnv lc("LC_ALL", "xx_NOWHERE.UTF-8");
        platform::TTimeLocale fallback;
        EXPECT_EQ(fallback.Format(fallback.ShortDateFormat(), tm), "12/09/2024");
        EXPECT_EQ(fallback.Format(fallback.LongTimeFormat(), tm), "14:05:07");
    }
}
