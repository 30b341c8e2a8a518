// libFuzzer over the link check's readers of outside text (link text,
// Retry-After, response headers). Needs clang:
//   make fuzz
//   ./build-fuzz/fuzz/fuzz_linktext -max_total_time=600 fuzz/corpus-linktext
//       tests/data/linkcheck-corpus      (one command line)
#include "FuzzLinkText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzOneLinkText(data, size);
    return 0;
}
