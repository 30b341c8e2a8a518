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
};

// The closest cause for an errno value.
FileErrorCause fileErrorCauseFromErrno(int err);

// The message for a cause, with %1 replaced by path.
std::string fileErrorText(FileErrorCause cause, const std::string& path);

inline constexpr const char* kUnexpectedFileFormat = "Unexpected file format.";
inline constexpr const char* kFailedToOpenDocument = "Failed to open document.";
inline constexpr const char* kFailedToSaveDocument = "Failed to save document.";
