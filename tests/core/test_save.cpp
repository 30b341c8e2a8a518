#include "TestUtil.h"

#include "core/AtomicFileWriter.h"
#include "core/PageWriter.h"
#include "core/Project.h"
#include "core/ProjectFile.h"
#include "core/SettingsFile.h"

#include <cerrno>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

// Fails the chosen step with the chosen errno; every other call goes through.
class FailingOps : public SystemCalls {
public:
    enum Step { kNone, kStat, kAccess, kMkstemp, kFchmod, kWrite, kFsync, kClose, kRename };
    FailingOps(Step step, int err) : m_step(step), m_err(err) {}

    int mkstemps(char* t, int n) override {
        return fail(kMkstemp) ? -1 : SystemCalls::mkstemps(t, n);
    }
    int fchmod(int fd, mode_t m) override {
        return fail(kFchmod) ? -1 : SystemCalls::fchmod(fd, m);
    }
    ssize_t write(int fd, const void* b, size_t n) override {
        // Let part of the file reach the disk before the failure.
        if (m_step == kWrite && m_written > 1000) {
            errno = m_err;
            return -1;
        }
        ssize_t w = SystemCalls::write(fd, b, std::min<size_t>(n, 700));
        if (w > 0)
            m_written += static_cast<size_t>(w);
        return w;
    }
    int stat(const char* p, struct stat* st) override {
        return fail(kStat) ? -1 : SystemCalls::stat(p, st);
    }
    int access(const char* p, int how) override {
        return fail(kAccess) ? -1 : SystemCalls::access(p, how);
    }
    int fsync(int fd) override { return fail(kFsync) ? -1 : SystemCalls::fsync(fd); }
    int close(int fd) override {
        int r = SystemCalls::close(fd);
        return fail(kClose) ? -1 : r;
    }
    int rename(const char* a, const char* b) override {
        return fail(kRename) ? -1 : SystemCalls::rename(a, b);
    }

private:
    bool fail(Step s) {
        if (s != m_step)
            return false;
        errno = m_err;
        return true;
    }
    Step m_step;
    int m_err;
    size_t m_written = 0;
};

Project bigDoc() {
    Project doc;
    for (int i = 0; i < 500; ++i)
        doc.addLink(i % 10, "link " + std::to_string(i), "http://example.com/" + std::to_string(i));
    return doc;
}

size_t countEntries(const std::filesystem::path& dir) {
    size_t n = 0;
    for (auto it = std::filesystem::directory_iterator(dir);
         it != std::filesystem::directory_iterator(); ++it)
        ++n;
    return n;
}

} // namespace

TEST(SaveProject, EveryFailingStepLeavesTheOldFileAndNoTemporary) {
    const struct {
        FailingOps::Step step;
        int err;
        const char* message;
    } cases[] = {
        {FailingOps::kStat, EIO, "A hardware I/O error was reported while accessing %s."},
        {FailingOps::kAccess, EROFS, "Access to %s was denied."},
        {FailingOps::kMkstemp, EACCES, "Access to %s was denied."},
        {FailingOps::kFchmod, EPERM, "Access to %s was denied."},
        {FailingOps::kWrite, ENOSPC, "Disk full while accessing %s."},
        {FailingOps::kWrite, EIO, "A hardware I/O error was reported while accessing %s."},
        {FailingOps::kFsync, EIO, "A hardware I/O error was reported while accessing %s."},
        {FailingOps::kClose, EDQUOT, "Disk full while accessing %s."},
        {FailingOps::kRename, EXDEV, "An unknown error occurred while accessing %s."},
    };
    for (const auto& c : cases) {
        TempDir dir;
        const std::string path = dir.file("p.lfp");
        writeFileBytes(path, "previous contents");
        FailingOps ops(c.step, c.err);
        const FileResult r = saveProjectFile(bigDoc(), path, ops);
        EXPECT_FALSE(r.ok()) << c.step;
        std::string expected = c.message;
        expected.replace(expected.find("%s"), 2, path);
        EXPECT_EQ(fileErrorText(r), expected);
        EXPECT_EQ(readFileBytes(path), "previous contents") << c.step;
        EXPECT_EQ(countEntries(dir.path()), 1u) << "temporary file left behind, step " << c.step;
    }
}

