#pragma once

#include "core/ProjectExtension.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

// One fuzz input: read it as an extension block; what was read must write
// back to a block that reads to the same extras and the same bytes.
inline void fuzzOneExtensionBlock(const std::uint8_t* data, size_t size) {
    ProjectExtras extras;
    decodeExtensionBlock(std::string_view(reinterpret_cast<const char*>(data), size), extras);
    const std::string block = encodeExtensionBlock(extras);
    ProjectExtras again;
    if (!block.empty() && (!decodeExtensionBlock(block, again) || !(again == extras) ||
                           encodeExtensionBlock(again) != block))
        std::abort();
    if (block.empty() && !(extras == ProjectExtras{}))
        std::abort();
}
