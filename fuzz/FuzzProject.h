#pragma once

#include "core/Project.h"
#include "core/ProjectFile.h"

#include <cstdint>
#include <cstdlib>

// One fuzz input: read it as a project; whatever reads cleanly must write
// back to bytes that read to the same project.
inline void fuzzOneProject(const std::uint8_t* data, size_t size) {
    Project doc;
    MemorySource src(data, size);
    if (readProjectRecords(src, doc).status != ReadStatus::Ok)
        return;
    const std::string bytes = serializeProject(doc);
    Project again;
    MemorySource src2(bytes.data(), bytes.size());
    if (readProjectRecords(src2, again).status != ReadStatus::Ok ||
        serializeProject(again) != bytes)
        std::abort();
}
