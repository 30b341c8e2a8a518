#pragma once

#include "core/FileError.h"
#include "core/SystemCalls.h"
#include "core/UniqueFd.h"

#include <string>
#include <sys/types.h>

// Writes bytes to path without ever truncating the target in place: a
// temporary file beside it (".NAME.XXXXXX.tmp", so a leftover of a killed
// save says whose it is) is written, synced, given the target's mode and,
// where permitted, its owner and group, and renamed over it.
//
// A symbolic link at the path, or standing for a folder on the way, is
// followed, and keeps pointing at the replaced file, only where the kernel
// itself would follow it (see mayFollowLink): another user's link planted in
// /tmp is refused as access denied; a link loop, as an invalid path.
//
// The temporary file is locked (flock) while it is written. A save that
// was killed leaves its temporary file unlocked: the next write to the same
// target removes every such file of its name's pattern that belongs to this
// user and that no one holds locked (removeUnheldTemporaries).
//
// On failure the target is untouched, the temporary file is removed, false
// is returned and error() says why.
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(SystemCalls& ops = systemCalls()) : m_ops(ops) {}
    ~AtomicFileWriter();

    bool open(const std::string& path);
    bool write(const void* data, size_t n);
    bool commit();
    void abort();
    // The cause of the first failure, with the path given to open().
    const FileResult& error() const { return m_error; }

private:
    bool flush();
    bool fail();
    bool resolveTarget(const std::string& path);
    void keepOwner(const struct stat& old);

    SystemCalls& m_ops;
    std::string m_path;   // as given: what messages name
    std::string m_target; // the file replaced, links followed
    std::string m_temp;
    UniqueFd m_fd;
    UniqueFd m_lock; // holds the temporary file's lock until it is renamed
    FileResult m_error;
    std::string m_buffer;
};

// The kernel's rule for links in shared folders: a link in a sticky,
// world-writable folder (such as /tmp) is followed only by its owner or when
// the folder's owner owns it too; a link anywhere else is followed.
bool mayFollowLink(uid_t linkOwner, const struct stat& folder, uid_t follower);

// Removes from folder the files named prefix + six letters or digits +
// ".tmp" (an AtomicFileWriter's temporary files) that are plain files of
// this user and that no one holds locked.
void removeUnheldTemporaries(const std::string& folder, const std::string& prefix);

// Writes a whole buffer, retrying short writes and EINTR.
bool writeAll(SystemCalls& ops, int fd, const char* data, size_t n);

// Whether an existing file of the given mode may be replaced in place: it has
// a write-permission bit (a file with none is read-only even for root) and
// this process may write it. When not, errno says why.
bool writableInPlace(SystemCalls& ops, const std::string& path, mode_t mode);
