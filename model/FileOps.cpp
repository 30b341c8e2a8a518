#include "model/FileOps.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

int CFileOps::Open(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }
ssize_t CFileOps::Read(int fd, void* buf, size_t n) { return ::read(fd, buf, n); }
ssize_t CFileOps::Write(int fd, const void* buf, size_t n) { return ::write(fd, buf, n); }
int CFileOps::Fsync(int fd) { return ::fsync(fd); }
int CFileOps::Fchmod(int fd, mode_t mode) { return ::fchmod(fd, mode); }
int CFileOps::Close(int fd) { return ::close(fd); }
int CFileOps::Rename(const char* from, const char* to) { return ::rename(from, to); }
int CFileOps::Unlink(const char* path) { return ::unlink(path); }
int CFileOps::Mkstemp(char* templ) { return ::mkstemp(templ); }

CFileOps& SystemFileOps() {
    static CFileOps ops;
    return ops;
}

bool WriteAll(CFileOps& ops, int fd, const char* data, size_t n) {
    while (n > 0) {
        ssize_t w = ops.Write(fd, data, n);
        if (w < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (w == 0) {
            errno = ENOSPC;
            return false;
        }
        data += w;
        n -= static_cast<size_t>(w);
    }
    return true;
}

namespace {

constexpr size_t kBufferSize = 64 * 1024;

// Follows symbolic links so that the file they point to is the one replaced.
std::string ResolveTarget(const std::string& path) {
    std::string current = path;
    for (int depth = 0; depth < 40; ++depth) {
        char buf[PATH_MAX];
        ssize_t n = ::readlink(current.c_str(), buf, sizeof buf - 1);
        if (n < 0)
            return current;
        std::string link(buf, static_cast<size_t>(n));
        if (!link.empty() && link[0] == '/') {
            current = link;
        } else {
            auto slash = current.rfind('/');
            current = (slash == std::string::npos ? std::string() : current.substr(0, slash + 1)) +
                      link;
        }
    }
    return current;
}

std::string DirectoryOf(const std::string& path) {
    auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

CSafeFileWriter::~CSafeFileWriter() { Abort(); }

bool CSafeFileWriter::Fail() {
    m_errno = errno;
    Abort();
    errno = m_errno;
    return false;
}

bool CSafeFileWriter::Open(const std::string& path) {
    m_target = ResolveTarget(path);
    struct stat st {};
    mode_t mode = 0;
    bool exists = ::stat(m_target.c_str(), &st) == 0;
    if (exists) {
        if (S_ISDIR(st.st_mode)) {
            errno = EISDIR;
            m_errno = errno;
            return false;
        }
        mode = st.st_mode & 07777;
        // Refuse what the user could not write in place either; a file with
        // no write permission at all is read-only even for root.
        if ((mode & 0222) == 0) {
            errno = EACCES;
            m_errno = errno;
            return false;
        }
        if (::access(m_target.c_str(), W_OK) != 0) {
            m_errno = errno;
            return false;
        }
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    std::string templ = DirectoryOf(m_target) + "/.linkfold-XXXXXX";
    m_fd = m_ops.Mkstemp(templ.data());
    if (m_fd < 0) {
        m_errno = errno;
        return false;
    }
    m_temp = templ;
    if (m_ops.Fchmod(m_fd, mode) != 0)
        return Fail();
    m_buffer.reserve(kBufferSize);
    return true;
}

bool CSafeFileWriter::Flush() {
    if (!m_buffer.empty()) {
        if (!WriteAll(m_ops, m_fd, m_buffer.data(), m_buffer.size()))
            return Fail();
        m_buffer.clear();
    }
    return true;
}

bool CSafeFileWriter::Write(const void* data, size_t n) {
    if (m_fd < 0)
        return false;
    if (m_buffer.size() + n > kBufferSize || (m_buffer.empty() && n >= kBufferSize / 2)) {
        if (!Flush())
            return false;
        if (n >= kBufferSize / 2) {
            if (!WriteAll(m_ops, m_fd, static_cast<const char*>(data), n))
                return Fail();
            return true;
        }
    }
    m_buffer.append(static_cast<const char*>(data), n);
    return true;
}

bool CSafeFileWriter::Commit() {
    if (m_fd < 0)
        return false;
    if (!Flush())
        return false;
    if (m_ops.Fsync(m_fd) != 0)
        return Fail();
    int fd = m_fd;
    m_fd = -1;
    if (m_ops.Close(fd) != 0)
        return Fail();
    if (m_ops.Rename(m_temp.c_str(), m_target.c_str()) != 0)
        return Fail();
    m_temp.clear();
    // Make the rename itself durable; a failure here loses nothing.
    int dfd = ::open(DirectoryOf(m_target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return true;
}

void CSafeFileWriter::Abort() {
    int saved = errno;
    if (m_fd >= 0) {
        m_ops.Close(m_fd);
        m_fd = -1;
    }
    if (!m_temp.empty()) {
        m_ops.Unlink(m_temp.c_str());
        m_temp.clear();
    }
    errno = saved;
}
