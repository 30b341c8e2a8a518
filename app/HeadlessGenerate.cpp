#include "app/HeadlessGenerate.h"

#include "model/FileError.h"
#include "model/LFDoc.h"

#include <cerrno>
#include <filesystem>
#include <ostream>

std::string MakeAbsolutePath(const std::string& path) {
    std::error_code ec;
    auto abs = std::filesystem::absolute(path, ec);
    if (ec)
        return path;
    return abs.lexically_normal().string();
}

int RunHeadlessGenerate(const std::string& project, const std::string& page, std::ostream& err) {
    CLFDoc doc;
    const std::string projectPath = MakeAbsolutePath(project);
    if (!doc.OnOpenDocument(projectPath)) {
        err << doc.ErrorString() << '\n';
        return 1;
    }
    const std::string pagePath = MakeAbsolutePath(page);
    if (!doc.WritePage(pagePath)) {
        err << FileErrorText(FileErrorCauseFromErrno(errno), pagePath) << '\n';
        return 1;
    }
    return 0;
}
