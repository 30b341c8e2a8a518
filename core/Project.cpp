#include "core/Project.h"

#include "core/FileError.h"
#include "core/ProjectFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A project file opened for reading; its size bounds every allocation.
class FileSource : public ByteSource {
public:
    FileSource(int fd, std::uint64_t size) : m_fd(fd), m_left(size) {}
    long long read(void* buf, size_t n) override {
        if (n > m_left)
            n = static_cast<size_t>(m_left);
        if (n == 0)
            return 0;
        ssize_t got = ::read(m_fd, buf, n);
        if (got > 0)
            m_left -= static_cast<std::uint64_t>(got);
        return got;
    }
    std::uint64_t remaining() const override { return m_left; }

private:
    int m_fd;
    std::uint64_t m_left;
};

} // namespace

Project::Project() {
    resetGroups();
}

void Project::setPageDefaults() {
    m_title.clear();
    m_subtitle.clear();
    m_titleFace = "Arial";
    m_titleStyle = 0;
    m_topImage.clear();
    m_titleColor = 0;
    m_columns = 2;
    m_borders = 1;
    m_backgroundColor = 0x00FFFFFF;
    m_linkColor = 0;
    m_visitedLinkColor = 0x00800000;
}

bool Project::resetToNew() {
    m_filePath.clear();
    m_modified = false;
    setPageDefaults();
    resetGroups();
    return true;
}

bool Project::load(const std::string& path) {
    m_error.clear();
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    if (fd >= 0 && ::fstat(fd, &st) != 0) {
        int err = errno;
        ::close(fd);
        fd = -1;
        errno = err;
    }
    if (fd >= 0 && !S_ISREG(st.st_mode)) {
        ::close(fd);
        fd = -1;
        errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    }
    if (fd < 0) {
        m_error = fileErrorText(fileErrorCauseFromErrno(errno), path);
        return false;
    }

    if (m_form)
        m_form->resetForOpen();
    resetGroups();
    setModified(true);

    bool ok = true;
    if (st.st_size > 0) {
        FileSource source(fd, static_cast<std::uint64_t>(st.st_size));
        ReadResult r = readProjectRecords(source, *this);
        switch (r.status) {
        case ReadStatus::Ok:
            break;
        case ReadStatus::EndOfData:
            m_error = kUnexpectedFileFormat;
            ok = false;
            break;
        case ReadStatus::ReadError:
            m_error = fileErrorText(fileErrorCauseFromErrno(r.error), path);
            ok = false;
            break;
        case ReadStatus::OutOfMemory:
            m_error = kFailedToOpenDocument;
            ok = false;
            break;
        }
    }
    ::close(fd);
    if (ok)
        setModified(false);
    return ok;
}

bool Project::save(const std::string& path) {
    m_error.clear();
    if (m_form)
        m_form->commitEdits();
    if (!saveProjectFile(*this, path, m_error))
        return false;
    setModified(false);
    return true;
}

void Project::addLink(int group, std::string description, std::string url) {
    if (group < 0 || static_cast<size_t>(group) >= m_groups.size())
        return;
    m_groups[static_cast<size_t>(group)].m_links.emplace_back(std::move(description),
                                                              std::move(url));
}

void Project::replaceLinksFromList(int group, const LinkRowSource& list) {
    clearLinks(group);
    if (group < 0 || static_cast<size_t>(group) >= m_groups.size())
        return;
    auto& links = m_groups[static_cast<size_t>(group)].m_links;
    links.reserve(static_cast<size_t>(std::max(0, list.sourceRowCount())));
    for (int r = 0; r < list.sourceRowCount(); ++r)
        links.emplace_back(list.sourceCellText(r, 0), list.sourceCellText(r, 1));
}

void Project::clearLinks(int group) {
    if (group < 0) {
        for (auto& g : m_groups)
            std::vector<Link>().swap(g.m_links);
    } else if (static_cast<size_t>(group) < m_groups.size()) {
        std::vector<Link>().swap(m_groups[static_cast<size_t>(group)].m_links);
    }
}

void Project::deleteAllGroups() {
    std::vector<LinkGroup>().swap(m_groups);
}

void Project::resetGroups() {
    clearLinks(-1);
    deleteAllGroups();
    m_groups.resize(kGroupCount);
}
