#include "bookmarks/PrivateDatabaseCopy.h"

#include "bookmarks/SourceFile.h"
#include "core/FileError.h"
#include "core/ProjectFile.h"

#include <sqlite3.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// The file a path names, symbolic links followed; the path itself when it
// cannot be resolved.
std::string resolvedPath(const std::string& path) {
    char* real = ::realpath(path.c_str(), nullptr);
    if (!real)
        return path;
    std::string out(real);
    std::free(real);
    return out;
}

constexpr const char* kCopyPrefix = "copy-";

// The first bytes of a file, or fewer when it is shorter or unreadable.
std::string fileHead(const std::string& path, size_t count) {
    std::string head(count, '\0');
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return {};
    struct stat st {};
    ssize_t n = -1;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode))
        n = ::pread(fd, head.data(), count, 0);
    ::close(fd);
    head.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return head;
}

std::uint32_t bigEndian(const std::string& bytes, size_t at, size_t width) {
    std::uint32_t value = 0;
    for (size_t i = 0; i < width; ++i)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

// A rollback journal whose header is not zeroed: a change is under way (or
// was cut off), and the database alone is torn.
bool hasHotJournal(const std::string& path) {
    static constexpr std::array<unsigned char, 8> kMagic{0xd9, 0xd5, 0x05, 0xf9,
                                                         0x20, 0xa1, 0x63, 0xd7};
    const std::string head = fileHead(path + "-journal", kMagic.size());
    return head.size() == kMagic.size() &&
           std::equal(kMagic.begin(), kMagic.end(), head.begin(),
                      [](unsigned char a, char b) { return a == static_cast<unsigned char>(b); });
}

// The WAL header: magic, version, page size, checkpoint sequence, salts.
struct WalHeader {
    bool valid = false;
    std::uint32_t pageSize = 0;
    std::string sequenceAndSalts; // changes whenever the WAL starts over

    bool operator==(const WalHeader&) const = default;
};

WalHeader walHeader(const std::string& walPath) {
    const std::string head = fileHead(walPath, 32);
    WalHeader header;
    if (head.size() < 32)
        return header;
    const std::uint32_t magic = bigEndian(head, 0, 4);
    header.valid = magic == 0x377f0682 || magic == 0x377f0683;
    header.pageSize = bigEndian(head, 8, 4);
    header.sequenceAndSalts = head.substr(12, 12);
    return header;
}

std::uint32_t databasePageSize(const std::string& copy) {
    const std::string head = fileHead(copy, 100);
    if (head.size() < 100)
        return 0;
    const std::uint32_t size = bigEndian(head, 16, 2);
    return size == 1 ? 65536 : size;
}

// Copies the open file into a new file at `to`, at most maxBytes.
FileResult copyInto(int from, const std::string& to, size_t maxBytes, bool& tooLarge) {
    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (out < 0)
        return FileResult::fromErrno(errno, to);
    size_t total = 0;
    bool kernelCopy = true;
    std::string buffer;
    int err = 0;
    for (;;) {
        ssize_t n = -1;
        if (kernelCopy) {
            n = ::copy_file_range(from, nullptr, out, nullptr, size_t{1} << 24, 0);
            if (n < 0 &&
                (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)) {
                kernelCopy = false;
                buffer.resize(size_t{1} << 20);
                continue;
            }
        } else {
            n = ::read(from, buffer.data(), buffer.size());
            for (ssize_t done = 0; n > 0 && done < n;) {
                const ssize_t w = ::write(out, buffer.data() + done, static_cast<size_t>(n - done));
                if (w < 0) {
                    if (errno == EINTR)
                        continue;
                    err = errno;
                    break;
                }
                done += w;
            }
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (err == 0 && n < 0)
            err = errno;
        if (err != 0 || n <= 0)
            break;
        total += static_cast<size_t>(n);
        if (total > maxBytes) {
            tooLarge = true;
            break;
        }
    }
    ::close(out);
    if (err != 0)
        return FileResult::fromErrno(err, to);
    return FileResult::success();
}

// Whether SQLite's structural check of the database (its b-trees, not the
// contents of its indexes) finds nothing wrong.
bool quickCheckPasses(sqlite3* db) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA quick_check(1)", -1, &stmt, nullptr) != SQLITE_OK)
        return false;
    bool ok = false;
    if (sqlite3_step(stmt) == SQLITE_ROW) {
        const unsigned char* text = sqlite3_column_text(stmt, 0);
        ok = text && std::string_view(reinterpret_cast<const char*>(text)) == "ok";
    }
    sqlite3_finalize(stmt);
    return ok;
}

// Removes the copies of programs that are gone: folders named copy-PID-*.
void removeLeftovers(const fs::path& base) {
    std::error_code ec;
    for (auto it = fs::directory_iterator(base, ec); !ec && it != fs::directory_iterator();
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.rfind(kCopyPrefix, 0) != 0)
            continue;
        const long pid =
            std::strtol(name.c_str() + std::char_traits<char>::length(kCopyPrefix), nullptr, 10);
        if (pid <= 0 || pid == ::getpid())
            continue;
        if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM)
            continue;
        std::error_code ignored;
        fs::remove_all(it->path(), ignored);
    }
}

} // namespace

