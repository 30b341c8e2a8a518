#include "model/LFDoc.h"

#include "model/FileError.h"
#include "model/ProjectFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A project file opened for reading; its size bounds every allocation.
class CFileSource : public CByteSource {
public:
    CFileSource(int fd, std::uint64_t size) : m_fd(fd), m_left(size) {}
    long long Read(void* buf, size_t n) override {
        if (n > m_left)
            n = static_cast<size_t>(m_left);
        if (n == 0)
            return 0;
        ssize_t got = ::read(m_fd, buf, n);
        if (got > 0)
            m_left -= static_cast<std::uint64_t>(got);
        return got;
    }
    std::uint64_t Remaining() const override { return m_left; }

private:
    int m_fd;
    std::uint64_t m_left;
};

} // namespace

CLFDoc::CLFDoc() { ResetGroups(); }

void CLFDoc::SetPageDefaults() {
    m_strTitle.clear();
    m_strSubtitle.clear();
    m_strTitleFace = "Arial";
    m_nTitleStyle = 0;
    m_strTopImage.clear();
    m_clrTitle = 0;
    m_nColumns = 2;
    m_bBorders = 1;
    m_clrBackground = 0x00FFFFFF;
    m_clrLink = 0;
    m_clrVisitedLink = 0x00800000;
}

bool CLFDoc::OnNewDocument() {
    m_strPathName.clear();
    m_bModified = false;
    SetPageDefaults();
    ResetGroups();
    return true;
}

bool CLFDoc::OnOpenDocument(const std::string& path) {
    m_strError.clear();
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
        m_strError = FileErrorText(FileErrorCauseFromErrno(errno), path);
        return false;
    }

    if (m_pView)
        m_pView->ResetForOpen();
    ResetGroups();
    SetModifiedFlag(true);

    bool ok = true;
    if (st.st_size > 0) {
        CFileSource source(fd, static_cast<std::uint64_t>(st.st_size));
        ReadResult r = ReadProjectRecords(source, *this);
        switch (r.status) {
        case ReadStatus::Ok:
            break;
        case ReadStatus::EndOfData:
            m_strError = kUnexpectedFileFormat;
            ok = false;
            break;
        case ReadStatus::ReadError:
            m_strError = FileErrorText(FileErrorCauseFromErrno(r.error), path);
            ok = false;
            break;
        case ReadStatus::OutOfMemory:
            m_strError = kFailedToOpenDocument;
            ok = false;
            break;
        }
    }
    ::close(fd);
    if (ok)
        SetModifiedFlag(false);
    return ok;
}

bool CLFDoc::OnSaveDocument(const std::string& path) {
    m_strError.clear();
    if (m_pView)
        m_pView->UpdateDocument();
    if (!SaveProjectFile(*this, path, m_strError))
        return false;
    SetModifiedFlag(false);
    return true;
}

void CLFDoc::AddLink(int group, std::string description, std::string url) {
    if (group < 0 || static_cast<size_t>(group) >= m_groups.size())
        return;
    m_groups[static_cast<size_t>(group)].m_links.emplace_back(std::move(description),
                                                              std::move(url));
}

void CLFDoc::ReplaceLinksFromList(int group, const CLinkRowSource& list) {
    ClearLinks(group);
    if (group < 0 || static_cast<size_t>(group) >= m_groups.size())
        return;
    auto& links = m_groups[static_cast<size_t>(group)].m_links;
    links.reserve(static_cast<size_t>(std::max(0, list.GetRowCount())));
    for (int r = 0; r < list.GetRowCount(); ++r)
        links.emplace_back(list.GetCellText(r, 0), list.GetCellText(r, 1));
}

void CLFDoc::ClearLinks(int group) {
    if (group < 0) {
        for (auto& g : m_groups)
            std::vector<CLinkEntry>().swap(g.m_links);
    } else if (static_cast<size_t>(group) < m_groups.size()) {
        std::vector<CLinkEntry>().swap(m_groups[static_cast<size_t>(group)].m_links);
    }
}

void CLFDoc::DeleteAllGroups() { std::vector<CUrlGroup>().swap(m_groups); }

void CLFDoc::ResetGroups() {
    ClearLinks(-1);
    DeleteAllGroups();
    m_groups.resize(kGroupCount);
}
