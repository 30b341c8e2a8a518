// File access at the edges: read failures injected through the system-call
// seam, files that are not regular, links planted by another user, owners
// kept on replace, temporary names, and kills at random points of a page
// write.
#include "TestUtil.h"

#include "core/AtomicFileWriter.h"
#include "core/PageWriter.h"
#include "core/Project.h"
#include "core/ProjectFile.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Fails one reading step; counts descriptors so that none is left open.
class FailingReadOps : public SystemCalls {
public:
    enum Step { kNone, kOpen, kFstat, kRead };
    FailingReadOps(Step step, int err) : m_step(step), m_err(err) {}

    int open(const char* path, int flags, mode_t mode) override {
        if (m_step == kOpen)
            return failWith();
        int fd = SystemCalls::open(path, flags, mode);
        m_open += fd >= 0;
        return fd;
    }
    int fstat(int fd, struct stat* st) override {
        return m_step == kFstat ? failWith() : SystemCalls::fstat(fd, st);
    }
    ssize_t read(int fd, void* buf, size_t n) override {
        // Short reads, then a failure once part of the file has been read.
        if (m_step == kRead && m_read > 1000)
            return failWith();
        ssize_t got = SystemCalls::read(fd, buf, std::min<size_t>(n, 700));
        if (got > 0)
            m_read += static_cast<size_t>(got);
        return got;
    }
    int close(int fd) override {
        --m_open;
        return SystemCalls::close(fd);
    }
    int openDescriptors() const { return m_open; }

private:
    int failWith() {
        errno = m_err;
        return -1;
    }
    Step m_step;
    int m_err;
    size_t m_read = 0;
    int m_open = 0;
};

Project bigDoc(const std::string& tag = "link") {
    Project doc;
    for (int i = 0; i < 2000; ++i)
        doc.addLink(i % 10, tag + " " + std::to_string(i),
                    "http://example.com/" + std::to_string(i));
    return doc;
}

