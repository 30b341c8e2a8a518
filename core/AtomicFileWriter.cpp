#include "core/AtomicFileWriter.h"

#include <cerrno>
#include <climits>
#include <dirent.h>
#include <fcntl.h>
#include <string_view>
#include <sys/file.h>
#include <unistd.h>
#include <vector>

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

constexpr size_t kBufferSize = size_t{64} * 1024;
constexpr int kMaxLinks = 40;        // the kernel's limit for a chain of links
constexpr size_t kMaxTempBase = 200; // keeps ".NAME.XXXXXX.tmp" within NAME_MAX

std::string directoryOf(const std::string& path) {
    auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string baseNameOf(const std::string& path) {
    auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

constexpr std::string_view kTempSuffix = ".tmp";
constexpr size_t kTempRandom = 6; // the XXXXXX mkstemps fills in

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Whether name is prefix, six of mkstemps' letters and digits, ".tmp".
bool isTempName(std::string_view name, std::string_view prefix) {
    if (name.size() != prefix.size() + kTempRandom + kTempSuffix.size() ||
        name.substr(0, prefix.size()) != prefix ||
        name.substr(name.size() - kTempSuffix.size()) != kTempSuffix)
        return false;
    for (const char c : name.substr(prefix.size(), kTempRandom))
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            return false;
    return true;
}

} // namespace

void removeUnheldTemporaries(const std::string& folder, const std::string& prefix) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    const int saved = errno;
    const int dirFd = ::dirfd(dir);
    const uid_t me = ::geteuid();
    while (const dirent* entry = ::readdir(dir)) {
        if (!isTempName(entry->d_name, prefix))
            continue;
        const int flags = O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
        int fd = ::openat(dirFd, entry->d_name, O_RDONLY | flags);
        if (fd < 0 && errno == EACCES)
            fd = ::openat(dirFd, entry->d_name, O_WRONLY | flags);
        if (fd < 0)
            continue;
        struct stat held {};
        struct stat named {};
        // Only this user's plain files that no writer holds, and only while
        // the name still stands for the file locked.
        if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && held.st_uid == me &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            ::fstatat(dirFd, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            sameFile(held, named))
            ::unlinkat(dirFd, entry->d_name, 0);
        ::close(fd);
    }
    ::closedir(dir);
    errno = saved;
}

AtomicFileWriter::~AtomicFileWriter() {
    abort();
}

bool AtomicFileWriter::fail() {
    const int err = errno;
    if (m_error.ok())
        m_error = FileResult::fromErrno(err, m_path);
    abort();
    return false;
}

bool mayFollowLink(uid_t linkOwner, const struct stat& folder, uid_t follower) {
    const bool shared = (folder.st_mode & S_ISVTX) && (folder.st_mode & S_IWOTH);
    return !shared || linkOwner == follower || linkOwner == folder.st_uid;
}

// Follows the links at path, in the folders on the way as well as at its
// end, to the file that is to be replaced; every link must pass the kernel's
// rule for links in shared sticky folders. The name found has no links left
// in it, up to the first part that does not exist yet.
bool AtomicFileWriter::resolveTarget(const std::string& path) {
    // Parts still to walk, the next one last.
    std::vector<std::string> pending;
    auto pushParts = [&pending](const std::string& p) {
        size_t end = p.size();
        while (end > 0) {
            const size_t slash = p.rfind('/', end - 1);
            const size_t begin = slash == std::string::npos ? 0 : slash + 1;
            if (end > begin)
                pending.push_back(p.substr(begin, end - begin));
            if (slash == std::string::npos)
                break;
            end = slash;
        }
    };
    // The folder walked so far, with no links in it: "" is the current one.
    std::string walked = !path.empty() && path[0] == '/' ? "/" : "";
    auto join = [&walked](const std::string& name) {
        std::string joined = walked;
        if (!joined.empty() && joined.back() != '/')
            joined.push_back('/');
        joined.append(name);
        return joined;
    };
    pushParts(path);
    int links = 0;
    while (!pending.empty()) {
        std::string part = std::move(pending.back());
        pending.pop_back();
        if (part == ".")
            continue;
        if (part == "..") {
            const size_t slash = walked.rfind('/');
            const std::string last = slash == std::string::npos ? walked : walked.substr(slash + 1);
            if (walked == "/")
                continue;
            if (walked.empty() || last == "..")
                walked = join("..");
            else
                walked = slash == std::string::npos ? ""
                         : slash == 0               ? "/"
                                                    : walked.substr(0, slash);
            continue;
        }
        const std::string candidate = join(part);
        struct stat link {};
        if (m_ops.lstat(candidate.c_str(), &link) != 0) {
            if (errno != ENOENT)
                return false;
            // A new name: what follows it is for the writing to refuse.
            m_target = candidate;
            while (!pending.empty()) {
                m_target.push_back('/');
                m_target.append(pending.back());
                pending.pop_back();
            }
            return true;
        }
        if (!S_ISLNK(link.st_mode)) {
            if (!S_ISDIR(link.st_mode) && (!pending.empty() || path.back() == '/')) {
                errno = ENOTDIR;
                return false;
            }
            walked = candidate;
            continue;
        }
        if (++links > kMaxLinks) {
            errno = ELOOP;
            return false;
        }
        struct stat folder {};
        const std::string folderName = walked.empty() ? "." : walked;
        if (m_ops.stat(folderName.c_str(), &folder) != 0)
            return false;
        if (!mayFollowLink(link.st_uid, folder, ::geteuid())) {
            errno = EACCES;
            return false;
        }
        char buf[PATH_MAX];
        const ssize_t n = m_ops.readlink(candidate.c_str(), buf, sizeof buf);
        if (n < 0)
            return false;
        if (static_cast<size_t>(n) >= sizeof buf) {
            errno = ENAMETOOLONG;
            return false;
        }
        const std::string next(buf, static_cast<size_t>(n));
        if (next.empty()) {
            errno = ENOENT;
            return false;
        }
        if (next[0] == '/')
            walked.assign(1, '/');
        pushParts(next);
    }
    m_target = walked.empty() ? "." : walked;
    return true;
}

