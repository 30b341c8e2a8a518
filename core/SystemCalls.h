#pragma once

#include <sys/stat.h>
#include <sys/types.h>

// The system calls that reading and writing files go through. Tests replace
// it to make any single step fail; everything else uses systemCalls().
// Each call returns what the system call returns and leaves errno set.
class SystemCalls {
public:
    virtual ~SystemCalls() = default;
    virtual int open(const char* path, int flags, mode_t mode = 0);
    virtual ssize_t read(int fd, void* buf, size_t n);
    virtual ssize_t write(int fd, const void* buf, size_t n);
    virtual int fstat(int fd, struct stat* st);
    virtual int stat(const char* path, struct stat* st);
    virtual int lstat(const char* path, struct stat* st);
    virtual ssize_t readlink(const char* path, char* buf, size_t n);
    virtual int access(const char* path, int how);
    virtual int fsync(int fd);
    virtual int fchmod(int fd, mode_t mode);
    virtual int fchown(int fd, uid_t owner, gid_t group);
    virtual int close(int fd);
    virtual int rename(const char* from, const char* to);
    virtual int unlink(const char* path);
    virtual int mkdir(const char* path, mode_t mode);
    // Creates a unique file from a template whose last suffixLength
    // characters follow "XXXXXX".
    virtual int mkstemps(char* templ, int suffixLength);
};

SystemCalls& systemCalls();

// The process's file-creation mask, read once without changing it (setting
// and restoring it would race with other threads creating files).
mode_t processUmask();
