#include "core/ProjectExtension.h"

#include "core/PageWords.h"

#include <array>
#include <cstdint>

namespace {

using Tag = std::array<char, 4>;

// The records of this version. A value at its default is not written.
constexpr Tag kLookTag{'P', 'S', 'T', 'Y'};     // 1 byte: PageLook
constexpr Tag kThemeTag{'P', 'T', 'H', 'M'};    // 1 byte: PageTheme
constexpr Tag kFilterTag{'P', 'F', 'L', 'T'};   // 1 byte: 0 off, 1 on
constexpr Tag kSearchTag{'P', 'S', 'R', 'C'};   // UTF-8 text: the search URL
constexpr Tag kIconsTag{'P', 'I', 'C', 'N'};    // 1 byte: 0 off, 1 on
constexpr Tag kLanguageTag{'P', 'L', 'N', 'G'}; // ASCII: the page's language tag

constexpr size_t kRecordHeaderSize = 8;

void appendRecord(std::string& out, const Tag& tag, std::string_view bytes) {
    out.append(tag.data(), tag.size());
    const auto n = static_cast<std::uint32_t>(bytes.size());
    const char length[4] = {char(n & 0xFF), char((n >> 8) & 0xFF), char((n >> 16) & 0xFF),
                            char((n >> 24) & 0xFF)};
    out.append(length, 4);
    out.append(bytes);
}

void appendByteRecord(std::string& out, const Tag& tag, int value) {
    const char byte = static_cast<char>(value);
    appendRecord(out, tag, std::string_view(&byte, 1));
}

bool sameTag(std::string_view record, const Tag& tag) {
    return record.substr(0, 4) == std::string_view(tag.data(), tag.size());
}

// A one-byte record's value when it is within 0..max.
bool byteValue(std::string_view bytes, int max, int& value) {
    if (bytes.size() != 1)
        return false;
    value = static_cast<unsigned char>(bytes[0]);
    return value <= max;
}

} // namespace

std::string encodeExtensionBlock(const ProjectExtras& extras) {
    const PageStyle& style = extras.pageStyle;
    const PageStyle defaults;
    std::string records;
    if (style.look != defaults.look)
        appendByteRecord(records, kLookTag, static_cast<int>(style.look));
    if (style.theme != defaults.theme)
        appendByteRecord(records, kThemeTag, static_cast<int>(style.theme));
    if (style.filterBox != defaults.filterBox)
        appendByteRecord(records, kFilterTag, style.filterBox ? 1 : 0);
    if (style.searchUrl != defaults.searchUrl)
        appendRecord(records, kSearchTag, style.searchUrl);
    if (style.icons != defaults.icons)
        appendByteRecord(records, kIconsTag, style.icons ? 1 : 0);
    if (style.language != defaults.language)
        appendRecord(records, kLanguageTag, style.language);
    records += extras.unknownRecords;
    if (records.empty())
        return {};
    std::string block(kExtensionMagic);
    block.push_back(static_cast<char>(kExtensionVersion));
    return block + records;
}

bool isExtensionBlock(std::string_view trailing) {
    return trailing.substr(0, kExtensionMagic.size()) == kExtensionMagic;
}

bool decodeExtensionBlock(std::string_view block, ProjectExtras& extras) {
    if (!isExtensionBlock(block) || block.size() < kExtensionHeaderSize ||
        static_cast<unsigned char>(block[kExtensionMagic.size()]) != kExtensionVersion)
        return false;
    std::string_view rest = block.substr(kExtensionHeaderSize);
    PageStyle& style = extras.pageStyle;
    bool whole = true;
    while (!rest.empty()) {
        if (rest.size() < kRecordHeaderSize)
            return false;
        const auto* b = reinterpret_cast<const unsigned char*>(rest.data());
        const std::uint64_t length = std::uint32_t(b[4]) | std::uint32_t(b[5]) << 8 |
                                     std::uint32_t(b[6]) << 16 | std::uint32_t(b[7]) << 24;
        if (length > rest.size() - kRecordHeaderSize)
            return false;
        const size_t size = kRecordHeaderSize + static_cast<size_t>(length);
        const std::string_view record = rest.substr(0, size);
        const std::string_view bytes = record.substr(kRecordHeaderSize);
        rest.remove_prefix(size);
        int value = 0;
        bool known = true;
        bool valid = true;
        if (sameTag(record, kLookTag)) {
            valid = byteValue(bytes, 1, value);
            if (valid)
                style.look = static_cast<PageLook>(value);
        } else if (sameTag(record, kThemeTag)) {
            valid = byteValue(bytes, 2, value);
            if (valid)
                style.theme = static_cast<PageTheme>(value);
        } else if (sameTag(record, kFilterTag)) {
            valid = byteValue(bytes, 1, value);
            if (valid)
                style.filterBox = value != 0;
        } else if (sameTag(record, kSearchTag)) {
            style.searchUrl.assign(bytes);
        } else if (sameTag(record, kIconsTag)) {
            valid = byteValue(bytes, 1, value);
            if (valid)
                style.icons = value != 0;
        } else if (sameTag(record, kLanguageTag)) {
            valid = isLanguageTag(bytes);
            if (valid)
                style.language.assign(bytes);
        } else {
            known = false;
        }
        if (!known)
            extras.unknownRecords.append(record);
        // A known record this version cannot hold is dropped; the records
        // after it are still read.
        whole = whole && valid;
    }
    return whole;
}