TEST(SaveProject, ReplacesContentKeepsModeAndFollowsSymlinks) {
    TempDir dir;
    const std::string real = dir.file("real.lfp");
    const std::string link = dir.file("link.lfp");
    writeFileBytes(real, "old");
    ::chmod(real.c_str(), 0640);
    ASSERT_EQ(::symlink("real.lfp", link.c_str()), 0);
    Project doc = bigDoc();
    const FileResult r = saveProjectFile(doc, link);
    ASSERT_TRUE(r.ok()) << fileErrorText(r);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(readFileBytes(real), serializeProject(doc));
    struct stat st {};
    ASSERT_EQ(::stat(real.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(countEntries(dir.path()), 2u);
}

TEST(SaveProject, ReadOnlyTargetIsRefused) {
    TempDir dir;
    const std::string path = dir.file("ro.lfp");
    writeFileBytes(path, "keep");
    ::chmod(path.c_str(), 0444);
    EXPECT_EQ(fileErrorText(saveProjectFile(Project(), path)),
              "Access to " + path + " was denied.");
    EXPECT_EQ(readFileBytes(path), "keep");
}

TEST(SaveProject, MissingFolderIsNotFound) {
    TempDir dir;
    const std::string path = dir.file("no/such/dir.lfp");
    EXPECT_EQ(fileErrorText(saveProjectFile(Project(), path)), path + " was not found.");
}

TEST(SaveProject, DocumentKeepsModifiedFlagWhenSaveFails) {
    TempDir dir;
    Project doc;
    doc.setModified(true);
    EXPECT_FALSE(doc.save(dir.file("missing/x.lfp")));
    EXPECT_TRUE(doc.isModified());
    EXPECT_TRUE(doc.save(dir.file("x.lfp")));
    EXPECT_FALSE(doc.isModified());
    EXPECT_EQ(readFileBytes(dir.file("x.lfp")).size(), 245u);
}

// A FIFO or a device named as the project, the page or the settings file is
// refused and stays what it is; it is never replaced by a regular file.
TEST(SaveProject, OddTargetsAreRefusedNeverReplaced) {
    TempDir dir;
    std::vector<std::string> targets;
    targets.push_back(dir.file("pipe"));
    ASSERT_EQ(::mkfifo(targets.back().c_str(), 0600), 0);
    if (::geteuid() == 0) {
        targets.push_back(dir.file("null"));
        ASSERT_EQ(::mknod(targets.back().c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
    }
    for (const std::string& path : targets) {
        struct stat before {};
        ASSERT_EQ(::lstat(path.c_str(), &before), 0);
        const std::string refused = path + " contains an invalid path.";
        EXPECT_EQ(fileErrorText(saveProjectFile(Project(), path)), refused);
        EXPECT_EQ(fileErrorText(writeStartPage(Project(), path)), refused);
        SettingsFile ini(path);
        ini.load();
        ini.setIntValue("Settings", "PreviewPages", 1);
        EXPECT_EQ(fileErrorText(ini.save()), refused);
        struct stat after {};
        ASSERT_EQ(::lstat(path.c_str(), &after), 0);
        EXPECT_EQ(after.st_mode & S_IFMT, before.st_mode & S_IFMT) << path;
        EXPECT_EQ(after.st_rdev, before.st_rdev) << path;
        EXPECT_EQ(countEntries(dir.path()), targets.size()) << path;
    }
}

// A page written while its project is read fails as any save does, and a
// project found damaged half-way leaves the page as it was too.
TEST(SavePage, WrittenWhileReadingLeavesTheOldPageOnEveryFailure) {
    const struct {
        FailingOps::Step step;
        int err;
        size_t cut; // bytes of the project file kept, 0 for all
        const char* message;
    } cases[] = {
        {FailingOps::kWrite, ENOSPC, 0, "Disk full while accessing %p."},
        {FailingOps::kFsync, EIO, 0, "A hardware I/O error was reported while accessing %p."},
        {FailingOps::kRename, EXDEV, 0, "An unknown error occurred while accessing %p."},
        {FailingOps::kNone, 0, 3000, "Unexpected file format."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        TempDir dir;
        const std::string project = dir.file("p.lfp");
        const std::string page = dir.file("p.htm");
        std::string bytes = serializeProject(bigDoc());
        if (c.cut != 0)
            bytes.resize(c.cut);
        writeFileBytes(project, bytes);
        writeFileBytes(page, "previous contents");
        FailingOps ops(c.step, c.err);
        ProjectFileHandle file;
        ASSERT_TRUE(openProjectFile(project, file).ok());
        Project header;
        const FileResult r = writeStartPageWhileReading(
            file, project, header, page, [](const Project&) { return true; }, ops);
        std::string expected = c.message;
        if (expected.find("%p") != std::string::npos)
            expected.replace(expected.find("%p"), 2, page);
        EXPECT_EQ(fileErrorText(r), expected);
        EXPECT_EQ(readFileBytes(page), "previous contents");
        EXPECT_EQ(countEntries(dir.path()), 2u) << "temporary file left behind";
    }
}
