#include "CoreTestSupport.h"

#include "platform/Folders.h"

#include <sys/stat.h>

#include <random>

using namespace coretest;
using orvelle::TGUITools;

class CoreGUITools : public CoreUser {};

TEST_F(CoreGUITools, ConstructorResolvesFoldersAndLogsDocumentPath) {
    auto& t = Tools();
    EXPECT_EQ(t.DataFolder(), Home.Dir / "data/");
    EXPECT_EQ(t.DocumentFolder(), Home.Dir / "Documents/");
    EXPECT_TRUE(platform::FolderExists(t.DataFolder()));
    ASSERT_EQ(t.LogLines().size(), 1u);
    EXPECT_EQ(t.LogLines()[0], "12/09/2024 14:05:07   Document Path is " + Home.Dir / "Documents/");
    EXPECT_EQ(t.SkinFolder("Trans(white_small)"), Home.Dir / "data/skins/Trans(white_small)/");
    EXPECT_EQ(t.SpecialFolder(5), t.DocumentFolder());
    EXPECT_EQ(t.SpecialFolder(26), Home.Home() + ".local/share/");
    EXPECT_EQ(t.SpecialFolder(999), "");
    EXPECT_EQ(TGUITools::WindowsFolder(), Home.Dir / "share/");
}

TEST_F(CoreGUITools, LogLinesAndAppLogFile) {
    auto& t = Tools();
    t.Log("x");
    t.LogFmt("Exception:%s", "boom");
    t.LogFmt("%d calendars, %s", 3, "done");
    const std::vector<std::string> expected = {
        "12/09/2024 14:05:07   Document Path is " + Home.Dir / "Documents/",
        "12/09/2024 14:05:07   x",
        "12/09/2024 14:05:07 Exception:boom",
        "12/09/2024 14:05:07 3 calendars, done",
    };
    EXPECT_EQ(t.LogLines(), expected);
    std::string file;
    for (const auto& l : expected) file += l + "\r\n";
    EXPECT_EQ(ReadFile(Data("app.log")), file);

    // While logging is off nothing is collected and the file stays as it was.
    t.SetLoggingOn(false);
    t.Log("hidden");
    EXPECT_EQ(t.LogLines().size(), expected.size());
    EXPECT_EQ(ReadFile(Data("app.log")), file);
}

TEST_F(CoreGUITools, LogReplacesAppLogOfAnEarlierRun) {
    WriteFile(Data("app.log"), "old run\r\nmore\r\n");
    Tools().Log("new");
    std::string log = ReadFile(Data("app.log"));
    EXPECT_EQ(log.find("old run"), std::string::npos);
    EXPECT_NE(log.find("   new\r\n"), std::string::npos);
}

TEST_F(CoreGUITools, DayMonthYearLocaleStamps) {
    if (CompiledLocales().empty()) GTEST_SKIP() << "localedef cannot build en_GB here";
    ScopedEnv locpath("LOCPATH", CompiledLocales());
    ScopedEnv lc("LC_ALL", "en_GB.UTF-8");
    auto& t = Tools();
    t.Log("x");
    t.LogFmt("Exception:%s", "boom");
    EXPECT_EQ(t.LogLines()[1], "09/12/2024 14:05:07   x");
    EXPECT_EQ(t.LogLines()[2], "09/12/2024 14:05:07 Exception:boom");
    EXPECT_EQ(t.PickerTimeFormat(), "HH:mm");
}

TEST_F(CoreGUITools, PickerTimeFormatFollowsTheClockOfTheLocale) {
    if (CompiledLocales().empty()) GTEST_SKIP() << "localedef cannot build en_US here";
    ScopedEnv locpath("LOCPATH", CompiledLocales());
    ScopedEnv lc("LC_ALL", "en_US.UTF-8");
    auto& t = Tools();
    EXPECT_EQ(t.PickerTimeFormat(), "hh:mm tt");
    t.Log("x");
    EXPECT_EQ(t.LogLines()[1], "12/09/2024 02:05:07 PM   x");
}

TEST_F(CoreGUITools, MonitorLines) {
    auto& t = Tools();
    t.StartMonitor();
    Ticks += 250;
    t.LogMonitor("End Query date");
    // The tick count wraps after 49 days; the elapsed time must not.
    Ticks = 0xFFFFFF00u;
    t.StartMonitor();
    Ticks = 0x0000004Cu;
    t.LogMonitor("refresh is done");
    const auto& lines = t.LogLines();
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[1], "12/09/2024 14:05:07   MONITOR: Start Timer");
    EXPECT_EQ(lines[2], "12/09/2024 14:05:07   MONITOR:End Query date: time 250");
    EXPECT_EQ(lines[4], "12/09/2024 14:05:07   MONITOR:refresh is done: time 332");
}

TEST_F(CoreGUITools, TrimLibraryLogAtTheLimit) {
    auto& t = Tools();
    struct Case {
        std::size_t size;
        std::int64_t after;
    } cases[] = {{100001, 0}, {100000, 100000}, {5, 5}};
    for (const auto& c : cases) {
        WriteFile(Data("quilletlog.txt"), std::string(c.size, 'a'));
        t.TrimLibraryLog();
        EXPECT_EQ(TGUITools::FileSizeOf(Data("quilletlog.txt")), c.after) << c.size;
    }
    std::filesystem::remove(Data("quilletlog.txt"));
    t.TrimLibraryLog();
    EXPECT_FALSE(Exists(Data("quilletlog.txt")));
    EXPECT_EQ(TGUITools::FileSizeOf(Data("quilletlog.txt")), -1);
}

