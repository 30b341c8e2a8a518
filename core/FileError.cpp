#include "core/FileError.h"

#include <cerrno>

FileErrorCause fileErrorCauseFromErrno(int err) {
    switch (err) {
    case 0:
        return FileErrorCause::None;
    case ENOENT:
        return FileErrorCause::FileNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
        return FileErrorCause::AccessDenied;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return FileErrorCause::DiskFull;
    case EIO:
        return FileErrorCause::HardIO;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
    case EINVAL:
        return FileErrorCause::BadPath;
    case EMFILE:
    case ENFILE:
        return FileErrorCause::TooManyOpenFiles;
    case EBADF:
        return FileErrorCause::InvalidFile;
    case ESPIPE:
        return FileErrorCause::BadSeek;
    case EBUSY:
        return FileErrorCause::SharingViolation;
    case EDEADLK:
    case ENOLCK:
        return FileErrorCause::LockViolation;
    default:
        return FileErrorCause::Generic;
    }
}

FileResult FileResult::fromErrno(int err, std::string where) {
    return {fileErrorCauseFromErrno(err), std::move(where)};
}

std::string fileErrorText(const FileResult& result) {
    return fileErrorText(result.cause, result.path);
}

std::string fileErrorText(FileErrorCause cause, const std::string& path) {
    const char* text = "An unknown error occurred while accessing %1.";
    switch (cause) {
    case FileErrorCause::None:
        return "No error occurred.";
    case FileErrorCause::Generic:
        break;
    case FileErrorCause::FileNotFound:
        text = "%1 was not found.";
        break;
    case FileErrorCause::BadPath:
        text = "%1 contains an invalid path.";
        break;
    case FileErrorCause::TooManyOpenFiles:
        text = "%1 could not be opened because there are too many open files.";
        break;
    case FileErrorCause::AccessDenied:
        text = "Access to %1 was denied.";
        break;
    case FileErrorCause::InvalidFile:
        text = "An invalid file handle was associated with %1.";
        break;
    case FileErrorCause::RemoveCurrentDir:
        text = "%1 could not be removed because it is the current directory.";
        break;
    case FileErrorCause::DirectoryFull:
        text = "%1 could not be created because the directory is full.";
        break;
    case FileErrorCause::BadSeek:
        text = "Seek failed on %1";
        break;
    case FileErrorCause::HardIO:
        text = "A hardware I/O error was reported while accessing %1.";
        break;
    case FileErrorCause::SharingViolation:
        text = "A sharing violation occurred while accessing %1.";
        break;
    case FileErrorCause::LockViolation:
        text = "A locking violation occurred while accessing %1.";
        break;
    case FileErrorCause::DiskFull:
        text = "Disk full while accessing %1.";
        break;
    case FileErrorCause::EndOfFile:
        text = "An attempt was made to access %1 past its end.";
        break;
    case FileErrorCause::UnexpectedFormat:
        return "Unexpected file format.";
    case FileErrorCause::OpenFailed:
        return "Failed to open document.";
    case FileErrorCause::SaveFailed:
        return "Failed to save document.";
    case FileErrorCause::PageIsProject:
        text = "%1 is the project itself; the page was not written over it.";
        break;
    }
    std::string out(text);
    if (auto pos = out.find("%1"); pos != std::string::npos)
        out.replace(pos, 2, path);
    return out;
}
