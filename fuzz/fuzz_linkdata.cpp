#include "FuzzLinkData.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    fuzzOneLinkData(data, size);
    return 0;
}
