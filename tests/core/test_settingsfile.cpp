// The settings file: private-profile reading rules, plain section names,
// unknown content kept across a rewrite, atomic replacement.
#include "TestUtil.h"
#include "core/SettingsFile.h"

#include <cstdlib>
#include <sys/stat.h>

namespace {

struct IntCase {
    const char* value;
    int expected;
};

class IniGetInt : public ::testing::TestWithParam<IntCase> {};

TEST_P(IniGetInt, ParsesLikeGetPrivateProfileInt) {
    SettingsFile ini;
    ini.fromText(std::string("[Settings]\nPreviewPages=") + GetParam().value + "\n");
    EXPECT_EQ(ini.intValue("Settings", "PreviewPages", 99), GetParam().expected)
        << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(Values, IniGetInt,
                         ::testing::Values(IntCase{"0", 0}, IntCase{"7", 7}, IntCase{"-3", -3},
                                           IntCase{"+12", 12}, IntCase{"42abc", 42},
                                           IntCase{"abc", 0}, IntCase{"", 0}, IntCase{"  5", 5}));

TEST(IniFile, MissingFileAndKeysGiveDefaults) {
    TempDir dir;
    SettingsFile ini(dir.file("absent.ini"));
    ini.load();
    EXPECT_EQ(ini.stringValue("Recent File List", "File1"), "");
    EXPECT_EQ(ini.stringValue("Recent File List", "File1", "x"), "x");
    EXPECT_EQ(ini.intValue("Settings", "PreviewPages", 0), 0);
    EXPECT_FALSE(ini.hasSection("Settings"));
}

TEST(IniFile, NamesMatchWithoutCaseAndFirstKeyWins) {
    SettingsFile ini;
    ini.fromText("[recent file list]\nfile1=/a.lfp\nFILE1=/b.lfp\n");
    EXPECT_EQ(ini.stringValue("Recent File List", "File1"), "/a.lfp");
    ini.setStringValue("RECENT FILE LIST", "File1", "/c.lfp");
    EXPECT_EQ(ini.stringValue("recent file list", "file1"), "/c.lfp");
}

TEST(IniFile, WritesSectionNamesWithSpacesPlainly) {
    SettingsFile ini;
    ini.setStringValue("Recent File List", "File1", "/home/me/My Links.lfp");
    ini.setIntValue("Settings", "PreviewPages", 3);
    EXPECT_EQ(ini.toText(), "[Recent File List]\nFile1=/home/me/My Links.lfp\n\n"
                            "[Settings]\nPreviewPages=3\n");
}

TEST(IniFile, RewriteKeepsUnknownSectionsKeysAndComments) {
    TempDir dir;
    const std::string path = dir.file("linkfold.ini");
    writeFileBytes(path, "; my notes\n[Other]\nKeep=yes\n\n[Recent File List]\nFile1=/old.lfp\n"
                         "File2=/older.lfp\n[Page0Layout]\nCol0=120\nExtra=1\n");
    SettingsFile ini(path);
    ini.load();
    ini.removeSection("Recent File List");
    ini.setStringValue("Recent File List", "File1", "/new.lfp");
    ini.setIntValue("Page0Layout", "Col0", 150);
    ASSERT_TRUE(ini.save());

    SettingsFile back(path);
    back.load();
    EXPECT_EQ(back.stringValue("Other", "Keep"), "yes");
    EXPECT_EQ(back.stringValue("Recent File List", "File1"), "/new.lfp");
    EXPECT_EQ(back.stringValue("Recent File List", "File2"), "");
    EXPECT_EQ(back.intValue("Page0Layout", "Col0", 0), 150);
    EXPECT_EQ(back.intValue("Page0Layout", "Extra", 0), 1);
    EXPECT_NE(readFileBytes(path).find("; my notes"), std::string::npos);
}

TEST(IniFile, CrLfLinesAndSpacesAroundNamesAreRead) {
    SettingsFile ini;
    ini.fromText("[ Settings ]\r\n  PreviewPages = 4 \r\n");
    EXPECT_EQ(ini.intValue("Settings", "PreviewPages", 0), 4);
}

TEST(IniFile, SaveCreatesMissingFoldersAndReplacesAtomically) {
    TempDir dir;
    const std::string path = dir.file("config/sub/linkfold.ini");
    SettingsFile ini(path);
    ini.setStringValue("Settings", "PreviewPages", "1");
    ASSERT_TRUE(ini.save());
    EXPECT_EQ(readFileBytes(path), "[Settings]\nPreviewPages=1\n");
    // No temporary file is left beside it.
    int files = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.path() / "config/sub")) {
        (void)e;
        ++files;
    }
    EXPECT_EQ(files, 1);
}

TEST(IniFile, SaveIntoUnwritablePlaceFailsAndKeepsOldFile) {
    TempDir dir;
    // A regular file where the folder should be: nothing can be created there.
    writeFileBytes(dir.file("blocker"), "x");
    SettingsFile ini(dir.file("blocker/linkfold.ini"));
    ini.setStringValue("Settings", "PreviewPages", "1");
    EXPECT_FALSE(ini.save());
    EXPECT_EQ(readFileBytes(dir.file("blocker")), "x");
}

TEST(IniFile, DefaultPathFollowsXdgConfigHome) {
    const char* old = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = old ? old : "";
    ::setenv("XDG_CONFIG_HOME", "/tmp/lf-config-test", 1);
    EXPECT_EQ(defaultIniPath(), "/tmp/lf-config-test/linkfold.ini");
    ::setenv("XDG_CONFIG_HOME", "", 1);
    const char* home = std::getenv("HOME");
    EXPECT_EQ(defaultIniPath(), std::string(home ? home : ".") + "/.config/linkfold.ini");
    if (old)
        ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    else
        ::unsetenv("XDG_CONFIG_HOME");
}

} // namespace
