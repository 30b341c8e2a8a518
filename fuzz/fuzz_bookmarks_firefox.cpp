#include "FuzzBookmarks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    fuzzOneBookmarkSource(BookmarkFormat::FirefoxPlaces, data, size);
    return 0;
}
