#pragma once

#include "model/LFDoc.h"
#include "model/ProjectFile.h"

#include <cstdint>
#include <cstdlib>

// One fuzz input: read it as a project; whatever reads cleanly must write
// back to bytes that read to the same project.
inline void FuzzOneProject(const std::uint8_t* data, size_t size) {
    CLFDoc doc;
    CMemorySource src(data, size);
    if (ReadProjectRecords(src, doc).status != ReadStatus::Ok)
        return;
    const std::string bytes = SerializeProject(doc);
    CLFDoc again;
    CMemorySource src2(bytes.data(), bytes.size());
    if (ReadProjectRecords(src2, again).status != ReadStatus::Ok ||
        SerializeProject(again) != bytes)
        std::abort();
}
