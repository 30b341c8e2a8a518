#include "bookmarks/PrivateDatabaseCopy.h"

#include "bookmarks/SourceFile.h"
#include "core/FileError.h"
#include "core/ProjectFile.h"

#include <sqlite3.h>

#include <algorithm>
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
#include <utility>
#include <vector>

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
constexpr const char* kTooMuchWork = "takes more work to read than a database of its size.";

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

// Why the last statement on db failed, to follow "PATH: ".
std::string readError(sqlite3* db) {
    switch (sqlite3_errcode(db) & 0xff) {
    case SQLITE_NOTADB:
        return "is not a database.";
    case SQLITE_INTERRUPT:
        return kTooMuchWork;
    case SQLITE_NOMEM:
        return "cannot be read: not enough memory to read it.";
    case SQLITE_TOOBIG:
        return "holds a value larger than the file.";
    default:
        return "is damaged.";
    }
}

int spendWork(void* work) {
    auto* left = static_cast<DatabaseWork*>(work);
    if (left->thousands == 0)
        return 1; // interrupts the statement
    --left->thousands;
    return 0;
}

// The first column of the statement's single row, as a whole number; -1
// when it gives no row.
sqlite3_int64 countOf(sqlite3* db, const char* sql, const std::string& name) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) != SQLITE_OK)
        return -1;
    sqlite3_bind_text(stmt, 1, name.c_str(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
    const sqlite3_int64 count =
        sqlite3_step(stmt) == SQLITE_ROW ? sqlite3_column_int64(stmt, 0) : -1;
    sqlite3_finalize(stmt);
    return count;
}

} // namespace

void limitOutsideDatabase(sqlite3* db, size_t sourceBytes, DatabaseWork& work) {
    sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_VIEW, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0, nullptr);
    sqlite3_exec(db, "PRAGMA trusted_schema=OFF", nullptr, nullptr, nullptr);
    sqlite3_exec(db, "PRAGMA cell_size_check=ON", nullptr, nullptr, nullptr);
    // No value read can be longer than the file it is stored in; a little
    // more for the program's own statements on a tiny file.
    constexpr size_t kMinLength = size_t{1} << 20;
    const size_t length = std::min<size_t>(std::max(sourceBytes, kMinLength), 1'000'000'000);
    sqlite3_limit(db, SQLITE_LIMIT_LENGTH, static_cast<int>(length));
    work.thousands = (kDatabaseBaseSteps + kDatabaseStepsPerByte * sourceBytes) / 1000;
    sqlite3_progress_handler(db, 1000, spendWork, &work);
}

std::string plainSchemaError(sqlite3* db) {
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT type, name, rootpage FROM sqlite_master", -1, &raw,
                           nullptr) != SQLITE_OK) {
        return readError(db);
    }
    std::vector<std::pair<std::string, std::string>> entries; // type, name
    int rc = SQLITE_OK;
    bool virtualTable = false;
    while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
        auto text = [raw](int column) {
            const unsigned char* t = sqlite3_column_text(raw, column);
            return t ? std::string(reinterpret_cast<const char*>(t)) : std::string();
        };
        // A virtual table is the one table without a b-tree of its own.
        virtualTable = virtualTable || (text(0) == "table" && sqlite3_column_int64(raw, 2) == 0);
        entries.emplace_back(text(0), text(1));
    }
    std::string error = rc == SQLITE_DONE ? std::string() : readError(db);
    sqlite3_finalize(raw);
    if (!error.empty())
        return error;
    constexpr const char* kComputed =
        "is not a plain database: it computes what it holds (views, triggers, virtual tables, "
        "generated columns or indexes on expressions), which is not read.";
    if (virtualTable)
        return kComputed;
    for (const auto& [type, name] : entries) {
        if (type == "table") {
            const sqlite3_int64 generated = countOf(
                db, "SELECT count(*) FROM pragma_table_xinfo(?1) WHERE hidden IN (2, 3)", name);
            if (generated != 0)
                return generated < 0 ? "is damaged." : kComputed;
        } else if (type == "index") {
            const sqlite3_int64 expressions =
                countOf(db, "SELECT count(*) FROM pragma_index_xinfo(?1) WHERE cid = -2", name);
            if (expressions != 0)
                return expressions < 0 ? "is damaged." : kComputed;
        } else {
            return kComputed; // a view or a trigger
        }
    }
    return {};
}

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
    limitOutsideDatabase(m_db, m_bytes, m_work);
    // The WAL goes into the copy, which then stands alone: unlinked, it
    // lives only as long as it is open.
    sqlite3_exec(m_db, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr);
    const std::string schemaError = plainSchemaError(m_db);
    fs::remove_all(m_folder, ec);
    m_folder.clear();
    if (!schemaError.empty())
        return fail(path + ": " + schemaError);
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
