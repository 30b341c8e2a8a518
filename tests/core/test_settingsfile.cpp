// The settings file: private-profile reading rules, plain section names,
// unknown content kept across a rewrite, atomic replacement.
#include "TestUtil.h"
#include "core/SettingsFile.h"

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>

namespace {

struct IntCase {
    const char* value;
    int expected;
};

class SettingsIntValue : public ::testing::TestWithParam<IntCase> {};

TEST_P(SettingsIntValue, ReadsTheLeadingNumber) {
    SettingsFile ini;
    ini.fromText(std::string("[Settings]\nPreviewPages=") + GetParam().value + "\n");
    EXPECT_EQ(ini.intValue("Settings", "PreviewPages", 99), GetParam().expected)
        << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(Values, SettingsIntValue,
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
    ASSERT_TRUE(ini.save().ok());

    SettingsFile back(path);
    back.load();
    EXPECT_EQ(back.stringValue("Other", "Keep"), "yes");
    EXPECT_EQ(back.stringValue("Recent File List", "File1"), "/new.lfp");
    EXPECT_EQ(back.stringValue("Recent File List", "File2"), "");
    EXPECT_EQ(back.intValue("Page0Layout", "Col0", 0), 150);
    EXPECT_EQ(back.intValue("Page0Layout", "Extra", 0), 1);
    EXPECT_NE(readFileBytes(path).find("; my notes"), std::string::npos);
}

// A section the program added is separated by one blank line, which the
// next run reads back as text to keep: it must not gain another each run.
TEST(IniFile, RepeatedRewritesKeepTheText) {
    SettingsFile ini;
    ini.fromText("[Other]\nKeep=yes\n");
    ini.setStringValue("Recent File List", "File1", "/a.lfp");
    const std::string first = ini.toText();
    for (int run = 0; run < 3; ++run) {
        SettingsFile again;
        again.fromText(first);
        again.setStringValue("Recent File List", "File1", "/a.lfp");
        again.removeKey("Recent File List", "File2");
        EXPECT_EQ(again.toText(), first);
    }
}

TEST(IniFile, RemoveKeyLeavesTheRestInPlace) {
    SettingsFile ini;
    ini.fromText("[Recent File List]\nFile1 = /a.lfp\nfile2=/b.lfp\nFILE2=/c.lfp\n[Z]\nK=1\n");
    ini.removeKey("recent file list", "File2");
    ini.setStringValue("Recent File List", "File1", "/a.lfp");
    EXPECT_EQ(ini.toText(), "[Recent File List]\nFile1 = /a.lfp\n[Z]\nK=1\n");
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
    ASSERT_TRUE(ini.save().ok());
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
    EXPECT_FALSE(ini.save().ok());
    EXPECT_EQ(readFileBytes(dir.file("blocker")), "x");
}

TEST(IniFile, RoundTripKeepsEveryUnchangedLineExactly) {
    const struct {
        const char* name;
        std::string in;
        std::string out; // after setting [Settings] PreviewPages=5
    } cases[] = {
        {"spacing, CR LF, comments and blank lines",
         "; notes\r\n\r\n[ Other ]\r\n  Keep = yes \r\nno equals sign\n\n[Settings]\n"
         "PreviewPages = 1\r\nAfter=x",
         "; notes\r\n\r\n[ Other ]\r\n  Keep = yes \r\nno equals sign\n\n[Settings]\n"
         "PreviewPages=5\nAfter=x\n"},
        {"an empty header keeps its keys apart", "[Settings]\nA=1\n[]\nPreviewPages=9\n",
         "[Settings]\nA=1\nPreviewPages=5\n[]\nPreviewPages=9\n"},
        {"a repeated key and a repeated section are kept",
         "[settings]\npreviewpages=2\nPreviewPages=3\n[X]\n[SETTINGS]\nB=1\n",
         "[settings]\npreviewpages=5\nPreviewPages=3\n[X]\n[SETTINGS]\nB=1\n"},
        {"a line with no key", "=orphan\n[Settings]\n", "=orphan\n[Settings]\nPreviewPages=5\n"},
    };
    for (const auto& c : cases) {
        SettingsFile ini;
        ini.fromText(c.in);
        std::string unchanged = c.in;
        if (unchanged.back() != '\n')
            unchanged += '\n';
        EXPECT_EQ(ini.toText(), unchanged) << c.name;
        ini.setIntValue("Settings", "PreviewPages", 5);
        EXPECT_EQ(ini.toText(), c.out) << c.name;
        SettingsFile back;
        back.fromText(ini.toText());
        EXPECT_EQ(back.intValue("Settings", "PreviewPages", 0), 5) << c.name;
    }
}

TEST(IniFile, EmptyHeaderSectionIsNotMergedIntoThePreviousOne) {
    SettingsFile ini;
    ini.fromText("[Recent File List]\nFile1=/a.lfp\n[]\nFile2=/b.lfp\n");
    ini.setStringValue("Recent File List", "File1", "/c.lfp");
    SettingsFile back;
    back.fromText(ini.toText());
    EXPECT_EQ(back.stringValue("Recent File List", "File1"), "/c.lfp");
    EXPECT_EQ(back.stringValue("Recent File List", "File2"), "");
}

TEST(IniFile, PathsThatAreNotUtf8AreKeptByteForByte) {
    TempDir dir;
    const std::string path = dir.file("linkfold.ini");
    const std::string latin1 = "/home/me/caf\xe9 \xff\x80.lfp";
    SettingsFile ini(path);
    ini.setStringValue("Recent File List", "File1", latin1);
    ASSERT_TRUE(ini.save().ok());
    SettingsFile back(path);
    back.load();
    EXPECT_EQ(back.stringValue("Recent File List", "File1"), latin1);
}

TEST(IniFile, ManyKeysAndSectionsReadAndWriteBack) {
    // 40,000 keys in one section and 40,000 sections: both stay cheap (the
    // time is measured in bench/), and every key is found again.
    std::string keys = "[Big]\n";
    std::string sections;
    for (int i = 0; i < 40000; ++i) {
        keys += "Key" + std::to_string(i) + "=" + std::to_string(i) + "\n";
        sections += "[S" + std::to_string(i) + "]\nK=" + std::to_string(i) + "\n";
    }
    SettingsFile a;
    a.fromText(keys);
    SettingsFile b;
    b.fromText(sections);
    EXPECT_EQ(a.intValue("big", "KEY39999", -1), 39999);
    EXPECT_EQ(b.intValue("s39999", "k", -1), 39999);
    EXPECT_EQ(a.toText(), keys);
    EXPECT_EQ(b.toText(), sections);
}

// A file over the limit is not read, and never replaced: not a line of it
// is lost. One at the limit is read as any other.
TEST(IniFile, FileOverTheLimitIsLeftUnreadAndUnwritten) {
    TempDir dir;
    const std::string path = dir.file("linkfold.ini");
    for (const size_t size : {SettingsFile::kMaxSize, SettingsFile::kMaxSize + 1}) {
        std::string bytes = "[Settings]\nPreviewPages=3\n";
        bytes += std::string(size - bytes.size() - 1, ';') + '\n';
        writeFileBytes(path, bytes);
        SettingsFile ini(path);
        const bool read = size <= SettingsFile::kMaxSize;
        EXPECT_EQ(ini.load(), read) << size;
        EXPECT_EQ(ini.tooLarge(), !read) << size;
        EXPECT_EQ(ini.intValue("Settings", "PreviewPages", 0), read ? 3 : 0) << size;
        ini.setIntValue("Settings", "PreviewPages", 4);
        const FileResult saved = ini.save();
        EXPECT_EQ(saved.ok(), read) << size;
        if (read) {
            bytes.replace(bytes.find("=3"), 2, "=4");
        } else {
            EXPECT_EQ(fileErrorText(saved), fileErrorText(FileResult::fromErrno(EFBIG, path)));
        }
        EXPECT_EQ(readFileBytes(path), bytes) << size;
    }
}

TEST(IniFile, FifoAsSettingsFileIsNotWaitedFor) {
    TempDir dir;
    const std::string fifo = dir.file("linkfold.ini");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    SettingsFile ini(fifo);
    ini.load(); // returns at once with an empty file
    EXPECT_FALSE(ini.hasSection("Settings"));
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
