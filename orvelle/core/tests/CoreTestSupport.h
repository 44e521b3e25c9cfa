#pragma once
// A private user for core tests: fake home, data, documents and installed-data folders, and a
// GUITools on a fixed clock. Nothing reaches the real home folder.
#include "TestEnv.h"
#include "orvelle/core/GUITool.h"
#include "orvelle/core/Setting.h"
#include "orvelle/core/callist.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>

namespace coretest {

using namespace testenv;

// 2024-12-09 14:05:07 UTC.
inline std::chrono::system_clock::time_point FixedNow() {
    return std::chrono::system_clock::from_time_t(1733753107);
}

class CoreUser : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(Home.Dir / "Documents");
        std::filesystem::create_directories(Home.Dir / "share");
        std::filesystem::copy(ORVELLE_DATA_SOURCE, Home.Dir / "share",
                              std::filesystem::copy_options::recursive);
    }
    void TearDown() override {
        orvelle::ReleaseCalendarList();
        orvelle::ReleaseSettings();
        if (orvelle::GUITools == FTools.get()) orvelle::GUITools = nullptr;
    }

    // A GUITools for this user, made current.
    orvelle::TGUITools& Tools() {
        if (!FTools) {
            orvelle::TGUITools::TClock clock;
            clock.Now = [this] { return Now; };
            clock.TickCount = [this] { return Ticks; };
            FTools = std::make_unique<orvelle::TGUITools>(clock);
            orvelle::GUITools = FTools.get();
        }
        return *FTools;
    }
    void ResetTools() {
        if (orvelle::GUITools == FTools.get()) orvelle::GUITools = nullptr;
        FTools.reset();
    }

    std::string Data(const std::string& name) const { return Home.Dir / ("data/" + name); }
    std::string Docs(const std::string& name) const { return Home.Dir / ("Documents/" + name); }
    std::string Share(const std::string& name) const { return Home.Dir / ("share/" + name); }

    // Copies an installed file into the data folder, as an installation would.
    void Install(const std::string& name) {
        std::filesystem::create_directories(Home.Dir / "data");
        std::filesystem::copy_file(Share(name), Data(name), std::filesystem::copy_options::overwrite_existing);
    }

    FakeHome Home;
    ScopedEnv FDataDir{"ORVELLE_DATA_DIR", Home.Dir / "data"};
    ScopedEnv FDocsDir{"XDG_DOCUMENTS_DIR", Home.Dir / "Documents"};
    ScopedEnv FShareDir{"ORVELLE_SHARE_DIR", Home.Dir / "share"};
    ScopedEnv FTz{"TZ", "UTC"};
    ScopedEnv FLcAll{"LC_ALL", "C"};
    std::chrono::system_clock::time_point Now = FixedNow();
    std::uint32_t Ticks = 1000;

private:
    std::unique_ptr<orvelle::TGUITools> FTools;
};

}  // namespace coretest
