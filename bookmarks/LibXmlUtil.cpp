#include "bookmarks/LibXmlUtil.h"

#include "bookmarks/SourceFile.h"
#include "core/TextUtil.h"

#include <charconv>

std::int64_t parseEpochSeconds(const std::string& text) {
    const std::string t(trimWhiteSpace(text));
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
    if (ec != std::errc() || end != t.data() + t.size() || value <= 0)
        return 0;
    if (value > 100'000'000'000'000) // microseconds
        return value / 1'000'000;
    if (value > 100'000'000'000) // milliseconds
        return value / 1000;
    return value;
}
