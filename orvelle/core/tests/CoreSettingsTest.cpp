#include "CoreTestSupport.h"

#include "platform/AtomicFile.h"

#include <sys/stat.h>

using namespace coretest;
using orvelle::EConvertError;
using orvelle::EXmlFileError;
using orvelle::Settings;

class CoreSettings : public CoreUser {
protected:
    // A settings file whose groups hold only what is given.
    void WriteSettings(const std::string& general, const std::string& rest = {}) {
        WriteFile(Data("Setting.xml"), "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<setting><GeneralSetting>" +
                                            general + "</GeneralSetting>" + rest + "</setting>\n");
    }
};

TEST_F(CoreSettings, InstalledFileHoldsEveryElementWithItsDefaults) {
    Install("Setting.xml");
    Tools();
    orvelle::LoadSettings();
    auto g = Settings().GeneralSetting();
    EXPECT_FALSE(g.RunAtStartup());
    EXPECT_FALSE(g.HourlyTimeAnnouncement());
    EXPECT_EQ(g.ReminderWav(), "");
    EXPECT_EQ(g.FirstDayOfWeek(), 0);
    EXPECT_TRUE(g.DisplayAppointment());
    EXPECT_TRUE(g.DisplayTask());
    EXPECT_FALSE(g.DisplayWeather());
    EXPECT_FALSE(g.DisplayNote());
    EXPECT_EQ(g.SyncGoogleInterval(), 10);
    EXPECT_TRUE(g.IsStartFromSunday());
    auto a = Settings().AppearenceSetting();
    EXPECT_EQ(a.StyleName(), "Trans(white_small)");
    EXPECT_EQ(a.Transparent(), 8);
    EXPECT_EQ(a.ConstantAlpha(), 204);
    EXPECT_EQ(a.WindowStyle(), "Desktop");
    EXPECT_FALSE(a.Normal());
    EXPECT_FALSE(a.Topmost());
    EXPECT_TRUE(a.Desktop());
    EXPECT_TRUE(a.Movable());
    auto w = Settings().Weather();
    EXPECT_EQ(w.Hours(), 12);
    EXPECT_TRUE(w.Notuseproxy());
    EXPECT_FALSE(w.Usehttpproxy());
    EXPECT_FALSE(w.Useproxy());
    EXPECT_EQ(w.Centigrade(), "True");
    EXPECT_EQ(w.Fahrenheit(), "False");
    EXPECT_EQ(w.Latitude(), "0.00");
    EXPECT_EQ(w.Longitude(), "0.00");
    EXPECT_EQ(w.Refreshinterval(), "True");
    EXPECT_EQ(w.Autosave(), "True");
    // Left empty so that the weather window applies its own defaults until a place is chosen.
    for (const std::string& text : {w.Weatherserver(), w.Cityname(), w.Station(), w.Url(), w.Proxyserver(),
                                    w.Proxyport(), w.Proxyusername(), w.Proxypassword()})
        EXPECT_EQ(text, "");
    auto t = Settings().Task();
    EXPECT_EQ(t.MaxTask(), 10);
    EXPECT_EQ(t.Task(), 0);
    EXPECT_FALSE(t.ShowTask());
    EXPECT_EQ(t.ShowTaskLevel(), -1);
    EXPECT_EQ(t.LastUsedCalendar(), "");
    auto ap = Settings().Appointment();
    EXPECT_EQ(ap.ShowTime(), 0);
    EXPECT_EQ(ap.Maxday(), 7);
    EXPECT_FALSE(ap.DefaultPst());

    // Reading everything created nothing: the installed file already has every element, written in
    // exactly the form a save produces.
    orvelle::SaveSettings();
    EXPECT_EQ(ReadFile(Data("Setting.xml")), ReadFile(Share("Setting.xml")));
}

TEST_F(CoreSettings, MissingElementIsCreatedEmptyAndDefaultsApply) {
    WriteSettings("<DisplayTask>True</DisplayTask>");
    Tools();
    orvelle::LoadSettings();
    EXPECT_EQ(Settings().GeneralSetting().SyncGoogleInterval(), 10);
    EXPECT_TRUE(Settings().GeneralSetting().IsStartFromSunday());
    EXPECT_EQ(Settings().Task().ShowTaskLevel(), -1);  // the Task group is missing as well
    orvelle::SaveSettings();
    std::string saved = ReadFile(Data("Setting.xml"));
    EXPECT_EQ(saved.rfind("<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<setting>\r\n", 0), 0u);
    EXPECT_NE(saved.find("    <SyncGoogleInterval />\r\n"), std::string::npos);
    EXPECT_NE(saved.find("  <Task>\r\n    <ShowTaskLevel />\r\n  </Task>\r\n"), std::string::npos);
    EXPECT_EQ(saved.find("\n\n"), std::string::npos);
    EXPECT_NE(saved.substr(0, 3), "\xEF\xBB\xBF");
}

TEST_F(CoreSettings, BooleanTextForms) {
    struct Case {
        const char* text;
        bool monday;
    } cases[] = {{"false", true}, {"0", true}, {"FALSE", true}, {"True", false}, {"tRuE", false},
                 {"1", false},    {"-3", false}, {"0.0", true}, {"", false}, {" false ", true}};
    for (const auto& c : cases) {
        WriteSettings(std::string("<IsStartFromSunday>") + c.text + "</IsStartFromSunday>");
        orvelle::SettingsDocument().LoadFromFile(Data("Setting.xml"));
        EXPECT_EQ(!Settings().GeneralSetting().IsStartFromSunday(), c.monday) << c.text;
    }
    WriteSettings("");  // absent: Sunday
    orvelle::SettingsDocument().LoadFromFile(Data("Setting.xml"));
    EXPECT_TRUE(Settings().GeneralSetting().IsStartFromSunday());
}

