// Finds and loads the program's private libraries (see app/PrivateLibrary.h).
#include "app/PrivateLibrary.h"

#include "app/BookmarkLibrary.h"
#include "app/EditorLibrary.h"

#include "linkfold_version.h"

#include <cstring>
#include <dlfcn.h>
#include <limits.h>
#include <ostream>
#include <string>
#include <unistd.h>

namespace {

// The folder of the running program, links resolved.
std::string programFolder() {
    char path[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return {};
    const std::string exe(path, static_cast<size_t>(n));
    const size_t slash = exe.rfind('/');
    return slash == std::string::npos ? std::string() : exe.substr(0, slash);
}

} // namespace

const void* loadPrivateLibrary(const char* fileName, const char* entrySymbol, const char* what,
                               std::ostream& err) {
    const std::string folder = programFolder();
    const std::string candidates[] = {folder + '/' + fileName,
                                      folder + '/' + kPrivateLibraryInstalledDir + '/' + fileName};
    std::string why;
    for (const std::string& path : candidates) {
        if (::access(path.c_str(), F_OK) != 0)
            continue;
        void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            why = ::dlerror();
            break;
        }
        using EntryFunction = const void* (*)();
        auto entry = reinterpret_cast<EntryFunction>(::dlsym(handle, entrySymbol));
        const void* table = entry ? entry() : nullptr;
        if (!table || std::strcmp(*static_cast<const char* const*>(table), LINKFOLD_VERSION) != 0) {
            why = path + " belongs to another version of Linkfold";
            ::dlclose(handle);
            break;
        }
        return table;
    }
    if (why.empty())
        why = std::string(fileName) + " was not found in " +
              candidates[1].substr(0, candidates[1].rfind('/'));
    err << "linkfold: " << what << " cannot be loaded: " << why << '\n';
    return nullptr;
}

const EditorLibraryEntry* loadEditorLibrary(std::ostream& err) {
    static const void* loaded = nullptr;
    if (!loaded)
        loaded = loadPrivateLibrary(kEditorLibraryName, kEditorEntrySymbol, "the editor", err);
    return static_cast<const EditorLibraryEntry*>(loaded);
}

const BookmarkLibraryEntry* loadBookmarkLibrary(std::ostream& err) {
    static const void* loaded = nullptr;
    if (!loaded)
        loaded = loadPrivateLibrary(kBookmarkLibraryName, kBookmarkEntrySymbol,
                                    "the bookmark library", err);
    return static_cast<const BookmarkLibraryEntry*>(loaded);
}
