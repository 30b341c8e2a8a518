#include "core/AtomicFileWriter.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
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

} // namespace

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
    std::string templ = directoryOf(m_target) + "/." + base + ".XXXXXX.tmp";
    int fd = m_ops.mkstemps(templ.data(), 4);
    if (fd < 0)
        return fail();
    m_fd = UniqueFd(fd, m_ops);
    m_temp = templ;
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
    errno = saved;
}

bool writableInPlace(SystemCalls& ops, const std::string& path, mode_t mode) {
    if ((mode & 0222) == 0) {
        errno = EACCES;
        return false;
    }
    return ops.access(path.c_str(), W_OK) == 0;
}
