#include "FuzzSettings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    fuzzOneSettingsText(data, size);
    return 0;
}
