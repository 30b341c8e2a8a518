#include "core/HeadlessGenerate.h"

#include "core/FileError.h"
#include "core/Project.h"

#include <cerrno>
#include <filesystem>
#include <ostream>

std::string makeAbsolutePath(const std::string& path) {
    std::error_code ec;
    auto abs = std::filesystem::absolute(path, ec);
    if (ec)
        return path;
    return abs.lexically_normal().string();
}

int runHeadlessGenerate(const std::string& project, const std::string& page, std::ostream& err) {
    Project doc;
    const std::string projectPath = makeAbsolutePath(project);
    const LoadResult loaded = doc.load(projectPath);
    if (!loaded.ok()) {
        err << loaded.error << '\n';
        return 1;
    }
    const std::string pagePath = makeAbsolutePath(page);
    if (!doc.writePage(pagePath)) {
        err << fileErrorText(fileErrorCauseFromErrno(errno), pagePath) << '\n';
        return 1;
    }
    return 0;
}
