#include "bookmarks/SourceFile.h"

#include "core/FileError.h"
#include "core/ProjectFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

std::string sourceOpenErrorText(const std::string& path, const FileResult& result) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            return path + ": is a folder.";
        if (!S_ISREG(st.st_mode))
            return path + ": is not a regular file.";
    }
    return fileErrorText(result);
}

SourceFile readSourceFile(const std::string& path, size_t maxBytes) {
    SourceFile file;
    ProjectFileHandle handle;
    if (const FileResult opened = openProjectFile(path, handle); !opened.ok()) {
        file.error = sourceOpenErrorText(path, opened);
        return file;
    }
    const std::string tooBig =
        path + ": is larger than " + std::to_string(maxBytes >> 20) + " MiB, too large to read.";
    if (handle.size > maxBytes) {
        file.error = tooBig;
        return file;
    }
    try {
        // One more byte than the size tells a file that grew while read.
        file.bytes.resize(static_cast<size_t>(handle.size) + 1);
        size_t done = 0;
        for (;;) {
            if (done == file.bytes.size()) {
                if (file.bytes.size() > maxBytes) {
                    file.error = tooBig;
                    break;
                }
                file.bytes.resize(std::min(maxBytes + 1, file.bytes.size() * 2));
            }
            const ssize_t n =
                ::read(handle.fd.get(), file.bytes.data() + done, file.bytes.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                file.error = fileErrorText(FileResult::fromErrno(errno, path));
                break;
            }
            if (n == 0)
                break;
            done += static_cast<size_t>(n);
        }
        file.bytes.resize(done);
    } catch (const std::bad_alloc&) {
        file.error = path + ": not enough memory to read it.";
    }
    if (!file.ok())
        file.bytes = {};
    return file;
}
