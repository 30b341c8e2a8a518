#pragma once

#include <string>
#include <sys/types.h>

// The system calls that reading and writing files go through. Tests replace
// it to make any single step fail; everything else uses SystemFileOps().
// Each call returns what the system call returns and leaves errno set.
class CFileOps {
public:
    virtual ~CFileOps() = default;
    virtual int Open(const char* path, int flags, mode_t mode);
    virtual ssize_t Read(int fd, void* buf, size_t n);
    virtual ssize_t Write(int fd, const void* buf, size_t n);
    virtual int Fsync(int fd);
    virtual int Fchmod(int fd, mode_t mode);
    virtual int Close(int fd);
    virtual int Rename(const char* from, const char* to);
    virtual int Unlink(const char* path);
    // Creates a unique file from a template ending in "XXXXXX".
    virtual int Mkstemp(char* templ);
};

CFileOps& SystemFileOps();

// Writes bytes to path without ever truncating the target in place: a
// temporary file beside it is written, synced, given the target's mode and
// renamed over it (a symbolic link keeps pointing at the replaced file).
// On failure the target is untouched, the temporary file is removed, errno
// describes the failure and false is returned.
class CSafeFileWriter {
public:
    explicit CSafeFileWriter(CFileOps& ops = SystemFileOps()) : m_ops(ops) {}
    ~CSafeFileWriter();

    bool Open(const std::string& path);
    bool Write(const void* data, size_t n);
    bool Commit();
    void Abort();
    int Error() const { return m_errno; }

private:
    bool Flush();
    bool Fail();

    CFileOps& m_ops;
    std::string m_target;
    std::string m_temp;
    int m_fd = -1;
    int m_errno = 0;
    std::string m_buffer;
};

// Writes a whole buffer, retrying short writes and EINTR.
bool WriteAll(CFileOps& ops, int fd, const char* data, size_t n);
