#include "platform/AccountStore.h"
#include "platform/Autostart.h"
#include "platform/Desktop.h"
#include "platform/InstanceLock.h"
#include "platform/Process.h"
#include "platform/SystemInfo.h"
#include "TestEnv.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

using namespace testenv;
namespace fs = std::filesystem;
using Lock = platform::TInstanceLock;

namespace {
// Waits for a file that a started program writes.
std::string WaitForFile(const std::string& path, const std::string& expected) {
    for (int i = 0; i < 200; ++i) {
        std::string s = ReadFile(path);
        if (s == expected) return s;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return ReadFile(path);
}
}  // namespace

TEST(PlatformInstanceLock, SecondHolderIsRefusedUntilRelease) {
    FakeHome home;
    Lock first, second;
    ASSERT_EQ(first.Acquire("Orvelle"), Lock::Result::Acquired);
    EXPECT_EQ(Lock::LockPath("Orvelle"), home.Dir / "run/Orvelle.lock");
    EXPECT_EQ(second.Acquire("Orvelle"), Lock::Result::HeldElsewhere);
    EXPECT_EQ(second.Acquire("OrvelleLite"), Lock::Result::Acquired);

    // Another process sees the lock too.
    pid_t pid = fork();
    if (pid == 0) {
        Lock other;
        _exit(other.Acquire("Orvelle") == Lock::Result::HeldElsewhere ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    first.Release();
    Lock third;
    EXPECT_EQ(third.Acquire("Orvelle"), Lock::Result::Acquired);
}

TEST(PlatformInstanceLock, StartedProgramsDoNotInheritTheLock) {
    FakeHome home;
    std::string sleeper = platform::FindProgram("sleep");
    if (sleeper.empty()) GTEST_SKIP() << "no sleep program";
    {
        Lock lock;
        ASSERT_EQ(lock.Acquire("Orvelle"), Lock::Result::Acquired);
        ASSERT_TRUE(platform::StartDetached(sleeper, {"3"}));
    }
    // The first copy has ended; the program it started must not keep a new start from running.
    Lock next;
    EXPECT_EQ(next.Acquire("Orvelle"), Lock::Result::Acquired);
}

TEST(PlatformInstanceLock, FallbackRuntimeFolderIsPrivate) {
    FakeHome home;
    ScopedEnv noRuntime("XDG_RUNTIME_DIR", std::nullopt);
    std::string path = Lock::LockPath("Orvelle");
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(path, "/tmp/orvelle-" + std::to_string(getuid()) + "/Orvelle.lock");
    EXPECT_EQ(Mode("/tmp/orvelle-" + std::to_string(getuid())), 0700u);
}

TEST(PlatformAutostart, WritesQuotedEntryAndRemovesIt) {
    FakeHome home;
    const std::string entry = home.Dir / ".config/autostart/orvelle.desktop";
    EXPECT_TRUE(platform::RemoveAutostartEntry("orvelle"));  // nothing there: no change, no failure
    EXPECT_FALSE(Exists(entry));
    ASSERT_TRUE(platform::WriteAutostartEntry("orvelle", "Orvelle", "/opt/My Apps/orvelle"));
    std::string text = ReadFile(entry);
    EXPECT_NE(text.find("[Desktop Entry]\n"), std::string::npos);
    EXPECT_NE(text.find("Type=Application\n"), std::string::npos);
    EXPECT_NE(text.find("Exec=\"/opt/My Apps/orvelle\"\n"), std::string::npos);
    EXPECT_TRUE(platform::RemoveAutostartEntry("orvelle"));
    EXPECT_FALSE(Exists(entry));
    EXPECT_FALSE(platform::WriteAutostartEntry("orvelle", "Orvelle", "/bad\npath"));
}

TEST(PlatformAutostart, ExecQuotingOfReservedCharacters) {
    struct Case {
        const char* path;
        const char* value;
    } cases[] = {
        {"/usr/bin/orvelle", "\"/usr/bin/orvelle\""},
        {"/a b/100%/x", "\"/a b/100%%/x\""},
        {"/a$b/`c`", "\"/a\\\\$b/\\\\`c\\\\`\""},
        {"/q\"/x", "\"/q\\\\\"/x\""},
        {"/back\\slash", "\"/back\\\\\\\\slash\""},
    };
    for (const auto& c : cases) EXPECT_EQ(platform::DesktopExecQuote(c.path), c.value) << c.path;
}

TEST(PlatformAccountStore, FileIsPrivateAndRoundTrips) {
    FakeHome home;
    EXPECT_EQ(platform::ReadAccountFile().User, "");
    ASSERT_TRUE(platform::WriteAccountFile({"someone@example.org", "TRE_"}));
    const std::string path = platform::AccountFilePath();
    EXPECT_EQ(path, home.Dir / ".config/Tamblin/Profile/account.ini");
    EXPECT_EQ(Mode(path), 0600u);
    EXPECT_EQ(Mode(home.Dir / ".config/Tamblin/Profile"), 0700u);
    auto back = platform::ReadAccountFile();
    EXPECT_EQ(back.User, "someone@example.org");
    EXPECT_EQ(back.Data, "TRE_");

    // A file someone opened up is closed again, and a rewrite never widens it.
    chmod(path.c_str(), 0644);
    EXPECT_EQ(platform::ReadAccountFile().Data, "TRE_");
    EXPECT_EQ(Mode(path), 0600u);
    chmod(path.c_str(), 0644);
    ASSERT_TRUE(platform::WriteAccountFile({"x", "=<>"}));
    EXPECT_EQ(Mode(path), 0600u);
    EXPECT_EQ(platform::ReadAccountFile().Data, "=<>");
}

TEST(PlatformProcess, StartsWithoutShellAndFeedsStandardInput) {
    TempDir dir;
    std::string cp = platform::FindProgram("cp");
    ASSERT_FALSE(cp.empty());
    std::string secret = "p@ss word; $(rm -rf /)";
    ASSERT_TRUE(platform::StartDetached(cp, {"/dev/stdin", dir / "out"}, &secret));
    EXPECT_EQ(WaitForFile(dir / "out", secret), secret);

    // Arguments reach the program as they are, never interpreted.
    std::string touch = platform::FindProgram("touch");
    ASSERT_TRUE(platform::StartDetached(touch, {dir / "a b; touch evil"}));
    for (int i = 0; i < 100 && !Exists(dir / "a b; touch evil"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_TRUE(Exists(dir / "a b; touch evil"));
    EXPECT_FALSE(Exists(dir / "a"));

    std::string error;
    EXPECT_FALSE(platform::StartDetached(dir / "no-such-program", {}, nullptr, &error));
    EXPECT_NE(error.find("no-such-program"), std::string::npos);
}

TEST(PlatformDesktop, ShowDesktopUsesHandlerOrDoesNothing) {
    TempDir dir;
    ScopedEnv path("PATH", dir.Path());
    EXPECT_FALSE(platform::ShowDesktop());
    int calls = 0;
    platform::SetShowDesktopHandler([&] { return ++calls > 0; });
    EXPECT_TRUE(platform::ShowDesktop());
    EXPECT_EQ(calls, 1);
    platform::SetShowDesktopHandler(nullptr);
}

TEST(PlatformSystemInfo, ReportsASupportedSystem) {
    EXPECT_EQ(platform::OsGeneration(), 7);
    EXPECT_FALSE(platform::SystemDescription().empty());
}
