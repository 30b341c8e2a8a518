#include "TestUtil.h"

#include "core/CommandLineOptions.h"
#include "core/PageWriter.h"
#include "core/Project.h"
#include "core/ProjectFile.h"

#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

TEST(CommandLine, SwitchesAndFiles) {
    using C = CommandLineOptions;
    const struct {
        std::vector<std::string> args;
        C::Command command;
        const char* file;
    } cases[] = {
        {{}, C::NewProject, ""},
        {{"/home/me/p.lfp"}, C::OpenProject, "/home/me/p.lfp"},
        {{"/p", "x.lfp"}, C::PrintProject, "x.lfp"},
        {{"-p", "x.lfp"}, C::PrintProject, "x.lfp"},
        {{"/pt", "x.lfp", "prn", "drv", "port"}, C::PrintProjectTo, "x.lfp"},
        {{"/dde"}, C::DdeRequest, ""},
        {{"/UNREGISTER"}, C::Unregister, ""},
        {{"-unregserver"}, C::Unregister, ""},
        {{"/P"}, C::OpenProject, "/P"}, // switches keep their case; a root-level file otherwise
        {{"/pdf/x.lfp"}, C::OpenProject, "/pdf/x.lfp"},
        {{"/h"}, C::OpenProject, "/h"}, // only "-" spells --help and --generate
        {{"--generate", "a.lfp", "b.htm"}, C::Generate, "a.lfp"},
        {{"--generate", "a.lfp"}, C::Invalid, ""},
        {{"--generate", "a.lfp", "b.htm", "--style", "modern"}, C::Generate, "a.lfp"},
        {{"--generate", "a.lfp", "b.htm", "--style", "fancy"}, C::Invalid, "a.lfp"},
        {{"--generate", "a.lfp", "b.htm", "--style"}, C::Invalid, "a.lfp"},
        // Headless verbs take nothing more than they name.
        {{"--generate", "a.lfp", "b.htm", "extra"}, C::Invalid, ""},
        {{"--version", "extra"}, C::Invalid, ""},
        {{"/Unregister", "extra"}, C::Invalid, ""},
        {{"--help"}, C::ShowHelp, ""},
        {{"-h"}, C::ShowHelp, ""},
        {{"--help", "extra"}, C::Invalid, ""},
        // One project at a time; printing needs one.
        {{"a.lfp", "b.lfp"}, C::Invalid, ""},
        {{"/p"}, C::Invalid, ""},
        {{"/pt"}, C::Invalid, ""},
        {{"-p", "a.lfp", "b.lfp"}, C::Invalid, ""},
        {{"/pt", "x.lfp", "prn", "drv", "port", "extra"}, C::Invalid, ""},
        {{"/pt", "x.lfp"}, C::PrintProjectTo, "x.lfp"},
        {{"--version"}, C::ShowVersion, ""},
        {{"Unregister"}, C::OpenProject, "Unregister"}, // a bare word is a file name
        {{"--bogus"}, C::Invalid, ""},
    };
    for (const auto& c : cases) {
        C info = parseCommandLine(c.args);
        EXPECT_EQ(info.command, c.command) << testing::PrintToString(c.args);
        EXPECT_EQ(info.fileName, c.file) << testing::PrintToString(c.args);
    }
    EXPECT_EQ(parseCommandLine({"--generate", "a", "b", "--style", "classic"}).pageLook,
              PageLook::Classic);
    EXPECT_EQ(parseCommandLine({"--generate", "a", "b", "--style", "modern"}).pageLook,
              PageLook::Modern);
    EXPECT_FALSE(parseCommandLine({"--generate", "a", "b"}).pageLook);
    C info = parseCommandLine({"/pt", "x.lfp", "prn", "drv", "port"});
    EXPECT_EQ(info.printerName, "prn");
    EXPECT_EQ(info.portName, "port");
}