std::vector<std::string> entries(const std::filesystem::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Runs fn in a child process as the unprivileged user "nobody".
bool runAsNobody(const std::function<void()>& fn) {
    pid_t pid = ::fork();
    if (pid == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(2);
        fn();
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

TEST(ReadProject, InjectedFailuresAreReportedAndCloseTheFile) {
    TempDir dir;
    const std::string path = dir.file("p.lfp");
    const Project saved = bigDoc();
    writeFileBytes(path, serializeProject(saved));
    const struct {
        FailingReadOps::Step step;
        int err;
        const char* message;
    } cases[] = {
        {FailingReadOps::kOpen, EACCES, "Access to %s was denied."},
        {FailingReadOps::kOpen, EMFILE,
         "%s could not be opened because there are too many open files."},
        {FailingReadOps::kFstat, EIO, "A hardware I/O error was reported while accessing %s."},
        {FailingReadOps::kRead, EIO, "A hardware I/O error was reported while accessing %s."},
        {FailingReadOps::kNone, 0, "No error occurred."},
    };
    for (const auto& c : cases) {
        FailingReadOps ops(c.step, c.err);
        Project doc;
        FileResult r;
        {
            ProjectFileHandle file;
            r = openProjectFile(path, file, ops);
            if (r.ok())
                r = readProjectFile(file, path, doc, ops);
        }
        std::string expected = c.message;
        if (auto pos = expected.find("%s"); pos != std::string::npos)
            expected.replace(pos, 2, path);
        EXPECT_EQ(fileErrorText(r), expected) << c.step;
        EXPECT_EQ(ops.openDescriptors(), 0) << c.step;
        if (c.step == FailingReadOps::kNone) {
            EXPECT_EQ(serializeProject(doc), serializeProject(saved));
        }
    }
}

TEST(ReadProject, FifoAndDeviceAreRefusedWithoutBlocking) {
    TempDir dir;
    const std::string fifo = dir.file("pipe.lfp");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // Without a writer, opening the FIFO for reading would wait forever; the
    // test is run in a child so that a regression ends as a failure.
    for (const std::string& path : {fifo, std::string("/dev/zero")}) {
        pid_t pid = ::fork();
        if (pid == 0) {
            ::alarm(10);
            Project doc;
            const bool refused = doc.load(path).error == path + " contains an invalid path.";
            ::_exit(refused ? 0 : 1);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << path;
    }
}

TEST(AtomicWrite, TemporaryFileIsNamedAfterTheTarget) {
    // Fails the rename and records the temporary name it was given.
    class Ops : public SystemCalls {
    public:
        int rename(const char* from, const char*) override {
            temp = from;
            errno = EIO;
            return -1;
        }
        std::string temp;
    } ops;
    TempDir dir;
    const std::string path = dir.file("proj.lfp");
    EXPECT_FALSE(saveProjectFile(bigDoc(), path, ops).ok());
    const std::string name = std::filesystem::path(ops.temp).filename().string();
    ASSERT_EQ(name.size(), std::string(".proj.lfp.XXXXXX.tmp").size()) << name;
    EXPECT_EQ(name.substr(0, 10), ".proj.lfp.");
    EXPECT_EQ(name.substr(16), ".tmp");
    EXPECT_EQ(std::filesystem::path(ops.temp).parent_path(), dir.path());
    EXPECT_TRUE(entries(dir.path()).empty());
}

TEST(AtomicWrite, LinkLoopIsRefusedAndStaysALink) {
    TempDir dir;
    const std::string a = dir.file("a.htm");
    const std::string b = dir.file("b.htm");
    ASSERT_EQ(::symlink("b.htm", a.c_str()), 0);
    ASSERT_EQ(::symlink("a.htm", b.c_str()), 0);
    EXPECT_EQ(fileErrorText(writeStartPage(bigDoc(), a)), a + " contains an invalid path.");
    EXPECT_TRUE(std::filesystem::is_symlink(a));
    EXPECT_EQ(entries(dir.path()), (std::vector<std::string>{"a.htm", "b.htm"}));
}

// A sticky, world-writable folder like /tmp, where another user plants links.
class PlantedLink : public ::testing::Test {
protected:
    void SetUp() override {
        if (::geteuid() != 0)
            GTEST_SKIP() << "planting a link as another user needs root";
        ::chmod(dir.path().c_str(), 0711);
        shared = dir.file("shared");
        ASSERT_EQ(::mkdir(shared.c_str(), 0777), 0);
        ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
        victim = dir.file("notes.txt");
        writeFileBytes(victim, "my notes");
    }
    void plant(const std::string& name, const std::string& target) {
        const std::string link = shared + "/" + name;
        ASSERT_TRUE(runAsNobody([&] {
            if (::symlink(target.c_str(), link.c_str()) != 0)
                ::_exit(1);
        }));
    }
    TempDir dir;
    std::string shared;
    std::string victim;
};

TEST_F(PlantedLink, IsNotFollowedAndNothingIsWritten) {
    plant("$Linkfold$.htm", victim);                // to an existing file
    plant("dangling.htm", dir.file("created.txt")); // to where a file would be made
    ASSERT_EQ(::symlink((shared + "/$Linkfold$.htm").c_str(), (shared + "/mine.htm").c_str()), 0);
    for (const std::string name : {"$Linkfold$.htm", "dangling.htm", "mine.htm"}) {
        const std::string page = shared + "/" + name;
        EXPECT_EQ(fileErrorText(writeStartPage(bigDoc(), page)),
                  "Access to " + page + " was denied.")
            << name;
        EXPECT_TRUE(std::filesystem::is_symlink(page)) << name;
    }
    EXPECT_EQ(readFileBytes(victim), "my notes");
    EXPECT_FALSE(std::filesystem::exists(dir.file("created.txt")));
    EXPECT_EQ(entries(shared),
              (std::vector<std::string>{"$Linkfold$.htm", "dangling.htm", "mine.htm"}));
}

TEST_F(PlantedLink, OwnLinkInSharedFolderStillWorks) {
    const std::string page = shared + "/own.htm";
    ASSERT_EQ(::symlink(victim.c_str(), page.c_str()), 0);
    const Project doc = bigDoc();
    ASSERT_TRUE(writeStartPage(doc, page).ok());
    EXPECT_TRUE(std::filesystem::is_symlink(page));
    EXPECT_EQ(readFileBytes(victim), renderPage(doc));
}

TEST(AtomicWrite, LinkRuleOfSharedFolders) {
    const uid_t me = 1000, other = 1001, root = 0;
    const struct {
        const char* name;
        mode_t folderMode;
        uid_t folderOwner, linkOwner;
        bool follows;
    } cases[] = {
        {"another user's link in /tmp", 01777, root, other, false},
        {"own link in /tmp", 01777, root, me, true},
        {"link of /tmp's owner", 01777, root, root, true},
        {"link of the shared folder's owner", 01777, other, other, true},
        {"sticky, writable by all but not readable", 01773, root, other, false},
        {"world-writable, not sticky", 0777, root, other, true},
        {"sticky, not world-writable", 01775, root, other, true},
        {"private folder", 0700, root, other, true},
    };
    for (const auto& c : cases) {
        struct stat folder {};
        folder.st_mode = S_IFDIR | c.folderMode;
        folder.st_uid = c.folderOwner;
        EXPECT_EQ(mayFollowLink(c.linkOwner, folder, me), c.follows) << c.name;
    }
}

// Links named "planted..." belong to another user: only the system calls
// say so, which lets the walk through the path be tried without root.
class PlantedLinkOps : public SystemCalls {
public:
    int lstat(const char* path, struct stat* st) override {
        const int r = SystemCalls::lstat(path, st);
        const std::string name = std::filesystem::path(path).filename().string();
        if (r == 0 && S_ISLNK(st->st_mode) && name.starts_with("planted"))
            st->st_uid = ::geteuid() + 1;
        return r;
    }
};

TEST(AtomicWrite, EveryLinkOnTheWayFollowsTheSharedFolderRule) {
    const struct {
        const char* name;
        const char* path; // written, inside the test folder
        const char* hit;  // the file written when allowed, or null when refused
    } cases[] = {
        {"another user's link at the end", "shared/planted.htm", nullptr},
        {"another user's link as a folder", "shared/planteddir/victim.htm", nullptr},
        {"reached through an own link", "mine/victim.htm", nullptr},
        {"own link as a folder", "shared/owndir/victim.htm", "real/victim.htm"},
        {"another user's link in a private folder", "planteddir/victim.htm", "real/victim.htm"},
        {"back out of a linked folder", "shared/owndir/sub/../victim.htm", "real/victim.htm"},
        {"a new file through an own link", "shared/owndir/new.htm", "real/new.htm"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        const std::string shared = dir.file("shared");
        ASSERT_EQ(::mkdir(shared.c_str(), 0700), 0);
        ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
        ASSERT_EQ(::mkdir(dir.file("real").c_str(), 0700), 0);
        ASSERT_EQ(::mkdir(dir.file("real/sub").c_str(), 0700), 0);
        writeFileBytes(dir.file("real/victim.htm"), "my page");
        for (const auto& [link, target] :
             std::initializer_list<std::pair<const char*, std::string>>{
                 {"shared/planted.htm", dir.file("real/victim.htm")},
                 {"shared/planteddir", dir.file("real")},
                 {"shared/owndir", dir.file("real")},
                 {"planteddir", "real"},
                 {"mine", "shared/planteddir"}})
            ASSERT_EQ(::symlink(target.c_str(), dir.file(link).c_str()), 0) << link;

        PlantedLinkOps ops;
        AtomicFileWriter file(ops);
        const std::string path = dir.file(c.path);
        const bool written = file.open(path) && file.write("new", 3) && file.commit();
        EXPECT_EQ(written, c.hit != nullptr) << c.name;
        if (c.hit) {
            EXPECT_EQ(readFileBytes(dir.file(c.hit)), "new") << c.name;
        } else {
            EXPECT_EQ(fileErrorText(file.error()), "Access to " + path + " was denied.") << c.name;
            EXPECT_EQ(readFileBytes(dir.file("real/victim.htm")), "my page") << c.name;
        }
        // No temporary file left, nothing made but the new file.
        std::vector<std::string> expected{"sub", "victim.htm"};
        if (c.hit && std::string(c.hit) == "real/new.htm")
            expected.insert(expected.begin(), "new.htm");
        EXPECT_EQ(entries(dir.file("real")), expected) << c.name;
    }
}

TEST(AtomicWrite, ReplacedFileKeepsItsOwnerAndGroup) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "giving a file to another user needs root";
    TempDir dir;
    const std::string path = dir.file("theirs.lfp");
    writeFileBytes(path, "old");
    ASSERT_EQ(::chown(path.c_str(), 65534, 65534), 0);
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    ASSERT_TRUE(saveProjectFile(bigDoc(), path).ok());
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 65534u);
    EXPECT_EQ(st.st_gid, 65534u);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST(AtomicWrite, RefusedOwnerChangeKeepsTodaysBehaviour) {
    class Ops : public SystemCalls {
    public:
        int fchown(int, uid_t, gid_t) override {
            errno = EPERM;
            return -1;
        }
    } ops;
    TempDir dir;
    const std::string path = dir.file("p.htm");
    writeFileBytes(path, "old");
    if (::chown(path.c_str(), 65534, 65534) != 0) {
        // not root: the file is this user's, and no change is needed
    }
    const Project doc = bigDoc();
    EXPECT_TRUE(writeStartPage(doc, path, ops).ok());
    EXPECT_EQ(readFileBytes(path), renderPage(doc));
}

// A page write killed at a random moment leaves the old page or the new one,
// never a mixture; a leftover temporary file is named after the page.
TEST(AtomicWrite, PageWriteKilledAtRandomPointsLeavesOldOrNew) {
    TempDir dir;
    const std::string path = dir.file("start.htm");
    const Project first = bigDoc("first");
    const Project second = bigDoc("second");
    const std::string pages[] = {renderPage(first), renderPage(second)};
    ASSERT_TRUE(writeStartPage(first, path).ok());
    std::mt19937 random(12345);
    for (int round = 0; round < 200; ++round) {
        pid_t pid = ::fork();
        if (pid == 0) {
            for (int i = 0;; ++i)
                (void)writeStartPage(i % 2 ? first : second, path);
        }
        ::usleep(std::uniform_int_distribution<useconds_t>(0, 3000)(random));
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        const std::string now = readFileBytes(path);
        ASSERT_TRUE(now == pages[0] || now == pages[1]) << "round " << round;
    }
    for (const std::string& name : entries(dir.path())) {
        if (name == "start.htm")
            continue;
        EXPECT_EQ(name.substr(0, 11), ".start.htm.") << name;
        EXPECT_EQ(name.substr(name.size() - 4), ".tmp") << name;
    }
}

// A killed write's temporary file is removed by the next write to the same
// target; one that a writer still holds locked, another user's, or a name
// outside the pattern is kept.
TEST(AtomicWrite, NextWriteRemovesUnheldTemporariesOfItsTarget) {
    TempDir dir;
    ::chmod(dir.path().c_str(), 0777);
    const std::string path = dir.file("proj.lfp");
    ASSERT_TRUE(saveProjectFile(bigDoc("first"), path).ok());
    // A real killed save: stopped between its writes.
    const pid_t pid = ::fork();
    if (pid == 0) {
        AtomicFileWriter writer;
        if (writer.open(path) && writer.write("partial", 7))
            ::kill(::getpid(), SIGKILL);
        ::_exit(1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
    std::vector<std::string> killed = entries(dir.path());
    ASSERT_EQ(killed.size(), 2u);
    const std::string killedTemp = killed[0];
    ASSERT_EQ(killedTemp.substr(0, 10), ".proj.lfp.");

    const std::vector<std::string> planted = {".proj.lfp.AbC123.tmp", ".proj.lfp.zzzzzz.tmp"};
    const std::vector<std::string> kept = {".proj.lfp.HELD00.tmp",  ".proj.lfp.AbC12.tmp",
                                           ".proj.lfp.AbC1234.tmp", ".proj.lfp.AbC-23.tmp",
                                           ".other.lfp.AbC123.tmp", "proj.lfp.AbC123.tmp"};
    for (const std::string& name : planted)
        writeFileBytes(dir.file(name), "left over");
    for (const std::string& name : kept)
        writeFileBytes(dir.file(name), "keep");
    // A link named like a leftover is not followed, and stays.
    std::filesystem::create_symlink(dir.file("proj.lfp"), dir.file(".proj.lfp.Link00.tmp"));
    const int held = ::open(dir.file(".proj.lfp.HELD00.tmp").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    bool otherUser = false;
    if (::geteuid() == 0)
        otherUser = runAsNobody([&] { writeFileBytes(dir.file(".proj.lfp.Nobody.tmp"), "x"); });

    const Project second = bigDoc("second");
    ASSERT_TRUE(saveProjectFile(second, path).ok());
    ::close(held);
    std::vector<std::string> expected = kept;
    expected.push_back("proj.lfp");
    expected.push_back(".proj.lfp.Link00.tmp");
    if (otherUser)
        expected.push_back(".proj.lfp.Nobody.tmp");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(entries(dir.path()), expected);
    // The held one goes once its writer lets go.
    ASSERT_TRUE(saveProjectFile(second, path).ok());
    const std::vector<std::string> after = entries(dir.path());
    EXPECT_EQ(std::count(after.begin(), after.end(), ".proj.lfp.HELD00.tmp"), 0);
}

// Writers of one target at the same time never remove each other's file.
TEST(AtomicWrite, ConcurrentWritersKeepEachOthersTemporaries) {
    TempDir dir;
    const std::string path = dir.file("start.htm");
    const Project doc = bigDoc();
    std::vector<pid_t> children;
    for (int c = 0; c < 3; ++c) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            for (int i = 0; i < 40; ++i)
                if (!writeStartPage(doc, path).ok())
                    ::_exit(1);
            ::_exit(0);
        }
        children.push_back(pid);
    }
    for (const pid_t pid : children) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(entries(dir.path()), std::vector<std::string>{"start.htm"});
}
