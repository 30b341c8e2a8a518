// The entry points of the bookmark library (see app/BookmarkLibrary.h).
#include "app/BookmarkLibrary.h"

#include "linkfold_version.h"

#include "app/BookmarkVerbs.h"

#include <iostream>
#include <string>
#include <vector>

namespace {

int runVerb(int argc, char** argv) {
    return runBookmarkVerb(parseCommandLine(std::vector<std::string>(argv + 1, argv + argc)),
                           std::cout, std::cerr);
}

constexpr BookmarkLibraryEntry kEntry{LINKFOLD_VERSION, runVerb};

} // namespace

extern "C" __attribute__((visibility("default"))) const void* linkfoldBookmarkEntry() {
    return &kEntry;
}
