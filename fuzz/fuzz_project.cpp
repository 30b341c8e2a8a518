#include "FuzzProject.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    fuzzOneProject(data, size);
    return 0;
}
