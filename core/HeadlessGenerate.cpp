#include "core/HeadlessGenerate.h"

#include "core/FileError.h"
#include "core/PageWriter.h"
#include "core/Project.h"
#include "core/ProjectFile.h"

#include <filesystem>
#include <ostream>

std::string makeAbsolutePath(const std::string& path) {
    std::error_code ec;
    auto abs = std::filesystem::absolute(path, ec);
    if (ec)
        return path;
    return abs.lexically_normal().string();
}

std::string stripQuotes(const std::string& name) {
    std::string s = name;
    if (!s.empty() && s.front() == '"')
        s.erase(0, 1);
    if (!s.empty() && s.back() == '"')
        s.pop_back();
    return s;
}

bool isSameFile(const std::string& a, const std::string& b, SystemCalls& ops) {
    struct stat sa {};
    struct stat sb {};
    if (ops.stat(a.c_str(), &sa) != 0 || ops.stat(b.c_str(), &sb) != 0)
        return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

int runHeadlessGenerate(const std::string& project, const std::string& page, std::ostream& err,
                        std::optional<PageLook> look, const PageIconSource& icons) {
    const std::string projectPath = makeAbsolutePath(stripQuotes(project));
    const std::string pagePath = makeAbsolutePath(stripQuotes(page));
    // The classic page is written while the project is read; a project
    // whose own look turns out to be the modern page, whose icons need
    // every link first, is then loaded whole.
    if (look.value_or(PageLook::Classic) == PageLook::Classic &&
        !isSameFile(projectPath, pagePath)) {
        Project header;
        ProjectFileHandle file;
        bool extrasDropped = false;
        FileResult written = openProjectFile(projectPath, file);
        if (written.ok())
            written = writeStartPageWhileReading(
                file, projectPath, header, pagePath,
                [&look](const Project& doc) {
                    return look.value_or(doc.pageStyle().look) == PageLook::Classic;
                },
                systemCalls(), &extrasDropped);
        const bool done = !written.ok() || look || header.pageStyle().look == PageLook::Classic;
        if (done && extrasDropped)
            err << kExtrasDroppedMessage << '\n';
        if (!written.ok()) {
            err << fileErrorText(written) << '\n';
            return 1;
        }
        if (done)
            return 0;
    }

    Project doc;
    const LoadResult loaded = doc.load(projectPath);
    if (!loaded.ok()) {
        err << loaded.error << '\n';
        return 1;
    }
    if (loaded.extrasDropped)
        err << kExtrasDroppedMessage << '\n';
    const PageLook pageLook = look.value_or(doc.pageStyle().look);
    FileResult written = FileResult::failure(FileErrorCause::PageIsProject, pagePath);
    if (!isSameFile(projectPath, pagePath)) {
        PageIcons found;
        if (pageLook == PageLook::Modern && doc.pageStyle().icons && icons)
            found = icons(doc);
        written = writePageLook(doc, pagePath, pageLook, found);
    }
    if (!written.ok()) {
        err << fileErrorText(written) << '\n';
        return 1;
    }
    return 0;
}
