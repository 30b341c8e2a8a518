#include "TestUtil.h"

#include "model/FileOps.h"
#include "model/LFDoc.h"
#include "model/ProjectFile.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Fails the chosen step with the chosen errno; every other call goes through.
class FailingOps : public CFileOps {
public:
    enum Step { kNone, kMkstemp, kFchmod, kWrite, kFsync, kClose, kRename };
    FailingOps(Step step, int err) : m_step(step), m_err(err) {}

    int Mkstemp(char* t) override { return Fail(kMkstemp) ? -1 : CFileOps::Mkstemp(t); }
    int Fchmod(int fd, mode_t m) override { return Fail(kFchmod) ? -1 : CFileOps::Fchmod(fd, m); }
    ssize_t Write(int fd, const void* b, size_t n) override {
        // Let part of the file reach the disk before the failure.
        if (m_step == kWrite && m_written > 1000) {
            errno = m_err;
            return -1;
        }
        ssize_t w = CFileOps::Write(fd, b, std::min<size_t>(n, 700));
        if (w > 0)
            m_written += static_cast<size_t>(w);
        return w;
    }
    int Fsync(int fd) override { return Fail(kFsync) ? -1 : CFileOps::Fsync(fd); }
    int Close(int fd) override {
        int r = CFileOps::Close(fd);
        return Fail(kClose) ? -1 : r;
    }
    int Rename(const char* a, const char* b) override {
        return Fail(kRename) ? -1 : CFileOps::Rename(a, b);
    }

private:
    bool Fail(Step s) {
        if (s != m_step)
            return false;
        errno = m_err;
        return true;
    }
    Step m_step;
    int m_err;
    size_t m_written = 0;
};

CLFDoc BigDoc() {
    CLFDoc doc;
    for (int i = 0; i < 500; ++i)
        doc.AddLink(i % 10, "link " + std::to_string(i), "http://example.com/" + std::to_string(i));
    return doc;
}

size_t CountEntries(const std::filesystem::path& dir) {
    size_t n = 0;
    for (auto it = std::filesystem::directory_iterator(dir); it != std::filesystem::directory_iterator();
         ++it)
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
        const std::string path = dir.File("p.lfp");
        WriteFileBytes(path, "previous contents");
        FailingOps ops(c.step, c.err);
        std::string error;
        EXPECT_FALSE(SaveProjectFile(BigDoc(), path, error, ops)) << c.step;
        std::string expected = c.message;
        expected.replace(expected.find("%s"), 2, path);
        EXPECT_EQ(error, expected);
        EXPECT_EQ(ReadFileBytes(path), "previous contents") << c.step;
        EXPECT_EQ(CountEntries(dir.Path()), 1u) << "temporary file left behind, step " << c.step;
    }
}

TEST(SaveProject, ReplacesContentKeepsModeAndFollowsSymlinks) {
    TempDir dir;
    const std::string real = dir.File("real.lfp");
    const std::string link = dir.File("link.lfp");
    WriteFileBytes(real, "old");
    ::chmod(real.c_str(), 0640);
    ASSERT_EQ(::symlink("real.lfp", link.c_str()), 0);
    std::string error;
    CLFDoc doc = BigDoc();
    ASSERT_TRUE(SaveProjectFile(doc, link, error)) << error;
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadFileBytes(real), SerializeProject(doc));
    struct stat st {};
    ASSERT_EQ(::stat(real.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(CountEntries(dir.Path()), 2u);
}

TEST(SaveProject, ReadOnlyTargetIsRefused) {
    TempDir dir;
    const std::string path = dir.File("ro.lfp");
    WriteFileBytes(path, "keep");
    ::chmod(path.c_str(), 0444);
    std::string error;
    EXPECT_FALSE(SaveProjectFile(CLFDoc(), path, error));
    EXPECT_EQ(error, "Access to " + path + " was denied.");
    EXPECT_EQ(ReadFileBytes(path), "keep");
}

TEST(SaveProject, MissingFolderIsNotFound) {
    TempDir dir;
    const std::string path = dir.File("no/such/dir.lfp");
    std::string error;
    EXPECT_FALSE(SaveProjectFile(CLFDoc(), path, error));
    EXPECT_EQ(error, path + " was not found.");
}

TEST(SaveProject, DocumentKeepsModifiedFlagWhenSaveFails) {
    TempDir dir;
    CLFDoc doc;
    doc.SetModifiedFlag(true);
    EXPECT_FALSE(doc.OnSaveDocument(dir.File("missing/x.lfp")));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_TRUE(doc.OnSaveDocument(dir.File("x.lfp")));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(ReadFileBytes(dir.File("x.lfp")).size(), 245u);
}