TEST(CommandLine, LinkVerbs) {
    using C = CommandLineOptions;
    const struct {
        std::vector<std::string> args;
        C::Command command;
        int timeoutMs;
        int jobs;
    } cases[] = {
        {{"--check-links", "p.lfp"}, C::CheckLinks, 0, 0},
        {{"--check-links", "p.lfp", "--timeout", "2.5", "--jobs", "4"}, C::CheckLinks, 2500, 4},
        {{"--timeout", "0.2", "--check-links", "p.lfp"}, C::CheckLinks, 200, 0},
        {{"--duplicates", "p.lfp"}, C::FindDuplicates, 0, 0},
        {{"--check-links", "p.lfp", "--duplicates"}, C::FindDuplicates, 0, 0},
        {{"--check-links"}, C::Invalid, 0, 0},
        {{"--check-links", "a.lfp", "b.lfp"}, C::Invalid, 0, 0},
        {{"--check-links", "p.lfp", "--timeout"}, C::Invalid, 0, 0},
        {{"--check-links", "p.lfp", "--timeout", "0"}, C::Invalid, 0, 0},
        {{"--check-links", "p.lfp", "--timeout", "5s"}, C::Invalid, 0, 0},
        {{"--check-links", "p.lfp", "--jobs", "0"}, C::Invalid, 0, 0},
        {{"--check-links", "p.lfp", "--jobs", "2.5"}, C::Invalid, 0, 0},
        {{"--check-links", "p.lfp", "--jobs", "257"}, C::Invalid, 0, 0},
        {{"--duplicates", "p.lfp", "--jobs", "2"}, C::Invalid, 0, 0},
        {{"--check-links", "p.lfp", "--bogus"}, C::Invalid, 0, 0},
    };
    for (const auto& c : cases) {
        C info = parseCommandLine(c.args);
        EXPECT_EQ(info.command, c.command) << testing::PrintToString(c.args);
        EXPECT_EQ(info.timeoutMs, c.timeoutMs) << testing::PrintToString(c.args);
        EXPECT_EQ(info.jobs, c.jobs) << testing::PrintToString(c.args);
        if (c.command == C::Invalid)
            EXPECT_FALSE(info.error.empty()) << testing::PrintToString(c.args);
        else
            EXPECT_EQ(info.fileName, "p.lfp");
    }
}

// The program itself, without a display.
class GenerateCommand : public ::testing::Test {
protected:
    struct Result {
        int status;
        std::string out;
    };
    Result run(const std::string& args) {
        const std::string log = dir.file("out.txt");
        std::string cmd = "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=none " +
                          std::string(LINKFOLD_BINARY) + " " + args + " >" + log + " 2>&1";
        int rc = std::system(cmd.c_str());
        return {WIFEXITED(rc) ? WEXITSTATUS(rc) : -1, readFileBytes(log)};
    }
    // Standard output only; standard error into *err.
    Result run(const std::string& args, std::string* err) {
        const std::string log = dir.file("out.txt");
        const std::string errLog = dir.file("err.txt");
        std::string cmd = "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=none " +
                          std::string(LINKFOLD_BINARY) + " " + args + " >" + log + " 2>" + errLog;
        int rc = std::system(cmd.c_str());
        *err = readFileBytes(errLog);
        return {WIFEXITED(rc) ? WEXITSTATUS(rc) : -1, readFileBytes(log)};
    }
    TempDir dir;
};

TEST_F(GenerateCommand, WritesThePageSilently) {
    Project doc;
    doc.setTitle("Mine");
    doc.addLink(0, "Home", "index.htm");
    writeFileBytes(dir.file("p.lfp"), serializeProject(doc));
    Result r = run("--generate " + dir.file("p.lfp") + " " + dir.file("p.htm"));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    const std::string page = readFileBytes(dir.file("p.htm"));
    EXPECT_NE(page.find("<head><title>Mine</title></head>\r\n"), std::string::npos);
    EXPECT_NE(page.find("<a href=\"index.htm\">  Home </a>\r\n"), std::string::npos);
}

TEST_F(GenerateCommand, WritesTheEditorsPageInEveryScript) {
    const std::string project = LINKFOLD_TEST_DATA "/corpus/scripts.lfp";
    Project doc;
    ASSERT_TRUE(doc.load(project).ok());
    Result r = run("--generate " + project + " " + dir.file("p.htm"));
    EXPECT_EQ(r.status, 0);
    const std::string page = readFileBytes(dir.file("p.htm"));
    EXPECT_EQ(page, renderPage(doc));
    EXPECT_NE(page.find("&#x65E5;&#x672C;&#x8A9E; &#x1F600;"), std::string::npos);
}

