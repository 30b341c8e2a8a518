#include "bookmarks/SourceFile.h"

#include "core/TextUtil.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

SourceFile readSourceFile(const std::string& path, size_t maxBytes) {
    SourceFile file;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        file.error = path + ": cannot be opened (" + std::strerror(errno) + ")";
        return file;
    }
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        file.error = path + ": is a folder, not a file";
        return file;
    }
    const std::string tooBig =
        path + ": is larger than " + std::to_string(maxBytes >> 20) + " MiB, too large to read";
    if (S_ISREG(st.st_mode) && static_cast<unsigned long long>(st.st_size) > maxBytes) {
        ::close(fd);
        file.error = tooBig;
        return file;
    }
    if (S_ISREG(st.st_mode))
        file.bytes.reserve(static_cast<size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            file.error = path + ": cannot be read (" + std::strerror(errno) + ")";
            break;
        }
        if (n == 0)
            break;
        if (file.bytes.size() + static_cast<size_t>(n) > maxBytes) {
            file.error = tooBig;
            break;
        }
        file.bytes.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    if (!file.ok())
        file.bytes = {};
    return file;
}

std::string_view trimmedView(std::string_view text) {
    return trimWhiteSpace(text);
}

std::string trimmedText(const std::string& text) {
    return std::string(trimWhiteSpace(text));
}
