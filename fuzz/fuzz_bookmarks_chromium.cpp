#include "FuzzBookmarks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    fuzzOneBookmarkSource(BookmarkFormat::ChromiumJson, data, size);
    return 0;
}