TEST_F(GenerateCommand, ReportsProblemsLikeTheEditor) {
    writeFileBytes(dir.file("cut.lfp"), std::string("\0\1\0\0\3ab", 7));
    writeFileBytes(dir.file("empty.lfp"), "");
    ASSERT_EQ(::mkfifo(dir.file("pipe.lfp").c_str(), 0600), 0);
    const struct {
        std::string args;
        int status;
        std::string out;
    } cases[] = {
        {"--generate " + dir.file("none.lfp") + " " + dir.file("x.htm"), 1,
         dir.file("none.lfp") + " was not found.\n"},
        {"--generate " + dir.file("cut.lfp") + " " + dir.file("x.htm"), 1,
         "Unexpected file format.\n"},
        {"--generate " + dir.file("empty.lfp") + " " + dir.file("no/dir/x.htm"), 1,
         dir.file("no/dir/x.htm") + " was not found.\n"},
        {"--generate " + dir.file("pipe.lfp") + " " + dir.file("x.htm"), 1,
         dir.file("pipe.lfp") + " contains an invalid path.\n"}, // refused, not waited on
        {"--generate /dev/zero " + dir.file("x.htm"), 1, "/dev/zero contains an invalid path.\n"},
        {"--generate " + dir.file("empty.lfp") + " " + dir.file("e.htm"), 0, ""},
    };
    for (const auto& c : cases) {
        Result r = run(c.args);
        EXPECT_EQ(r.status, c.status) << c.args;
        EXPECT_EQ(r.out, c.out) << c.args;
    }
    EXPECT_NE(readFileBytes(dir.file("e.htm")).find("<title>Start Page</title>"),
              std::string::npos);
}

TEST_F(GenerateCommand, StyleFollowsTheProjectUnlessOverridden) {
    Project doc;
    doc.addLink(0, "Home", "https://home.example/");
    const std::string classic = renderPage(doc);
    PageStyle style;
    style.look = PageLook::Modern;
    doc.setPageStyle(style);
    writeFileBytes(dir.file("p.lfp"), serializeProject(doc));
    const std::string page = dir.file("p.htm");
    const struct {
        std::string option;
        bool modern;
    } cases[] = {{"", true}, {" --style classic", false}, {" --style modern", true}};
    for (const auto& c : cases) {
        Result r = run("--generate " + dir.file("p.lfp") + " " + page + c.option);
        EXPECT_EQ(r.status, 0) << c.option;
        EXPECT_EQ(r.out, "") << c.option;
        if (c.modern)
            EXPECT_EQ(readFileBytes(page).rfind("<!DOCTYPE html>", 0), 0u) << c.option;
        else
            EXPECT_EQ(readFileBytes(page), classic);
    }
    Result bad = run("--generate " + dir.file("p.lfp") + " " + page + " --style fancy");
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.out.rfind("--style takes classic or modern, not \"fancy\".\n", 0), 0u);

    // A damaged block is named, and the page is still written.
    writeFileBytes(dir.file("d.lfp"), serializeProject(Project()) + "LFPX\x01PSTY");
    Result damaged = run("--generate " + dir.file("d.lfp") + " " + page);
    EXPECT_EQ(damaged.status, 0);
    EXPECT_EQ(damaged.out, "The extra page settings could not be read.\n");
}

TEST_F(GenerateCommand, RelativePathsAreReportedAbsolute) {
    Result r = run("--generate missing-here.lfp out.htm");
    EXPECT_EQ(r.status, 1);
    ASSERT_FALSE(r.out.empty());
    EXPECT_EQ(r.out[0], '/');
    EXPECT_NE(r.out.find("missing-here.lfp was not found."), std::string::npos);
}

TEST_F(GenerateCommand, DuplicatesListsSetsWithoutNetwork) {
    Project doc;
    doc.addLink(0, "A", "http://a.invalid/");
    doc.addLink(2, "B", "HTTP://A.invalid");
    doc.addLink(2, "C", "http://c.invalid/");
    writeFileBytes(dir.file("p.lfp"), serializeProject(doc));
    std::string err;
    Result r = run("--duplicates " + dir.file("p.lfp"), &err);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "1\t1\t1\thttp://a.invalid/\n1\t3\t1\tHTTP://A.invalid\n");
    EXPECT_EQ(err, "1 set of duplicate links, 2 links\n");

    // A project that cannot be read: 1 with the reason, for both verbs.
    for (const char* verb : {"--duplicates ", "--check-links "}) {
        Result bad = run(verb + dir.file("none.lfp"));
        EXPECT_EQ(bad.status, 1) << verb;
        EXPECT_EQ(bad.out, dir.file("none.lfp") + " was not found.\n") << verb;
    }
    Result usage = run("--check-links " + dir.file("p.lfp") + " --jobs x");
    EXPECT_EQ(usage.status, 2);
    EXPECT_NE(usage.out.find("--jobs takes a whole number"), std::string::npos);
}