// Gives the new file the replaced file's owner and group where this user may;
// where not, at least the group; where not even that, it stays this user's.
void AtomicFileWriter::keepOwner(const struct stat& old) {
    struct stat now {};
    if (m_ops.fstat(m_fd.get(), &now) != 0)
        return;
    if (now.st_uid == old.st_uid && now.st_gid == old.st_gid)
        return;
    const int saved = errno;
    if (m_ops.fchown(m_fd.get(), old.st_uid, old.st_gid) != 0 && now.st_gid != old.st_gid)
        m_ops.fchown(m_fd.get(), static_cast<uid_t>(-1), old.st_gid);
    errno = saved;
}

bool AtomicFileWriter::open(const std::string& path) {
    abort();
    m_error = {};
    m_path = path;
    if (!resolveTarget(path))
        return fail();
    struct stat st {};
    mode_t mode = 0;
    const bool exists = m_ops.stat(m_target.c_str(), &st) == 0;
    if (exists) {
        // Only a regular file is replaced: a folder, a FIFO or a device
        // named as the target is refused and left as it is.
        if (!S_ISREG(st.st_mode)) {
            errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
            return fail();
        }
        mode = st.st_mode & 07777;
        // Refuse what the user could not write in place either.
        if (!writableInPlace(m_ops, m_target, mode))
            return fail();
    } else if (errno == ENOENT) {
        mode = 0666 & ~processUmask();
    } else {
        return fail(); // the target is there but cannot be looked at
    }
    std::string base = baseNameOf(m_target);
    if (base.size() > kMaxTempBase)
        base.resize(kMaxTempBase);
    const std::string folder = directoryOf(m_target);
    const std::string prefix = "." + base + ".";
    // The temporary file is locked for as long as it is written; a later
    // write removes those that nobody holds. Between creating and locking
    // it, such a write may have removed it: then a new one is made.
    for (int attempt = 0;; ++attempt) {
        std::string templ = folder;
        templ += '/';
        templ += prefix;
        templ += "XXXXXX";
        templ += kTempSuffix;
        const int fd = m_ops.mkstemps(templ.data(), static_cast<int>(kTempSuffix.size()));
        if (fd < 0)
            return fail();
        m_fd = UniqueFd(fd, m_ops);
        m_temp = templ;
        struct stat made {};
        struct stat named {};
        if (m_ops.fstat(fd, &made) != 0)
            return fail();
        // Locked by another (a write removing it), or removed already. Where
        // the file system has no locks, nothing is removed either.
        const bool taken = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
        if (!taken && m_ops.lstat(m_temp.c_str(), &named) == 0 && sameFile(made, named)) {
            // The lock lives as long as any descriptor of the file: a second
            // one holds it until the file is renamed or removed.
            m_lock = UniqueFd(::fcntl(fd, F_DUPFD_CLOEXEC, 0), systemCalls());
            break;
        }
        if (taken)
            m_ops.unlink(m_temp.c_str());
        m_temp.clear(); // not ours any more
        if (attempt == 3) {
            errno = EAGAIN;
            return fail();
        }
    }
    removeUnheldTemporaries(folder, prefix);
    if (exists)
        keepOwner(st);
    // After any change of owner, which may clear the set-id bits.
    if (m_ops.fchmod(m_fd.get(), mode) != 0)
        return fail();
    m_buffer.reserve(kBufferSize);
    return true;
}

bool AtomicFileWriter::flush() {
    if (!m_buffer.empty()) {
        if (!writeAll(m_ops, m_fd.get(), m_buffer.data(), m_buffer.size()))
            return fail();
        m_buffer.clear();
    }
    return true;
}

bool AtomicFileWriter::write(const void* data, size_t n) {
    if (!m_fd.valid())
        return false;
    if (m_buffer.size() + n > kBufferSize || (m_buffer.empty() && n >= kBufferSize / 2)) {
        if (!flush())
            return false;
        if (n >= kBufferSize / 2) {
            if (!writeAll(m_ops, m_fd.get(), static_cast<const char*>(data), n))
                return fail();
            return true;
        }
    }
    m_buffer.append(static_cast<const char*>(data), n);
    return true;
}

bool AtomicFileWriter::commit() {
    if (!m_fd.valid())
        return false;
    if (!flush())
        return false;
    if (m_ops.fsync(m_fd.get()) != 0)
        return fail();
    if (m_fd.reset() != 0)
        return fail();
    if (m_ops.rename(m_temp.c_str(), m_target.c_str()) != 0)
        return fail();
    m_temp.clear();
    m_lock.reset();
    // Make the rename itself durable; a failure here loses nothing.
    const int saved = errno;
    UniqueFd dir(m_ops.open(directoryOf(m_target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC),
                 m_ops);
    if (dir.valid())
        m_ops.fsync(dir.get());
    errno = saved;
    return true;
}

void AtomicFileWriter::abort() {
    const int saved = errno;
    m_fd.reset();
    if (!m_temp.empty()) {
        m_ops.unlink(m_temp.c_str());
        m_temp.clear();
    }
    m_lock.reset();
    errno = saved;
}

bool writableInPlace(SystemCalls& ops, const std::string& path, mode_t mode) {
    if ((mode & 0222) == 0) {
        errno = EACCES;
        return false;
    }
    return ops.access(path.c_str(), W_OK) == 0;
}
