#pragma once

#include <string>
#include <sys/types.h>

// The system calls that reading and writing files go through. Tests replace
// it to make any single step fail; everything else uses systemCalls().
// Each call returns what the system call returns and leaves errno set.
class SystemCalls {
public:
    virtual ~SystemCalls() = default;
    virtual int open(const char* path, int flags, mode_t mode);
    virtual ssize_t read(int fd, void* buf, size_t n);
    virtual ssize_t write(int fd, const void* buf, size_t n);
    virtual int fsync(int fd);
    virtual int fchmod(int fd, mode_t mode);
    virtual int close(int fd);
    virtual int rename(const char* from, const char* to);
    virtual int unlink(const char* path);
    // Creates a unique file from a template ending in "XXXXXX".
    virtual int mkstemp(char* templ);
};

SystemCalls& systemCalls();

// Writes bytes to path without ever truncating the target in place: a
// temporary file beside it is written, synced, given the target's mode and
// renamed over it (a symbolic link keeps pointing at the replaced file).
// On failure the target is untouched, the temporary file is removed, errno
// describes the failure and false is returned.
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(SystemCalls& ops = systemCalls()) : m_ops(ops) {}
    ~AtomicFileWriter();

    bool open(const std::string& path);
    bool write(const void* data, size_t n);
    bool commit();
    void abort();
    int error() const { return m_errno; }

private:
    bool flush();
    bool fail();

    SystemCalls& m_ops;
    std::string m_target;
    std::string m_temp;
    int m_fd = -1;
    int m_errno = 0;
    std::string m_buffer;
};

// Writes a whole buffer, retrying short writes and EINTR.
bool writeAll(SystemCalls& ops, int fd, const char* data, size_t n);
