#include "core/AtomicFileWriter.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

int SystemCalls::open(const char* path, int flags, mode_t mode) {
    return ::open(path, flags, mode);
}
ssize_t SystemCalls::read(int fd, void* buf, size_t n) {
    return ::read(fd, buf, n);
}
ssize_t SystemCalls::write(int fd, const void* buf, size_t n) {
    return ::write(fd, buf, n);
}
int SystemCalls::fsync(int fd) {
    return ::fsync(fd);
}
int SystemCalls::fchmod(int fd, mode_t mode) {
    return ::fchmod(fd, mode);
}
int SystemCalls::close(int fd) {
    return ::close(fd);
}
int SystemCalls::rename(const char* from, const char* to) {
    return ::rename(from, to);
}
int SystemCalls::unlink(const char* path) {
    return ::unlink(path);
}
int SystemCalls::mkstemp(char* templ) {
    return ::mkstemp(templ);
}

SystemCalls& systemCalls() {
    static SystemCalls ops;
    return ops;
}

bool writeAll(SystemCalls& ops, int fd, const char* data, size_t n) {
    while (n > 0) {
        ssize_t w = ops.write(fd, data, n);
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
std::string resolveTarget(const std::string& path) {
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
            current =
                (slash == std::string::npos ? std::string() : current.substr(0, slash + 1)) + link;
        }
    }
    return current;
}

std::string directoryOf(const std::string& path) {
    auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

AtomicFileWriter::~AtomicFileWriter() {
    abort();
}

bool AtomicFileWriter::fail() {
    m_errno = errno;
    abort();
    errno = m_errno;
    return false;
}

bool AtomicFileWriter::open(const std::string& path) {
    m_target = resolveTarget(path);
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
    std::string templ = directoryOf(m_target) + "/.linkfold-XXXXXX";
    m_fd = m_ops.mkstemp(templ.data());
    if (m_fd < 0) {
        m_errno = errno;
        return false;
    }
    m_temp = templ;
    if (m_ops.fchmod(m_fd, mode) != 0)
        return fail();
    m_buffer.reserve(kBufferSize);
    return true;
}

bool AtomicFileWriter::flush() {
    if (!m_buffer.empty()) {
        if (!writeAll(m_ops, m_fd, m_buffer.data(), m_buffer.size()))
            return fail();
        m_buffer.clear();
    }
    return true;
}

bool AtomicFileWriter::write(const void* data, size_t n) {
    if (m_fd < 0)
        return false;
    if (m_buffer.size() + n > kBufferSize || (m_buffer.empty() && n >= kBufferSize / 2)) {
        if (!flush())
            return false;
        if (n >= kBufferSize / 2) {
            if (!writeAll(m_ops, m_fd, static_cast<const char*>(data), n))
                return fail();
            return true;
        }
    }
    m_buffer.append(static_cast<const char*>(data), n);
    return true;
}

bool AtomicFileWriter::commit() {
    if (m_fd < 0)
        return false;
    if (!flush())
        return false;
    if (m_ops.fsync(m_fd) != 0)
        return fail();
    int fd = m_fd;
    m_fd = -1;
    if (m_ops.close(fd) != 0)
        return fail();
    if (m_ops.rename(m_temp.c_str(), m_target.c_str()) != 0)
        return fail();
    m_temp.clear();
    // Make the rename itself durable; a failure here loses nothing.
    int dfd = ::open(directoryOf(m_target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return true;
}

void AtomicFileWriter::abort() {
    int saved = errno;
    if (m_fd >= 0) {
        m_ops.close(m_fd);
        m_fd = -1;
    }
    if (!m_temp.empty()) {
        m_ops.unlink(m_temp.c_str());
        m_temp.clear();
    }
    errno = saved;
}