TEST_F(CoreSettings, WrittenValuesReadBackInTheirForms) {
    WriteSettings("");
    orvelle::SettingsDocument().LoadFromFile(Data("Setting.xml"));
    auto g = Settings().GeneralSetting();
    g.SetDisplayTask(true);
    g.SetDisplayWeather(false);
    g.SetSyncGoogleInterval(-15);
    g.SetReminderWav("/usr/share/sounds/a & b <c>.wav");
    Settings().Task().SetShowTaskLevel(2);
    orvelle::SettingsDocument().SaveToFile(Data("Setting.xml"));
    std::string saved = ReadFile(Data("Setting.xml"));
    EXPECT_NE(saved.find("<DisplayTask>True</DisplayTask>"), std::string::npos);
    EXPECT_NE(saved.find("<DisplayWeather>False</DisplayWeather>"), std::string::npos);
    EXPECT_NE(saved.find("<SyncGoogleInterval>-15</SyncGoogleInterval>"), std::string::npos);

    orvelle::SettingsDocument().LoadFromFile(Data("Setting.xml"));
    g = Settings().GeneralSetting();
    EXPECT_TRUE(g.DisplayTask());
    EXPECT_FALSE(g.DisplayWeather());
    EXPECT_EQ(g.SyncGoogleInterval(), -15);
    EXPECT_EQ(g.ReminderWav(), "/usr/share/sounds/a & b <c>.wav");
    EXPECT_EQ(Settings().Task().ShowTaskLevel(), 2);
}

TEST_F(CoreSettings, EmptyOrMalformedValuesRaiseConversionErrors) {
    WriteSettings("<DisplayTask></DisplayTask><FirstDayOfWeek>Monday</FirstDayOfWeek><SyncGoogleInterval>often</SyncGoogleInterval>",
                  "<AppearenceSetting><Transparent>99999999999</Transparent></AppearenceSetting>");
    orvelle::SettingsDocument().LoadFromFile(Data("Setting.xml"));
    auto g = Settings().GeneralSetting();
    try {
        g.DisplayTask();
        FAIL() << "an empty Boolean must not read";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "GeneralSetting/DisplayTask: '' is not a valid Boolean value");
    }
    EXPECT_THROW(g.FirstDayOfWeek(), EConvertError);
    EXPECT_THROW(g.SyncGoogleInterval(), EConvertError);  // a default only for an empty text
    EXPECT_THROW(g.RunAtStartup(), EConvertError);        // missing, so created empty
    EXPECT_THROW(Settings().AppearenceSetting().Transparent(), EConvertError);
}

TEST_F(CoreSettings, ConstantAlphaFromTransparent) {
    WriteSettings("");
    orvelle::SettingsDocument().LoadFromFile(Data("Setting.xml"));
    auto a = Settings().AppearenceSetting();
    struct Case {
        int transparent, alpha;
    } cases[] = {{10, 255}, {0, 0}, {8, 204}, {5, 127}, {11, 255}, {-1, 0}};
    for (const auto& c : cases) {
        a.SetTransparent(c.transparent);
        EXPECT_EQ(a.ConstantAlpha(), c.alpha) << c.transparent;
    }
}

TEST_F(CoreSettings, LoadFailuresAreClearAndKeepTheLoadedDocument) {
    Tools();
    EXPECT_THROW(orvelle::Settings(), std::logic_error);
    try {
        orvelle::LoadSettings();
        FAIL();
    } catch (const EXmlFileError& e) {
        EXPECT_NE(std::string(e.what()).find(Data("Setting.xml")), std::string::npos);
    }
    WriteSettings("<DisplayTask>True</DisplayTask>");
    orvelle::LoadSettings();
    WriteFile(Data("Setting.xml"), "<setting><GeneralSetting></setting>");
    EXPECT_THROW(orvelle::LoadSettings(), EXmlFileError);
    WriteFile(Data("Setting.xml"), "<settings/>");
    EXPECT_THROW(orvelle::LoadSettings(), EXmlFileError);
    EXPECT_TRUE(Settings().GeneralSetting().DisplayTask());
}

TEST_F(CoreSettings, ToggledButUnsavedChangeIsLostAtQuit) {
    Install("Setting.xml");
    Tools();
    orvelle::LoadSettings();
    auto g = Settings().GeneralSetting();
    g.SetDisplayAppointment(!g.DisplayAppointment());
    orvelle::ReleaseSettings();
    orvelle::LoadSettings();
    EXPECT_TRUE(Settings().GeneralSetting().DisplayAppointment());
}

TEST_F(CoreSettings, SaveIsAtomicAndAFailedSaveKeepsFileAndDocument) {
    Install("Setting.xml");
    Tools();
    orvelle::LoadSettings();
    Settings().AppearenceSetting().SetMovable(false);
    orvelle::SaveSettings();
    for (auto& e : std::filesystem::directory_iterator(Home.Dir / "data"))
        EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << e.path();
    const std::string before = ReadFile(Data("Setting.xml"));
    Settings().AppearenceSetting().SetMovable(true);
    EXPECT_THROW(orvelle::SettingsDocument().SaveToFile(Home.Dir / "no-folder/Setting.xml"), platform::FileError);
    EXPECT_EQ(ReadFile(Data("Setting.xml")), before);
    EXPECT_TRUE(Settings().AppearenceSetting().Movable());
}
