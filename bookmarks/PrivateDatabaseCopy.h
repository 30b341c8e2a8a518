#pragma once

#include <cstddef>
#include <string>

struct sqlite3;

// A browser's SQLite database opened through a private copy, so that the
// browser's lock does not matter and nothing is written next to the
// original.
//
// The source must be a regular file (a FIFO or device is refused at once).
// A hot rollback journal beside it means a writer is in the middle of a
// change: the copy is refused ("try again"). A -wal file is copied with the
// database when its page size matches the database's, and folded into the
// copy; the copy is then unlinked while it stays open, so nothing is left
// behind however the program ends. Copies left by a program that was killed
// while copying are removed by the next open.
class PrivateDatabaseCopy {
public:
    PrivateDatabaseCopy() = default;
    PrivateDatabaseCopy(const PrivateDatabaseCopy&) = delete;
    PrivateDatabaseCopy& operator=(const PrivateDatabaseCopy&) = delete;
    ~PrivateDatabaseCopy();

    // Copies and opens path. On failure returns false and error() says why in
    // the program's words, naming the file; db() is then null.
    bool open(const std::string& path, size_t maxBytes);
    sqlite3* db() const { return m_db; }
    const std::string& error() const { return m_error; }
    // The bytes copied: the database and its -wal.
    size_t sourceBytes() const { return m_bytes; }
    // Whether a -wal was folded into the copy. The structural check after
    // folding cannot see every page out of place: a read that then finds
    // the database damaged blames the -wal (walMismatch()).
    bool walApplied() const { return m_walApplied; }
    std::string walMismatch() const;

    // The folder the copies are made in: linkfold/copies under the user's
    // cache folder ($XDG_CACHE_HOME, else ~/.cache), else the temporary one.
    static std::string copiesFolder();
    // Removes the copies left there by programs that are gone (killed while
    // copying); the program calls it when it starts.
    static void removeLeftoverCopies();

private:
    bool fail(std::string error);

    sqlite3* m_db = nullptr;
    std::string m_folder;
    std::string m_error;
    size_t m_bytes = 0;
    bool m_walApplied = false;
    std::string m_path;
    std::string m_walPath; // beside the file the path resolves to
};
