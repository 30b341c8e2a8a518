#include "TestUtil.h"

#include "app/CommandLine.h"
#include "model/LFDoc.h"
#include "model/ProjectFile.h"

#include <cstdio>
#include <cstdlib>
#include <sys/wait.h>

TEST(CommandLine, SwitchesAndFiles) {
    using C = CCommandLineInfo;
    const struct {
        std::vector<std::string> args;
        C::Command command;
        const char* file;
    } cases[] = {
        {{}, C::FileNew, ""},
        {{"/home/me/p.lfp"}, C::FileOpen, "/home/me/p.lfp"},
        {{"/p", "x.lfp"}, C::FilePrint, "x.lfp"},
        {{"-p", "x.lfp"}, C::FilePrint, "x.lfp"},
        {{"/pt", "x.lfp", "prn", "drv", "port"}, C::FilePrintTo, "x.lfp"},
        {{"/dde"}, C::FileDDE, ""},
        {{"/UNREGISTER"}, C::AppUnregister, ""},
        {{"-unregserver"}, C::AppUnregister, ""},
        {{"/P"}, C::FileOpen, "/P"}, // switches keep their case; a root-level file otherwise
        {{"/pdf/x.lfp"}, C::FileOpen, "/pdf/x.lfp"},
        {{"/h"}, C::FileOpen, "/h"}, // only "-" spells --help and --generate
        {{"--generate", "a.lfp", "b.htm"}, C::Generate, "a.lfp"},
        {{"--generate", "a.lfp"}, C::Invalid, ""},
        {{"--help"}, C::ShowHelp, ""},
        {{"--bogus"}, C::Invalid, ""},
    };
    for (const auto& c : cases) {
        C info = ParseCommandLine(c.args);
        EXPECT_EQ(info.m_nShellCommand, c.command) << testing::PrintToString(c.args);
        EXPECT_EQ(info.m_strFileName, c.file) << testing::PrintToString(c.args);
    }
    C info = ParseCommandLine({"/pt", "x.lfp", "prn", "drv", "port"});
    EXPECT_EQ(info.m_strPrinterName, "prn");
    EXPECT_EQ(info.m_strPortName, "port");
}

// The program itself, without a display.
class GenerateCommand : public ::testing::Test {
protected:
    struct Result {
        int status;
        std::string out;
    };
    Result Run(const std::string& args) {
        const std::string log = dir.File("out.txt");
        std::string cmd = "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=none " +
                          std::string(LINKFOLD_BINARY) + " " + args + " >" + log + " 2>&1";
        int rc = std::system(cmd.c_str());
        return {WIFEXITED(rc) ? WEXITSTATUS(rc) : -1, ReadFileBytes(log)};
    }
    TempDir dir;
};

TEST_F(GenerateCommand, WritesThePageSilently) {
    CLFDoc doc;
    doc.m_strTitle = "Mine";
    doc.AddLink(0, "Home", "index.htm");
    WriteFileBytes(dir.File("p.lfp"), SerializeProject(doc));
    Result r = Run("--generate " + dir.File("p.lfp") + " " + dir.File("p.htm"));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    const std::string page = ReadFileBytes(dir.File("p.htm"));
    EXPECT_NE(page.find("<head><title>Mine</title></head>\r\n"), std::string::npos);
    EXPECT_NE(page.find("<a href=\"index.htm\">  Home </a>\r\n"), std::string::npos);
}

TEST_F(GenerateCommand, ReportsProblemsLikeTheEditor) {
    WriteFileBytes(dir.File("cut.lfp"), std::string("\0\1\0\0\3ab", 7));
    WriteFileBytes(dir.File("empty.lfp"), "");
    const struct {
        std::string args;
        int status;
        std::string out;
    } cases[] = {
        {"--generate " + dir.File("none.lfp") + " " + dir.File("x.htm"), 1,
         dir.File("none.lfp") + " was not found.\n"},
        {"--generate " + dir.File("cut.lfp") + " " + dir.File("x.htm"), 1,
         "Unexpected file format.\n"},
        {"--generate " + dir.File("empty.lfp") + " " + dir.File("no/dir/x.htm"), 1,
         dir.File("no/dir/x.htm") + " was not found.\n"},
        {"--generate " + dir.File("empty.lfp") + " " + dir.File("e.htm"), 0, ""},
    };
    for (const auto& c : cases) {
        Result r = Run(c.args);
        EXPECT_EQ(r.status, c.status) << c.args;
        EXPECT_EQ(r.out, c.out) << c.args;
    }
    EXPECT_NE(ReadFileBytes(dir.File("e.htm")).find("<title>Start Page</title>"), std::string::npos);
}

TEST_F(GenerateCommand, RelativePathsAreReportedAbsolute) {
    Result r = Run("--generate missing-here.lfp out.htm");
    EXPECT_EQ(r.status, 1);
    ASSERT_FALSE(r.out.empty());
    EXPECT_EQ(r.out[0], '/');
    EXPECT_NE(r.out.find("missing-here.lfp was not found."), std::string::npos);
}

TEST_F(GenerateCommand, HelpPrintsUsage) {
    Result r = Run("--help");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("--generate"), std::string::npos);
}