TEST_F(GenerateCommand, HelpPrintsUsage) {
    Result r = run("--help");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("--generate"), std::string::npos);
    // Only the forms that work are shown: a bare "Unregister" is a file name.
    EXPECT_NE(r.out.find("-Unregister, /Unregister"), std::string::npos);
    EXPECT_EQ(r.out.find("  Unregister "), std::string::npos);
    EXPECT_EQ(r.out.find("| Unregister"), std::string::npos);
    // /dde ends at once; nothing waits for the shell.
    EXPECT_EQ(r.out.find("wait"), std::string::npos);
    EXPECT_NE(r.out.find("Exit status: 0 success; 1 a project, page or bookmark file could not "
                         "be read\nor written, or /Unregister could not remove a file;\n2 a usage "
                         "error"),
              std::string::npos);
}

TEST_F(GenerateCommand, VersionAndUsageErrors) {
    const struct {
        std::string args;
        int status;
        std::string outStart;
    } cases[] = {
        {"--version", 0, "Linkfold " LINKFOLD_VERSION_EXPECTED "\n"},
        {"--bogus", 2, "Unknown option: --bogus\nUsage:"},
        {"--generate only.lfp", 2, "--generate needs a project file and a page file.\nUsage:"},
        {"--generate a.lfp a.htm extra", 2, "Unexpected argument after --generate: extra\n"},
        {"--generate a.lfp a.htm --style modern extra", 2,
         "Unexpected argument after --generate: extra\n"},
        {"x.lfp --generate a.lfp a.htm", 2, "Unexpected argument before --generate: x.lfp\n"},
        {"--import-bookmarks b.html p.lfp extra", 2,
         "Unexpected argument after --import-bookmarks: extra\n"},
        {"--export-bookmarks p.lfp o.html extra", 2,
         "Unexpected argument after --export-bookmarks: extra\n"},
        {"--check-links p.lfp extra", 2, "Only one project at a time: extra\n"},
        {"--duplicates p.lfp extra", 2, "Only one project at a time: extra\n"},
    };
    for (const auto& c : cases) {
        Result r = run(c.args);
        EXPECT_EQ(r.status, c.status) << c.args;
        EXPECT_EQ(r.out.substr(0, c.outStart.size()), c.outStart) << c.args;
    }
}

TEST_F(GenerateCommand, RefusesToWriteOverItsOwnProject) {
    Project doc;
    doc.addLink(0, "Home", "index.htm");
    const std::string project = serializeProject(doc);
    writeFileBytes(dir.file("same.lfp"), project);
    ASSERT_EQ(::symlink("same.lfp", dir.file("alias.htm").c_str()), 0);
    ASSERT_EQ(::link(dir.file("same.lfp").c_str(), dir.file("hard.htm").c_str()), 0);
    for (const std::string page : {"same.lfp", "alias.htm", "hard.htm", "sub/../same.lfp"}) {
        ::mkdir(dir.file("sub").c_str(), 0700);
        Result r = run("--generate " + dir.file("same.lfp") + " " + dir.file(page));
        EXPECT_EQ(r.status, 1) << page;
        EXPECT_EQ(r.out, std::filesystem::path(dir.file(page)).lexically_normal().string() +
                             " is the project itself; the page was not written over it.\n")
            << page;
        EXPECT_EQ(readFileBytes(dir.file("same.lfp")), project) << page;
    }
}

TEST_F(GenerateCommand, QuotedNamesAreTakenWithoutTheirQuotes) {
    writeFileBytes(dir.file("my links.lfp"), serializeProject(Project()));
    Result r = run("--generate '\"" + dir.file("my links.lfp") + "\"' '\"" +
                   dir.file("my page.htm") + "\"'");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(readFileBytes(dir.file("my page.htm")).find("<title>"), std::string::npos);
}
