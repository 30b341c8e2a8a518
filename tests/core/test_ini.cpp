// The settings file: private-profile reading rules, plain section names,
// unknown content kept across a rewrite, atomic replacement.
#include "TestUtil.h"
#include "model/IniFile.h"

#include <cstdlib>
#include <sys/stat.h>

namespace {

struct IntCase {
    const char* value;
    int expected;
};

class IniGetInt : public ::testing::TestWithParam<IntCase> {};

TEST_P(IniGetInt, ParsesLikeGetPrivateProfileInt) {
    CIniFile ini;
    ini.FromText(std::string("[Settings]\nPreviewPages=") + GetParam().value + "\n");
    EXPECT_EQ(ini.GetInt("Settings", "PreviewPages", 99), GetParam().expected) << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(Values, IniGetInt,
                         ::testing::Values(IntCase{"0", 0}, IntCase{"7", 7}, IntCase{"-3", -3},
                                           IntCase{"+12", 12}, IntCase{"42abc", 42},
                                           IntCase{"abc", 0}, IntCase{"", 0}, IntCase{"  5", 5}));

TEST(IniFile, MissingFileAndKeysGiveDefaults) {
    TempDir dir;
    CIniFile ini(dir.File("absent.ini"));
    ini.Load();
    EXPECT_EQ(ini.GetString("Recent File List", "File1"), "");
    EXPECT_EQ(ini.GetString("Recent File List", "File1", "x"), "x");
    EXPECT_EQ(ini.GetInt("Settings", "PreviewPages", 0), 0);
    EXPECT_FALSE(ini.HasSection("Settings"));
}

TEST(IniFile, NamesMatchWithoutCaseAndFirstKeyWins) {
    CIniFile ini;
    ini.FromText("[recent file list]\nfile1=/a.lfp\nFILE1=/b.lfp\n");
    EXPECT_EQ(ini.GetString("Recent File List", "File1"), "/a.lfp");
    ini.SetString("RECENT FILE LIST", "File1", "/c.lfp");
    EXPECT_EQ(ini.GetString("recent file list", "file1"), "/c.lfp");
}

TEST(IniFile, WritesSectionNamesWithSpacesPlainly) {
    CIniFile ini;
    ini.SetString("Recent File List", "File1", "/home/me/My Links.lfp");
    ini.SetInt("Settings", "PreviewPages", 3);
    EXPECT_EQ(ini.ToText(), "[Recent File List]\nFile1=/home/me/My Links.lfp\n\n"
                            "[Settings]\nPreviewPages=3\n");
}

TEST(IniFile, RewriteKeepsUnknownSectionsKeysAndComments) {
    TempDir dir;
    const std::string path = dir.File("linkfold.ini");
    WriteFileBytes(path, "; my notes\n[Other]\nKeep=yes\n\n[Recent File List]\nFile1=/old.lfp\n"
                         "File2=/older.lfp\n[Page0Layout]\nCol0=120\nExtra=1\n");
    CIniFile ini(path);
    ini.Load();
    ini.RemoveSection("Recent File List");
    ini.SetString("Recent File List", "File1", "/new.lfp");
    ini.SetInt("Page0Layout", "Col0", 150);
    ASSERT_TRUE(ini.Save());

    CIniFile back(path);
    back.Load();
    EXPECT_EQ(back.GetString("Other", "Keep"), "yes");
    EXPECT_EQ(back.GetString("Recent File List", "File1"), "/new.lfp");
    EXPECT_EQ(back.GetString("Recent File List", "File2"), "");
    EXPECT_EQ(back.GetInt("Page0Layout", "Col0", 0), 150);
    EXPECT_EQ(back.GetInt("Page0Layout", "Extra", 0), 1);
    EXPECT_NE(ReadFileBytes(path).find("; my notes"), std::string::npos);
}

TEST(IniFile, CrLfLinesAndSpacesAroundNamesAreRead) {
    CIniFile ini;
    ini.FromText("[ Settings ]\r\n  PreviewPages = 4 \r\n");
    EXPECT_EQ(ini.GetInt("Settings", "PreviewPages", 0), 4);
}

TEST(IniFile, SaveCreatesMissingFoldersAndReplacesAtomically) {
    TempDir dir;
    const std::string path = dir.File("config/sub/linkfold.ini");
    CIniFile ini(path);
    ini.SetString("Settings", "PreviewPages", "1");
    ASSERT_TRUE(ini.Save());
    EXPECT_EQ(ReadFileBytes(path), "[Settings]\nPreviewPages=1\n");
    // No temporary file is left beside it.
    int files = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.Path() / "config/sub")) {
        (void)e;
        ++files;
    }
    EXPECT_EQ(files, 1);
}

TEST(IniFile, SaveIntoUnwritablePlaceFailsAndKeepsOldFile) {
    TempDir dir;
    // A regular file where the folder should be: nothing can be created there.
    WriteFileBytes(dir.File("blocker"), "x");
    CIniFile ini(dir.File("blocker/linkfold.ini"));
    ini.SetString("Settings", "PreviewPages", "1");
    EXPECT_FALSE(ini.Save());
    EXPECT_EQ(ReadFileBytes(dir.File("blocker")), "x");
}

TEST(IniFile, DefaultPathFollowsXdgConfigHome) {
    const char* old = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = old ? old : "";
    ::setenv("XDG_CONFIG_HOME", "/tmp/lf-config-test", 1);
    EXPECT_EQ(DefaultIniPath(), "/tmp/lf-config-test/linkfold.ini");
    ::setenv("XDG_CONFIG_HOME", "", 1);
    const char* home = std::getenv("HOME");
    EXPECT_EQ(DefaultIniPath(), std::string(home ? home : ".") + "/.config/linkfold.ini");
    if (old)
        ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    else
        ::unsetenv("XDG_CONFIG_HOME");
}

} // namespace
