#pragma once

#include <filesystem>
#include <string>

struct sqlite3;

// A browser's SQLite database opened through a copy in a private temporary
// folder (its -wal file copied beside it), read-only: the browser's lock
// does not matter, and nothing is written next to the original. The folder
// goes with the object.
class PrivateDatabaseCopy {
public:
    PrivateDatabaseCopy() = default;
    PrivateDatabaseCopy(const PrivateDatabaseCopy&) = delete;
    PrivateDatabaseCopy& operator=(const PrivateDatabaseCopy&) = delete;
    ~PrivateDatabaseCopy();

    // Copies and opens path. On failure returns false and error() says why
    // ("cannot be copied (...)"); db() is then null.
    bool open(const std::string& path, size_t maxBytes);
    sqlite3* db() const { return m_db; }
    const std::string& error() const { return m_error; }
    // The file the error is about (the database or its -wal file).
    const std::string& errorPath() const { return m_errorPath; }

private:
    bool fail(const std::string& path, std::string error);

    std::filesystem::path m_folder;
    sqlite3* m_db = nullptr;
    std::string m_error;
    std::string m_errorPath;
};
