#include "platform/AtomicFile.h"
#include "platform/Folders.h"
#include "platform/IniFile.h"
#include "TestEnv.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

using namespace testenv;
namespace fs = std::filesystem;

TEST(PlatformFolders, DataFolderFollowsOverrideThenXdgThenHome) {
    FakeHome home;
    EXPECT_EQ(platform::DataFolder(), home.Home() + ".local/share/Tamblin/Quillet/");
    {
        ScopedEnv xdg("XDG_DATA_HOME", home.Dir / "xdg");
        EXPECT_EQ(platform::DataFolder(), home.Dir / "xdg/Tamblin/Quillet/");
        ScopedEnv over("ORVELLE_DATA_DIR", home.Dir / "mine");
        EXPECT_EQ(platform::DataFolder(), home.Dir / "mine/");
    }
}

TEST(PlatformFolders, DocumentsFolderFromUserDirsOrHome) {
    FakeHome home;
    EXPECT_EQ(platform::DocumentsFolder(), home.Home());
    WriteFile(home.Dir / ".config/user-dirs.dirs",
              "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_DOCUMENTS_DIR=\"$HOME/My Docs\"\n");
    EXPECT_EQ(platform::DocumentsFolder(), home.Home() + "My Docs/");
    WriteFile(home.Dir / ".config/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"/srv/docs\"\n");
    EXPECT_EQ(platform::DocumentsFolder(), "/srv/docs/");
    // A relative value is not allowed by the format and is ignored.
    WriteFile(home.Dir / ".config/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"docs\"\n");
    EXPECT_EQ(platform::DocumentsFolder(), home.Home());
    ScopedEnv env("XDG_DOCUMENTS_DIR", home.Dir / "envdocs");
    EXPECT_EQ(platform::DocumentsFolder(), home.Dir / "envdocs/");
}

TEST(PlatformFolders, InstalledDataFolderOverrideAndFallback) {
    FakeHome home;
    fs::create_directories(home.Dir / "src-data");
    // An installation's layout (bin/../share/orvelle) wins over the fallback; a build tree has it too.
    std::string beside = platform::ExecutableFolder() + "../share/orvelle";
    if (platform::FolderExists(beside)) {
        std::string real = fs::canonical(beside).string() + "/";
        EXPECT_EQ(platform::InstalledDataFolder(home.Dir / "src-data"), real);
        EXPECT_EQ(platform::InstalledDataFolder(home.Dir / "missing"), real);
    } else {
        EXPECT_EQ(platform::InstalledDataFolder(home.Dir / "src-data"), home.Dir / "src-data/");
        EXPECT_EQ(platform::InstalledDataFolder(home.Dir / "missing"), "");
    }
    ScopedEnv share("ORVELLE_SHARE_DIR", home.Dir / "share");
    EXPECT_EQ(platform::InstalledDataFolder(home.Dir / "src-data"), home.Dir / "share/");
}

TEST(PlatformFolders, EnsureFolderAndSizes) {
    TempDir dir;
    EXPECT_TRUE(platform::EnsureFolder(dir / "a/b/c"));
    EXPECT_TRUE(platform::FolderExists(dir / "a/b/c"));
    EXPECT_EQ(platform::FileSize(dir / "none"), -1);
    EXPECT_EQ(platform::FileSize(dir / "a"), -1);
    WriteFile(dir / "f", "12345");
    EXPECT_EQ(platform::FileSize(dir / "f"), 5);
}

TEST(PlatformAtomicFile, ReplacesContentAndKeepsMode) {
    TempDir dir;
    const std::string path = dir / "Setting.xml";
    platform::WriteFileAtomic(path, "one");
    EXPECT_EQ(ReadFile(path), "one");
    chmod(path.c_str(), 0640);
    platform::WriteFileAtomic(path, "two");
    EXPECT_EQ(ReadFile(path), "two");
    EXPECT_EQ(Mode(path), 0640u);
    platform::AtomicWriteOptions forced;
    forced.Mode = 0600;
    forced.ForceMode = true;
    platform::WriteFileAtomic(path, "three", forced);
    EXPECT_EQ(Mode(path), 0600u);
    // Nothing but the file itself is left in the folder.
    int entries = 0;
    for (auto& e : fs::directory_iterator(dir.Path())) (void)e, ++entries;
    EXPECT_EQ(entries, 1);
}

