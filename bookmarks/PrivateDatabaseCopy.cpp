#include "bookmarks/PrivateDatabaseCopy.h"

#include <sqlite3.h>

#include <cstdlib>

namespace fs = std::filesystem;

PrivateDatabaseCopy::~PrivateDatabaseCopy() {
    if (m_db)
        sqlite3_close_v2(m_db);
    std::error_code ec;
    if (!m_folder.empty())
        fs::remove_all(m_folder, ec);
}

bool PrivateDatabaseCopy::fail(const std::string& path, std::string error) {
    m_errorPath = path;
    m_error = std::move(error);
    return false;
}

bool PrivateDatabaseCopy::open(const std::string& path, size_t maxBytes) {
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    if (ec)
        return fail(path, "cannot be read (" + ec.message() + ")");
    if (size > maxBytes)
        return fail(path, "is larger than 1 GiB, too large to read");
    std::string templ = (fs::temp_directory_path(ec) / "linkfold-places-XXXXXX").string();
    if (ec || !::mkdtemp(templ.data()))
        return fail(path, "no temporary folder to copy the database into");
    m_folder = templ;
    const fs::path name = fs::path(path).filename();
    const fs::path copy = m_folder / name;
    fs::copy_file(path, copy, ec);
    if (ec)
        return fail(path, "cannot be copied (" + ec.message() + ")");
    const std::string wal = path + "-wal";
    if (fs::exists(wal, ec)) {
        fs::copy_file(wal, m_folder / (name.string() + "-wal"), ec);
        if (ec)
            return fail(wal, "cannot be copied (" + ec.message() + ")");
    }
    sqlite3* raw = nullptr;
    const int rc =
        sqlite3_open_v2(copy.c_str(), &raw, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        const std::string message = raw ? sqlite3_errmsg(raw) : "cannot be opened";
        sqlite3_close_v2(raw);
        return fail(path, message);
    }
    m_db = raw;
    return true;
}
