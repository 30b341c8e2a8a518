#include "FuzzClipboard.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    fuzzOneClipboardText(data, size);
    return 0;
}