TEST(PlatformAtomicFile, FailureLeavesOldFileWhole) {
    TempDir dir;
    const std::string path = dir / "sub/callist.xml";
    EXPECT_THROW(platform::WriteFileAtomic(path, "x"), platform::FileError);
    fs::create_directories(dir / "sub");
    platform::WriteFileAtomic(path, "old content");
    if (geteuid() != 0) {  // root may write into a read-only folder
        chmod((dir / "sub").c_str(), 0500);
        EXPECT_THROW(platform::WriteFileAtomic(path, "new"), platform::FileError);
        chmod((dir / "sub").c_str(), 0700);
        EXPECT_EQ(ReadFile(path), "old content");
    }
    // A file standing where the folder should be makes the write fail without touching anything.
    WriteFile(dir / "plain", "p");
    EXPECT_THROW(platform::WriteFileAtomic(dir / "plain/x.ini", "x"), platform::FileError);
    EXPECT_EQ(ReadFile(dir / "plain"), "p");
}

TEST(PlatformAtomicFile, SymbolicLinkKeptTargetReplaced) {
    TempDir dir;
    fs::create_directories(dir / "dotfiles");
    WriteFile(dir / "dotfiles/Setting.xml", "old");
    fs::create_symlink(dir / "dotfiles/Setting.xml", dir / "Setting.xml");
    platform::WriteFileAtomic(dir / "Setting.xml", "new");
    EXPECT_TRUE(fs::is_symlink(dir / "Setting.xml"));
    EXPECT_EQ(ReadFile(dir / "dotfiles/Setting.xml"), "new");
}

TEST(PlatformIniFile, ReadsSectionsKeysAndBooleans) {
    platform::TIniFile ini;
    ini.LoadFromText("\xEF\xBB\xBF; comment\r\n[Sort]\r\nField0=Subject\r\nAscending0=1\r\nascending1=0\r\n"
                     "Count= 12 \r\nHex=$1F\r\nBad=abc\r\n\r\n[Other]\nKey=a=b\n");
    EXPECT_EQ(ini.ReadString("sort", "FIELD0"), "Subject");
    EXPECT_TRUE(ini.ReadBool("Sort", "Ascending0"));
    EXPECT_FALSE(ini.ReadBool("Sort", "Ascending1", true));
    EXPECT_TRUE(ini.ReadBool("Sort", "Ascending2", true));
    EXPECT_FALSE(ini.ReadBool("Sort", "Bad", false));
    EXPECT_EQ(ini.ReadInteger("Sort", "Count"), 12);
    EXPECT_EQ(ini.ReadInteger("Sort", "Hex"), 31);
    EXPECT_EQ(ini.ReadInteger("Sort", "Bad", -5), -5);
    EXPECT_EQ(ini.ReadString("Other", "Key"), "a=b");
    EXPECT_EQ(ini.ReadString("Missing", "Key", "dflt"), "dflt");
    EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"Sort", "Other"}));
    EXPECT_EQ(ini.ReadSection("Sort"),
              (std::vector<std::string>{"Field0", "Ascending0", "ascending1", "Count", "Hex", "Bad"}));
}

TEST(PlatformIniFile, WritesAndRoundTripsWithCommentsAndCrLf) {
    TempDir dir;
    const std::string path = dir / "formpos.ini";
    WriteFile(path, "; positions\n[CalendarForm]\nNormPos=1,2,3,4\n\n[TaskForm]\nFlags=0\n");
    platform::TIniFile ini(path);
    ini.WriteInteger("calendarform", "Flags", 2);
    ini.WriteBool("TaskForm", "Visible", true);
    ini.WriteString("AppointmentForm", "Note", "two\nlines");
    ini.Save();
    EXPECT_EQ(ReadFile(path),
              "; positions\r\n[CalendarForm]\r\nNormPos=1,2,3,4\r\nFlags=2\r\n\r\n[TaskForm]\r\nFlags=0\r\n"
              "Visible=1\r\n\r\n[AppointmentForm]\r\nNote=two lines\r\n");
    platform::TIniFile again(path);
    EXPECT_EQ(again.Text(), ReadFile(path));
    again.DeleteKey("TaskForm", "flags");
    again.EraseSection("APPOINTMENTFORM");
    EXPECT_FALSE(again.ValueExists("TaskForm", "Flags"));
    EXPECT_FALSE(again.SectionExists("AppointmentForm"));
    EXPECT_TRUE(again.ReadBool("TaskForm", "Visible"));
}

TEST(PlatformIniFile, MissingFileIsEmpty) {
    TempDir dir;
    platform::TIniFile ini(dir / "calendar.ini");
    EXPECT_TRUE(ini.ReadSections().empty());
    EXPECT_EQ(ini.ReadString("Sort", "Field0", "(none)"), "(none)");
    EXPECT_EQ(ini.Text(), "");
}