std::string PrivateDatabaseCopy::copiesFolder() {
    if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache && *cache == '/')
        return (fs::path(cache) / "linkfold" / "copies").string();
    if (const char* home = std::getenv("HOME"); home && *home == '/')
        return (fs::path(home) / ".cache" / "linkfold" / "copies").string();
    std::error_code ec;
    return (fs::temp_directory_path(ec) / ("linkfold-copies-" + std::to_string(::getuid())))
        .string();
}

void PrivateDatabaseCopy::removeLeftoverCopies() {
    removeLeftovers(copiesFolder());
}

PrivateDatabaseCopy::~PrivateDatabaseCopy() {
    if (m_db)
        sqlite3_close_v2(m_db);
    std::error_code ec;
    if (!m_folder.empty())
        fs::remove_all(m_folder, ec);
}

bool PrivateDatabaseCopy::fail(std::string error) {
    m_error = std::move(error);
    if (m_db)
        sqlite3_close_v2(m_db);
    m_db = nullptr;
    return false;
}

bool PrivateDatabaseCopy::open(const std::string& path, size_t maxBytes) {
    m_path = path;
    ProjectFileHandle source;
    if (FileResult opened = openProjectFile(path, source); !opened.ok())
        return fail(sourceOpenErrorText(path, opened));
    if (source.size > maxBytes)
        return fail(path + ": is larger than " + std::to_string(maxBytes >> 20) +
                    " MiB, too large to read.");
    const std::string busy = path + ": is being changed by another program; try again.";

    const fs::path base = copiesFolder();
    std::error_code ec;
    fs::create_directories(base, ec);
    fs::permissions(base, fs::perms::owner_all, fs::perm_options::replace, ec);
    removeLeftovers(base);
    std::string templ = (base / (kCopyPrefix + std::to_string(::getpid()) + "-XXXXXX")).string();
    if (!::mkdtemp(templ.data()))
        return fail(fileErrorText(FileResult::fromErrno(errno, base.string())));
    m_folder = templ;
    const std::string copy = (fs::path(m_folder) / "db").string();
    // SQLite keeps the -wal and the journal beside the database file
    // itself: through a symbolic link, beside its target.
    const std::string real = resolvedPath(path);
    const std::string wal = real + "-wal";
    m_walPath = wal;

    // A change or checkpoint during the copy shows in the database's time or
    // the WAL's salts: copy again, a few times at most.
    bool copied = false;
    for (int attempt = 0; attempt < 3 && !copied; ++attempt) {
        fs::remove(copy, ec);
        fs::remove(copy + "-wal", ec);
        if (hasHotJournal(real))
            return fail(busy);
        struct stat before {};
        ::fstat(source.fd.get(), &before);
        const WalHeader walBefore = walHeader(wal);
        bool tooLarge = false;
        ::lseek(source.fd.get(), 0, SEEK_SET);
        if (FileResult r = copyInto(source.fd.get(), copy, maxBytes, tooLarge); !r.ok())
            return fail(fileErrorText(r));
        if (tooLarge)
            return fail(path + ": is larger than " + std::to_string(maxBytes >> 20) +
                        " MiB, too large to read.");
        if (walBefore.valid) {
            if (walBefore.pageSize != databasePageSize(copy))
                return fail(wal + ": does not belong to the database beside it.");
            ProjectFileHandle walFile;
            if (FileResult r = openProjectFile(wal, walFile); !r.ok())
                return fail(fileErrorText(r));
            if (FileResult r = copyInto(walFile.fd.get(), copy + "-wal", maxBytes, tooLarge);
                !r.ok())
                return fail(fileErrorText(r));
            if (tooLarge)
                return fail(wal + ": is larger than " + std::to_string(maxBytes >> 20) +
                            " MiB, too large to read.");
        }
        struct stat after {};
        ::fstat(source.fd.get(), &after);
        copied = before.st_mtim.tv_sec == after.st_mtim.tv_sec &&
                 before.st_mtim.tv_nsec == after.st_mtim.tv_nsec &&
                 before.st_size == after.st_size && walHeader(wal) == walBefore &&
                 !hasHotJournal(real);
    }
    if (!copied)
        return fail(busy);

    m_bytes = static_cast<size_t>(fs::file_size(copy, ec));
    const bool withWal = fs::exists(copy + "-wal", ec);
    if (withWal)
        m_bytes += static_cast<size_t>(fs::file_size(copy + "-wal", ec));

    sqlite3* raw = nullptr;
    const int rc =
        sqlite3_open_v2(copy.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    m_db = raw;
    if (rc != SQLITE_OK)
        return fail(
            path + ": " +
            (rc == SQLITE_NOTADB ? "is not a database." : "cannot be opened as a database."));
    // The WAL goes into the copy, which then stands alone: unlinked, it
    // lives only as long as it is open.
    sqlite3_exec(m_db, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr);
    const int code =
        sqlite3_exec(m_db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    fs::remove_all(m_folder, ec);
    m_folder.clear();
    if (code == SQLITE_NOTADB)
        return fail(path + ": is not a database.");
    if (code != SQLITE_OK)
        return fail(path + ": is damaged.");
    // SQLite applies any -wal whose frames agree with its own header, even
    // one left beside the database by another: its pages then tear the
    // database's b-trees apart, which the structural check finds.
    m_walApplied = withWal;
    if (withWal && !quickCheckPasses(m_db))
        return fail(walMismatch());
    return true;
}

std::string PrivateDatabaseCopy::walMismatch() const {
    return m_walPath + ": does not belong to the database beside it.";
}
