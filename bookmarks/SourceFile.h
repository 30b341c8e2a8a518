#pragma once

#include <cstddef>
#include <string>

// Reads a whole bookmark source into memory, refusing files above a cap so
// that a huge or endless file (a FIFO, /dev/zero) cannot exhaust memory.
struct SourceFile {
    static constexpr size_t kMaxBytes = size_t{256} << 20; // 256 MiB

    std::string bytes;
    std::string error; // "<path>: <what>" when the file could not be read

    bool ok() const { return error.empty(); }
};

SourceFile readSourceFile(const std::string& path, size_t maxBytes = SourceFile::kMaxBytes);

// The text with ASCII whitespace removed at both ends.
std::string trimmedText(const std::string& text);
