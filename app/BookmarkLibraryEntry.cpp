// The entry points of the bookmark library (see app/BookmarkLibrary.h).
#include "app/BookmarkLibrary.h"

#include "linkfold_version.h"

#include "app/BookmarkVerbs.h"

namespace {

constexpr BookmarkLibraryEntry kEntry{LINKFOLD_VERSION, runBookmarkVerb};

} // namespace

extern "C" __attribute__((visibility("default"))) const void* linkfoldBookmarkEntry() {
    return &kEntry;
}
