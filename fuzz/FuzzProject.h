#pragma once

#include "core/Project.h"
#include "core/ProjectFile.h"

#include <cstdint>
#include <cstdlib>

// One fuzz input: read it as a project; read group by group, it must end
// the same way and give the same groups; whatever reads cleanly must write
// back to bytes that read to the same project.
inline void fuzzOneProject(const std::uint8_t* data, size_t size) {
    Project doc;
    MemorySource src(data, size);
    const ReadStatus status = readProjectRecords(src, doc).status;

    Project header;
    size_t visited = 0;
    const GroupVisitor onGroup = [&](const Project&, const LinkGroup& group) {
        if (visited >= doc.groups().size() || !(group == doc.groups()[visited]))
            std::abort();
        ++visited;
        return true;
    };
    MemorySource again(data, size);
    if (readProjectRecords(again, header, &onGroup).status != status)
        std::abort();
    if (status != ReadStatus::Ok)
        return;
    if (header.title() != doc.title() || !(header.extras() == doc.extras()))
        std::abort();
    const std::string bytes = serializeProject(doc);
    Project reread;
    MemorySource src2(bytes.data(), bytes.size());
    if (readProjectRecords(src2, reread).status != ReadStatus::Ok ||
        serializeProject(reread) != bytes)
        std::abort();
}
