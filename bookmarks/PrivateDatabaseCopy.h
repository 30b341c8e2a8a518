#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct sqlite3;

// Every SQLite file from outside (a browser's places or favicon store, a
// bookmark source) is read as hostile: what reading it costs must follow
// its size, whatever its schema computes.

// The work a database from outside may still cost: steps of SQLite's
// virtual machine, in thousands, counted by a progress handler over every
// statement of the connection.
struct DatabaseWork {
    std::uint64_t thousands = 0;
};

// Sets the guards on db, opened on sourceBytes bytes from outside, before
// anything reads it: defensive mode, an untrusted schema, triggers and
// views off, no text or blob longer than the file, and a progress handler
// that interrupts the statement running when `work` (which must outlive
// db) is spent: kDatabaseBaseSteps and kDatabaseStepsPerByte for each byte.
inline constexpr std::uint64_t kDatabaseBaseSteps = std::uint64_t{5'000'000};
inline constexpr std::uint64_t kDatabaseStepsPerByte = 16;
void limitOutsideDatabase(sqlite3* db, size_t sourceBytes, DatabaseWork& work);

// Whether db holds only plain tables and indexes of their columns: no view,
// trigger, virtual table, generated column or index on an expression. Empty
// when so, else what is wrong in the program's words, to follow "PATH: ".
std::string plainSchemaError(sqlite3* db);

// A browser's SQLite database opened through a private copy, so that the
// browser's lock does not matter and nothing is written next to the
// original.
//
// The copy is opened with limitOutsideDatabase's guards, budgeted for the
// bytes copied, and refused unless plainSchemaError finds nothing.
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

    DatabaseWork m_work;
    sqlite3* m_db = nullptr;
    std::string m_folder;
    std::string m_error;
    size_t m_bytes = 0;
    bool m_walApplied = false;
    std::string m_path;
    std::string m_walPath; // beside the file the path resolves to
};
