#include "CoreTestSupport.h"

#include "orvelle/core/Provision.h"
#include "orvelle/core/Startup.h"
#include "platform/InstanceLock.h"

#include <sys/stat.h>

using namespace coretest;
using orvelle::TDeskWindow;

namespace {

struct FakeWindow : TDeskWindow {
    explicit FakeWindow(std::string caption) : FCaption(std::move(caption)) {}
    void RefreshWindow() override { ++Refreshes; }
    void ShowWindow() override { Visible = true; }
    std::string Caption() const override { return FCaption; }
    void SetCaption(const std::string& caption) override { FCaption = caption; }
    std::string FCaption;
    bool Visible = false;
    int Refreshes = 0;
};

// The window layer as the tests see it: records what the sequence asks of it.
class RecordingStartup : public orvelle::TStartupSequence {
public:
    std::vector<std::string> Calls;
    std::vector<std::string> Errors;
    int OsGeneration = 7;
    bool FirstRun = false;
    bool ThrowInCalendarForm = false;
    FakeWindow Month{"Calendar"}, Appointments{"Events"}, Tasks{"To-do"};
    std::vector<TDeskWindow*> DeskWindowsDuringLoop;
    std::vector<std::string> VisibleDuringLoop;
    std::function<void()> DuringLoop;

protected:
    void InitialiseApplication() override { Calls.push_back("init"); }
    void ShowErrorBox(const std::string& message) override { Errors.push_back(message); }
    void ShowPlatformError(const std::string& text, const std::string& caption) override {
        Calls.push_back("platform error: " + caption + ": " + text);
    }
    int QueryOsGeneration() override { return OsGeneration; }
    void SetApplicationTitle(const std::string& title) override { Calls.push_back("title " + title); }
    TDeskWindow* CreateCalendarForm() override {
        Calls.push_back("month");
        if (ThrowInCalendarForm) throw std::runtime_error("no skin");
        FirstRun = orvelle::LoadOrPrepareCalendarList();
        return &Month;
    }
    TDeskWindow* CreateAppointmentForm() override { Calls.push_back("events"); return &Appointments; }
    TDeskWindow* CreateTaskForm() override { Calls.push_back("todo"); return &Tasks; }
    void ShowDesktop() override { Calls.push_back("show desktop"); }
    int RunMessageLoop() override {
        Calls.push_back("loop");
        DeskWindowsDuringLoop = orvelle::DeskWindows();
        for (FakeWindow* w : {&Month, &Appointments, &Tasks})
            if (w->Visible) VisibleDuringLoop.push_back(w->Caption());
        if (DuringLoop) DuringLoop();
        return 0;
    }
    void DestroyWindows() override { Calls.push_back("destroy"); }
};

}  // namespace

class CoreStartup : public CoreUser {};

TEST_F(CoreStartup, FreshAccountStartsFromTheInstalledDefaults) {
    RecordingStartup app;
    ASSERT_FALSE(Exists(Data("")));
    EXPECT_EQ(app.Run(), 0);
    EXPECT_TRUE(app.Errors.empty()) << app.Errors.front();
    EXPECT_TRUE(app.FirstRun);
    for (const char* name : {"Setting.xml", "callist.xml", "color.ini", "category.ini", "install.ini", "app.log"})
        EXPECT_TRUE(Exists(Data(name))) << name;
    EXPECT_TRUE(Exists(Docs("default.ics")));
    EXPECT_TRUE(Exists(Docs("US Holidays.ics")));
    EXPECT_EQ(Mode(Data("")), 0700u);

    EXPECT_EQ(app.Calls, (std::vector<std::string>{"init", "title Orvelle", "month", "events", "todo",
                                                    "show desktop", "loop", "destroy"}));
    EXPECT_EQ(app.Month.Caption(), "Calendar- running");
    // Refresh order: month, to-do, event list.
    EXPECT_EQ(app.DeskWindowsDuringLoop,
              (std::vector<TDeskWindow*>{&app.Month, &app.Tasks, &app.Appointments}));
    EXPECT_EQ(app.VisibleDuringLoop, (std::vector<std::string>{"Calendar- running", "Events", "To-do"}));
    EXPECT_TRUE(orvelle::DeskWindows().empty());
    EXPECT_EQ(orvelle::GUITools, nullptr);

    std::string log = ReadFile(Data("app.log"));
    EXPECT_NE(log.find(" Application start:version is " ORVELLE_VERSION "\r\n"), std::string::npos);
    EXPECT_NE(log.find("   Installed default copied: Setting.xml\r\n"), std::string::npos);
    EXPECT_NE(log.find("   Finish to create calendar setting\r\n"), std::string::npos);

    // The next start finds everything in place: no copies, no first run.
    RecordingStartup again;
    EXPECT_EQ(again.Run(), 0);
    EXPECT_FALSE(again.FirstRun);
    EXPECT_EQ(ReadFile(Data("app.log")).find("Installed default copied"), std::string::npos);
}

TEST_F(CoreStartup, WindowsShownAsTheSettingsAsk) {
    Install("Setting.xml");
    {
        std::string s = ReadFile(Data("Setting.xml"));
        auto replace = [&](const std::string& from, const std::string& to) { s.replace(s.find(from), from.size(), to); };
        replace("<DisplayAppointment>True<", "<DisplayAppointment>False<");
        replace("<Desktop>True<", "<Desktop>False<");
        replace("<Normal>False<", "<Normal>True<");
        WriteFile(Data("Setting.xml"), s);
    }
    RecordingStartup app;
    EXPECT_EQ(app.Run(), 0);
    EXPECT_EQ(app.VisibleDuringLoop, (std::vector<std::string>{"Calendar- running", "To-do"}));
    EXPECT_EQ(std::count(app.Calls.begin(), app.Calls.end(), "show desktop"), 0);
}

