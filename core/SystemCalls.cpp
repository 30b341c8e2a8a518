#include "core/SystemCalls.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

int SystemCalls::open(const char* path, int flags, mode_t mode) {
    return ::open(path, flags, mode);
}
ssize_t SystemCalls::read(int fd, void* buf, size_t n) {
    return ::read(fd, buf, n);
}
ssize_t SystemCalls::write(int fd, const void* buf, size_t n) {
    return ::write(fd, buf, n);
}
int SystemCalls::fstat(int fd, struct stat* st) {
    return ::fstat(fd, st);
}
int SystemCalls::stat(const char* path, struct stat* st) {
    return ::stat(path, st);
}
int SystemCalls::lstat(const char* path, struct stat* st) {
    return ::lstat(path, st);
}
ssize_t SystemCalls::readlink(const char* path, char* buf, size_t n) {
    return ::readlink(path, buf, n);
}
int SystemCalls::access(const char* path, int how) {
    return ::access(path, how);
}
int SystemCalls::fsync(int fd) {
    return ::fsync(fd);
}
int SystemCalls::fchmod(int fd, mode_t mode) {
    return ::fchmod(fd, mode);
}
int SystemCalls::fchown(int fd, uid_t owner, gid_t group) {
    return ::fchown(fd, owner, group);
}
int SystemCalls::close(int fd) {
    return ::close(fd);
}
int SystemCalls::rename(const char* from, const char* to) {
    return ::rename(from, to);
}
int SystemCalls::unlink(const char* path) {
    return ::unlink(path);
}
int SystemCalls::mkdir(const char* path, mode_t mode) {
    return ::mkdir(path, mode);
}
int SystemCalls::mkstemps(char* templ, int suffixLength) {
    return ::mkstemps(templ, suffixLength);
}

SystemCalls& systemCalls() {
    static SystemCalls ops;
    return ops;
}

namespace {

// The kernel reports the mask in /proc/self/status; reading it changes
// nothing. Without /proc the common default is assumed.
mode_t readUmask() {
    FILE* f = std::fopen("/proc/self/status", "re");
    mode_t mask = 022;
    if (!f)
        return mask;
    char line[256];
    while (std::fgets(line, sizeof line, f)) {
        if (std::strncmp(line, "Umask:", 6) == 0) {
            mask = static_cast<mode_t>(std::strtoul(line + 6, nullptr, 8)) & 0777;
            break;
        }
    }
    std::fclose(f);
    return mask;
}

} // namespace

mode_t processUmask() {
    static const mode_t mask = readUmask();
    return mask;
}
