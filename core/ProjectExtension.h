#pragma once

#include "core/PageStyle.h"

#include <cstddef>
#include <string>
#include <string_view>

// The extension block: settings the original record layout has no room for,
// kept after the last link record of the last group, where readers of that
// layout stop. The block is a magic tag and a version, then tagged records
// (four-byte tag, 32-bit little-endian length, that many bytes) up to the end
// of the file. ARCHITECTURE.md describes the layout.

inline constexpr std::string_view kExtensionMagic{"LFPX", 4};
inline constexpr unsigned char kExtensionVersion = 1;
// Magic and version.
inline constexpr size_t kExtensionHeaderSize = kExtensionMagic.size() + 1;

// What the block holds: the settings this version knows, and the records it
// does not, byte for byte (tag, length and bytes, in file order), so that a
// newer version's settings survive an older editor.
struct ProjectExtras {
    PageStyle pageStyle;
    std::string unknownRecords;

    bool operator==(const ProjectExtras&) const = default;
};

// The block for extras; empty when every setting is at its default and no
// unknown record is kept, so such a project's file is what it always was.
std::string encodeExtensionBlock(const ProjectExtras& extras);

// Whether the bytes after the last group begin an extension block. Bytes
// that do not are ignored, as they always were.
bool isExtensionBlock(std::string_view trailing);

// Reads a block (magic included) into extras. Returns false when some part
// could not be read: a wrong version, a record cut off or longer than the
// block, a known record with a value this version cannot hold. What was read
// before the damage is kept, the rest dropped. Never allocates beyond the
// size of block.
bool decodeExtensionBlock(std::string_view block, ProjectExtras& extras);

// The status bar text after a load that dropped part of a block.
inline constexpr const char* kExtrasDroppedMessage = "The extra page settings could not be read.";
