#include "FuzzFavicons.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    fuzzOneFaviconInput(data, size);
    return 0;
}
