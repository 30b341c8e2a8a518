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

const LinkGroup kNoGroup;

} // namespace

Project::Project() {
    resetGroups();
}

template <typename T> void Project::change(T& field, T value) {
    if (field == value)
        return;
    field = std::move(value);
    m_modified = true;
}

void Project::setTitle(std::string title) {
    change(m_title, std::move(title));
}
void Project::setSubtitle(std::string subtitle) {
    change(m_subtitle, std::move(subtitle));
}
void Project::setTitleFace(std::string face) {
    change(m_titleFace, std::move(face));
}
void Project::setTitleStyle(std::int32_t style) {
    change(m_titleStyle, style);
}
void Project::setTopImage(std::string path) {
    change(m_topImage, std::move(path));
}
void Project::setTitleColor(RgbColor color) {
    change(m_titleColor, color);
}
void Project::setColumns(std::int32_t columns) {
    change(m_columns, columns);
}
void Project::setBorders(std::int32_t borders) {
    change(m_borders, borders);
}
void Project::setBackgroundColor(RgbColor color) {
    change(m_backgroundColor, color);
}
void Project::setLinkColor(RgbColor color) {
    change(m_linkColor, color);
}
void Project::setVisitedLinkColor(RgbColor color) {
    change(m_visitedLinkColor, color);
}

const LinkGroup& Project::group(int group) const {
    if (group < 0 || group >= groupCount())
        return kNoGroup;
    return m_groups[static_cast<size_t>(group)];
}

void Project::setGroupHeading(int group, const LinkGroup& heading) {
    if (group < 0 || group >= groupCount())
        return;
    LinkGroup& g = m_groups[static_cast<size_t>(group)];
    change(g.m_title, heading.m_title);
    change(g.m_bullet, heading.m_bullet);
    change(g.m_face, heading.m_face);
    change(g.m_style, heading.m_style);
    change(g.m_textColor, heading.m_textColor);
}

const std::vector<Link>& Project::links(int group) const {
    return this->group(group).m_links;
}

void Project::setLinks(int group, std::vector<Link> links) {
    if (group < 0 || group >= groupCount())
        return;
    change(m_groups[static_cast<size_t>(group)].m_links, std::move(links));
}

void Project::addLink(int group, std::string description, std::string url) {
    if (group < 0 || group >= groupCount())
        return;
    m_groups[static_cast<size_t>(group)].m_links.emplace_back(std::move(description),
                                                              std::move(url));
    m_modified = true;
}

void Project::clearLinks(int group) {
    if (group < 0) {
        for (auto& g : m_groups)
            std::vector<Link>().swap(g.m_links);
    } else if (group < groupCount()) {
        std::vector<Link>().swap(m_groups[static_cast<size_t>(group)].m_links);
    }
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

void Project::resetGroups() {
    clearLinks(-1);
    std::vector<LinkGroup>().swap(m_groups);
    m_groups.resize(kGroupCount);
}

void Project::resetToNew() {
    m_filePath.clear();
    m_modified = false;
    setPageDefaults();
    resetGroups();
}

LoadResult Project::load(const std::string& path) {
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
    if (fd < 0)
        return {LoadStatus::NotOpened, fileErrorText(fileErrorCauseFromErrno(errno), path)};

    resetGroups();
    LoadResult result;
    if (st.st_size > 0) {
        FileSource source(fd, static_cast<std::uint64_t>(st.st_size));
        ReadResult r = readProjectRecords(source, *this);
        switch (r.status) {
        case ReadStatus::Ok:
            break;
        case ReadStatus::EndOfData:
            result = {LoadStatus::Damaged, kUnexpectedFileFormat};
            break;
        case ReadStatus::ReadError:
            result = {LoadStatus::Damaged, fileErrorText(fileErrorCauseFromErrno(r.error), path)};
            break;
        case ReadStatus::OutOfMemory:
            result = {LoadStatus::Damaged, kFailedToOpenDocument};
            break;
        }
    }
    ::close(fd);
    m_modified = !result.ok();
    return result;
}

bool Project::save(const std::string& path) {
    m_error.clear();
    if (!saveProjectFile(*this, path, m_error))
        return false;
    setModified(false);
    return true;
}
