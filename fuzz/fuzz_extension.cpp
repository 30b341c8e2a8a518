#include "FuzzExtension.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    fuzzOneExtensionBlock(data, size);
    return 0;
}
