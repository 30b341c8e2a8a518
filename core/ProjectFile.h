#pragma once

#include "core/AtomicFileWriter.h"
#include "core/FileError.h"
#include "core/UniqueFd.h"

#include <cstdint>
#include <functional>
#include <string>

class Project;
struct LinkGroup;

// Reading side of the project file: where the bytes come from, and how many
// are left, so that no length or count read from the file can make the
// reader allocate more than the file could hold.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Reads up to n bytes; returns the count, 0 at the end, -1 with errno set.
    virtual long long read(void* buf, size_t n) = 0;
    // Bytes left to read in total.
    virtual std::uint64_t remaining() const = 0;
};

class MemorySource : public ByteSource {
public:
    MemorySource(const void* data, size_t size)
        : m_p(static_cast<const char*>(data)), m_left(size) {}
    long long read(void* buf, size_t n) override;
    std::uint64_t remaining() const override { return m_left; }

private:
    const char* m_p;
    size_t m_left;
};

// How a read of the project records ended.
enum class ReadStatus {
    Ok,
    EndOfData,  // ran out inside a record: "Unexpected file format."
    ReadError,  // the system reported an error; errno kept in the result
    OutOfMemory // "Failed to open document."
};

struct ReadResult {
    ReadStatus status = ReadStatus::Ok;
    int error = 0;
    // The groups were read, but part of the extension block after them
    // could not be and was dropped.
    bool extrasDropped = false;
};

// Takes one group as it is read; false stops the read there.
using GroupVisitor = std::function<bool(const Project& doc, const LinkGroup& group)>;

// Reads the records into doc: page fields, then the groups in order. The
// first four bytes are skipped whatever they hold. Groups beyond ten are read
// and discarded; an extension block after the last group goes to the
// project's extras. The document's groups and extras must be fresh ones.
//
// With onGroup, the groups are not kept: each of the first ten is handed to
// it as soon as it is read (doc then holds the page fields), and the next
// one is read into the same memory, so a project of any size is gone
// through in the memory of its largest group. The extras come last.
ReadResult readProjectRecords(ByteSource& source, Project& doc,
                              const GroupVisitor* onGroup = nullptr);

// The whole file as the writer produces it.
std::string serializeProject(const Project& doc);

// Writes the file through the safe writer.
FileResult saveProjectFile(const Project& doc, const std::string& path,
                           SystemCalls& ops = systemCalls());

// A project file open for reading: a regular file and its size.
struct ProjectFileHandle {
    UniqueFd fd;
    std::uint64_t size = 0;
};

// Opens path for reading without ever blocking: a FIFO, a device or any
// other file that is not a regular one is refused at once (a folder as
// access denied, the rest as an invalid path).
FileResult openProjectFile(const std::string& path, ProjectFileHandle& file,
                           SystemCalls& ops = systemCalls());

// Reads the records of an opened file into doc (see readProjectRecords);
// path is what a read error names. extrasDropped, when given, is set when
// the groups were read but part of the extension block was dropped.
FileResult readProjectFile(ProjectFileHandle& file, const std::string& path, Project& doc,
                           SystemCalls& ops = systemCalls(), bool* extrasDropped = nullptr);
// The same, handing the groups to onGroup as readProjectRecords does. A read
// that onGroup stopped is a success.
FileResult readProjectFileByGroup(ProjectFileHandle& file, const std::string& path, Project& doc,
                                  const GroupVisitor* onGroup, SystemCalls& ops = systemCalls(),
                                  bool* extrasDropped = nullptr);

// Prefix bytes for a string of n bytes.
std::string encodeStringPrefix(std::uint64_t n);