TEST(CoreAccountData, EncodingOfKnownTexts) {
    struct Case {
        const char* plain;
        const char* encoded;
    } cases[] = {{"abc", "TRE_"}, {"ab", "TRD"}, {"", ""}, {"a", "TL"}};
    for (const auto& c : cases) {
        EXPECT_EQ(orvelle::EncodeAccountData(c.plain), c.encoded) << c.plain;
        EXPECT_EQ(orvelle::DecodeAccountData(c.encoded), c.plain) << c.encoded;
    }
}

TEST(CoreAccountData, RoundTripOfAnyBytesAndDecodingRules) {
    std::mt19937 rng(7);
    for (int n = 0; n < 200; ++n) {
        std::string s(static_cast<std::size_t>(rng() % 40), '\0');
        for (char& c : s) c = static_cast<char>(rng() & 0xFF);
        std::string e = orvelle::EncodeAccountData(s);
        for (unsigned char c : e) ASSERT_TRUE(c >= '<' && c <= '{');
        ASSERT_EQ(orvelle::DecodeAccountData(e), s);
    }
    // A character below "<" is copied and restarts the grouping; the output is never longer.
    EXPECT_EQ(orvelle::DecodeAccountData("1TRE_"), "1abc");
    EXPECT_EQ(orvelle::DecodeAccountData("TRE_ TRD"), "abc ab");
    std::string odd = "\xFF\xFE\x80{{{";
    EXPECT_LE(orvelle::DecodeAccountData(odd).size(), odd.size());
    EXPECT_EQ(orvelle::EncodeAccountData(std::string(9000, 'x')).size(), 10000u);
}

TEST_F(CoreGUITools, StoredAccountIsEncodedAndPrivate) {
    auto& t = Tools();
    std::string user = "x", password = "y";
    t.ReadAccount(user, password);
    EXPECT_EQ(user, "");
    EXPECT_EQ(password, "");
    ASSERT_TRUE(t.WriteAccount("someone@example.org", "abc"));
    std::string path = Home.Dir / ".config/Tamblin/Profile/account.ini";
    std::string text = ReadFile(path);
    EXPECT_NE(text.find("data=TRE_"), std::string::npos);
    EXPECT_EQ(text.find("abc"), std::string::npos);
    EXPECT_EQ(Mode(path), 0600u);
    t.ReadAccount(user, password);
    EXPECT_EQ(user, "someone@example.org");
    EXPECT_EQ(password, "abc");
}

TEST_F(CoreGUITools, RunAtStartupEntry) {
    auto& t = Tools();
    const std::string entry = Home.Dir / ".config/autostart/orvelle.desktop";
    t.SetRunAtStartup(false);  // no entry: nothing changes, nothing reported
    EXPECT_FALSE(Exists(entry));
    t.SetRunAtStartup(true);
    EXPECT_NE(ReadFile(entry).find("Exec=\"" + platform::ExecutablePath() + "\""), std::string::npos);
    t.SetRunAtStartup(false);
    EXPECT_FALSE(Exists(entry));
}

TEST_F(CoreGUITools, VersionOfThisProgramOnly) {
    EXPECT_EQ(TGUITools::FileVersion(), ORVELLE_VERSION);
    EXPECT_EQ(TGUITools::VersionValue(platform::ExecutablePath(), "ProductName"), "Orvelle");
    EXPECT_EQ(TGUITools::VersionValue(platform::ExecutablePath(), "NoSuchKey"), "");
    WriteFile(Home.Dir / "other", "x");
    EXPECT_EQ(TGUITools::VersionValue(Home.Dir / "other", "FileVersion"), "");
    EXPECT_EQ(TGUITools::VersionValue(Home.Dir / "missing", "FileVersion"), "");
    EXPECT_EQ(TGUITools::OsGeneration(), 7);
}

TEST(CoreTextTests, IntegersNumbersAndUrlSegments) {
    struct IntCase {
        const char* text;
        bool integer;
        bool number;
    } cases[] = {
        {"12", true, true},      {"-7", true, true},      {"$1F", true, false},  {"0x1f", true, false},
        {"", false, false},      {"1.5", false, true},    {" 3", true, true},     {"3 ", false, true},
        {"abc", false, false},   {"2147483647", true, true}, {"2147483648", false, true},
        {"-2147483648", true, true}, {"1e3", false, true}, {"e3", false, false},  {".5", false, true},
        {"inf", false, false},   {"nan", false, false},   {"1,5", false, false}, {"$", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TGUITools::IsInteger(c.text), c.integer) << '"' << c.text << '"';
        EXPECT_EQ(TGUITools::IsNumber(c.text), c.number) << '"' << c.text << '"';
    }
    EXPECT_EQ(TGUITools::LastUrlSegment("http://host/calendar/feeds/abc"), "abc");
    EXPECT_EQ(TGUITools::LastUrlSegment("abc"), "abc");
    EXPECT_EQ(TGUITools::LastUrlSegment("a/b/"), "");
    EXPECT_EQ(TGUITools::LastUrlSegment(""), "");
}

TEST_F(CoreGUITools, ListSubfoldersNamesWithoutExtension) {
    std::filesystem::create_directories(Home.Dir / "skins/Trans(white_small)");
    std::filesystem::create_directories(Home.Dir / "skins/blue");
    std::filesystem::create_directories(Home.Dir / "skins/Aqua");
    WriteFile(Home.Dir / "skins/readme.txt", "x");
    std::vector<std::string> list = {"first"};
    TGUITools::ListSubfolders(Home.Dir / "skins", list);
    EXPECT_EQ(list, (std::vector<std::string>{"first", "Aqua", "blue", "Trans(white_small)"}));
    TGUITools::ListSubfolders(Home.Dir / "nothing-here", list);
    EXPECT_EQ(list.size(), 4u);
}
