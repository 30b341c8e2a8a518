// Finds and loads the editor library (see app/EditorLibrary.h).
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

const EditorLibraryEntry* loadEditorLibrary(std::ostream& err) {
    static const EditorLibraryEntry* loaded = nullptr;
    if (loaded)
        return loaded;
    const std::string folder = programFolder();
    const std::string candidates[] = {folder + '/' + kEditorLibraryName,
                                      folder + '/' + kEditorLibraryInstalledDir + '/' +
                                          kEditorLibraryName};
    std::string why;
    for (const std::string& path : candidates) {
        if (::access(path.c_str(), F_OK) != 0)
            continue;
        void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            why = ::dlerror();
            break;
        }
        using EntryFunction = const EditorLibraryEntry* (*)();
        auto entry = reinterpret_cast<EntryFunction>(::dlsym(handle, kEditorEntrySymbol));
        const EditorLibraryEntry* table = entry ? entry() : nullptr;
        if (!table || std::strcmp(table->version, LINKFOLD_VERSION) != 0) {
            why = path + " belongs to another version of Linkfold";
            ::dlclose(handle);
            break;
        }
        loaded = table;
        return loaded;
    }
    if (why.empty())
        why = std::string(kEditorLibraryName) + " was not found in " +
              candidates[1].substr(0, candidates[1].rfind('/'));
    err << "linkfold: the editor cannot be loaded: " << why << '\n';
    return nullptr;
}
