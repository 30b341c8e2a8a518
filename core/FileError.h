#pragma once

#include <string>

// Causes of a failed file operation, each with its fixed message.
enum class FileErrorCause {
    None,
    Generic,
    FileNotFound,
    BadPath,
    TooManyOpenFiles,
    AccessDenied,
    InvalidFile,
    RemoveCurrentDir,
    DirectoryFull,
    BadSeek,
    HardIO,
    SharingViolation,
    LockViolation,
    DiskFull,
    EndOfFile,
    UnexpectedFormat, // the project file's records are cut short or malformed
    OpenFailed,       // no memory to hold what the file describes
    SaveFailed,       // no memory to prepare what was to be written
    PageIsProject,    // the page would be written over its own project
};

// The outcome of opening, saving or writing a file: ok, or the cause and the
// path it concerns. The user's text is made from it by fileErrorText() only.
struct FileResult {
    FileErrorCause cause = FileErrorCause::None;
    std::string path;

    bool ok() const { return cause == FileErrorCause::None; }
    static FileResult success() { return {}; }
    static FileResult failure(FileErrorCause why, std::string where) {
        return {why, std::move(where)};
    }
    // The cause closest to a system error number; 0 is success.
    static FileResult fromErrno(int err, std::string where);
};

// The closest cause for an errno value.
FileErrorCause fileErrorCauseFromErrno(int err);

// The message for a cause, with %1 replaced by path.
std::string fileErrorText(FileErrorCause cause, const std::string& path);
// The message for a result ("No error occurred." for success).
std::string fileErrorText(const FileResult& result);