TEST_F(CoreStartup, SecondCopyEndsSilently) {
    RecordingStartup first;
    RecordingStartup second;
    int secondResult = -1;
    std::string logDuringFirst;
    first.DuringLoop = [&] {
        logDuringFirst = ReadFile(Data("app.log"));
        secondResult = second.Run();
    };
    EXPECT_EQ(first.Run(), 0);
    EXPECT_EQ(secondResult, 0);
    EXPECT_EQ(second.Calls, (std::vector<std::string>{"init"}));
    EXPECT_TRUE(second.Errors.empty());
    // The second copy touched nothing; the first one's log holds only its own lines.
    EXPECT_EQ(ReadFile(Data("app.log")).find("Application start", logDuringFirst.size()), std::string::npos);
}

TEST_F(CoreStartup, OldSystemIsRefused) {
    for (int generation : {-1, 0, 4}) {
        RecordingStartup app;
        app.OsGeneration = generation;
        EXPECT_EQ(app.Run(), 1);
        EXPECT_EQ(app.Calls, (std::vector<std::string>{
                                 "init", "platform error: Platform error: The application must run on  windows "
                                         "2000 or higher."}));
        EXPECT_FALSE(Exists(Data("app.log")));
    }
    RecordingStartup app;
    app.OsGeneration = 5;
    EXPECT_EQ(app.Run(), 0);
}

TEST_F(CoreStartup, BrokenSettingsReachTheErrorHandlerAndEndTheStart) {
    std::filesystem::create_directories(Home.Dir / "data");
    WriteFile(Data("Setting.xml"), "<setting><GeneralSetting>");
    RecordingStartup app;
    EXPECT_EQ(app.Run(), 1);
    ASSERT_EQ(app.Errors.size(), 1u);
    EXPECT_NE(app.Errors[0].find("not a well-formed XML file"), std::string::npos);
    EXPECT_EQ(std::count(app.Calls.begin(), app.Calls.end(), "month"), 0);
    EXPECT_NE(ReadFile(Data("app.log")).find(" Exception:\"" + Data("Setting.xml")), std::string::npos);
    EXPECT_EQ(ReadFile(Data("Setting.xml")), "<setting><GeneralSetting>");  // never replaced
}

TEST_F(CoreStartup, ErrorInWindowCreationIsReportedNotCrashed) {
    RecordingStartup app;
    app.ThrowInCalendarForm = true;
    EXPECT_EQ(app.Run(), 1);
    EXPECT_EQ(app.Errors, (std::vector<std::string>{"no skin"}));
    EXPECT_NE(ReadFile(Data("app.log")).find(" Exception:no skin\r\n"), std::string::npos);
}

TEST_F(CoreStartup, ErrorsWhileRunningAreLoggedAndTheProgramGoesOn) {
    RecordingStartup app;
    app.DuringLoop = [&] {
        orvelle::HandleApplicationError("boom");
        orvelle::RefreshAll();
    };
    EXPECT_EQ(app.Run(), 0);
    EXPECT_EQ(app.Errors, (std::vector<std::string>{"boom"}));
    EXPECT_NE(ReadFile(Data("app.log")).find(" Exception:boom\r\n"), std::string::npos);
    EXPECT_EQ(app.Month.Refreshes, 1);
    EXPECT_EQ(app.Tasks.Refreshes, 1);
}

TEST_F(CoreStartup, ProvisioningCopiesOnlyWhatIsMissing) {
    Install("Setting.xml");
    WriteFile(Data("Setting.xml"), "mine");
    WriteFile(Data("install.ini"), "");
    chmod(Share("color.ini").c_str(), 0444);
    auto result = orvelle::ProvisionInstallation(Home.Dir / "share/", Home.Dir / "data/",
                                                 {"Setting.xml", "callist.xml", "color.ini", "nothere.xml"});
    EXPECT_EQ(result.Copied, (std::vector<std::string>{"callist.xml", "color.ini"}));
    ASSERT_EQ(result.Failed.size(), 1u);
    EXPECT_EQ(result.Failed[0].rfind("nothere.xml", 0), 0u);
    EXPECT_EQ(ReadFile(Data("Setting.xml")), "mine");
    EXPECT_EQ(Mode(Data("color.ini")), 0644u);
    // A list copied afresh still points at the installed placeholders: the first run must adapt it.
    EXPECT_FALSE(Exists(Data("install.ini")));
}

TEST_F(CoreStartup, MissingInstalledDataIsReportedClearly) {
    ScopedEnv noShare("ORVELLE_SHARE_DIR", Home.Dir / "empty");
    std::filesystem::create_directories(Home.Dir / "empty");
    RecordingStartup app;
    EXPECT_EQ(app.Run(), 1);
    ASSERT_EQ(app.Errors.size(), 1u);
    EXPECT_NE(app.Errors[0].find("Setting.xml"), std::string::npos);
    EXPECT_NE(ReadFile(Data("app.log")).find("Installed default not copied: Setting.xml"), std::string::npos);
}
