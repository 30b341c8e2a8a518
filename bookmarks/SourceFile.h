#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Reads a whole bookmark source into memory. Anything but a regular file (a
// FIFO, /dev/zero) is refused at once, as a project is, and files above a
// cap are refused so that a huge one cannot exhaust memory. Messages are the
// program's file messages ("... was not found.").
struct SourceFile {
    static constexpr size_t kMaxBytes = size_t{256} << 20; // 256 MiB

    std::string bytes;
    std::string error; // the message, naming the file, when it could not be read

    bool ok() const { return error.empty(); }
};

SourceFile readSourceFile(const std::string& path, size_t maxBytes = SourceFile::kMaxBytes);

struct FileResult;

// The message for a source that could not be opened: what it is when it is
// there but no file ("PATH: is a folder.", "PATH: is not a regular file."
// for a FIFO or a device), else the program's file message.
std::string sourceOpenErrorText(const std::string& path, const FileResult& result);
