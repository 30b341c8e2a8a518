#include "app/DocManager.h"

#include "app/HeadlessGenerate.h"
#include "app/RecentFileList.h"
#include "app/UiServices.h"
#include "model/LFDoc.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// The wait cursor for the duration of a read or write.
class CWaitCursor {
public:
    CWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CWaitCursor() { QApplication::restoreOverrideCursor(); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};

std::string ToLocal(const QString& s) {
    return QFile::encodeName(s).toStdString();
}
QString FromLocal(const std::string& s) {
    return QFile::decodeName(QByteArray::fromStdString(s));
}

const QStringList& FileFilters() {
    static const QStringList filters = {QStringLiteral("Linkfold Files (*.lfp)"),
                                        QStringLiteral("All Files (*.*)")};
    return filters;
}

} // namespace

QString SaveChangesPrompt(const QString& title) {
    return QStringLiteral("Save changes to %1?").arg(title);
}

CDocManager::CDocManager(CLFDoc& doc, CRecentFileList& recentFiles, QObject* parent)
    : QObject(parent), m_doc(doc), m_recentFiles(recentFiles) {}

QString CDocManager::FrameTitle() const {
    return FromLocal(m_doc.GetTitle()) + QStringLiteral(" - ") + QLatin1String(kAppTitle);
}

QString CDocManager::CanonicalOpenPath(const QString& path) {
    QString p = path;
    if (p.startsWith(QLatin1Char('"')))
        p.remove(0, 1);
    if (p.endsWith(QLatin1Char('"')))
        p.chop(1);
    std::string abs = MakeAbsolutePath(ToLocal(p));
    // A link to a project stands for the project (as a shell shortcut does).
    for (int depth = 0; depth < 40; ++depth) {
        QFileInfo info(FromLocal(abs));
        if (!info.isSymLink())
            break;
        abs = MakeAbsolutePath(ToLocal(info.symLinkTarget()));
    }
    return FromLocal(abs);
}

QString CDocManager::ProposedFileName(const QString& title) {
    QString name = title;
    const int bad = name.indexOf(QRegularExpression(QStringLiteral("[ #%;/\\\\]")));
    if (bad >= 0)
        name.truncate(bad);
    return name + QStringLiteral(".lfp");
}

bool CDocManager::IsReadOnlyOrMissing(const QString& path) {
    const std::string p = ToLocal(path);
    struct stat st {};
    if (::stat(p.c_str(), &st) != 0)
        return true;
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return true;
    return ::access(p.c_str(), W_OK) != 0;
}

void CDocManager::SetPathName(const QString& path, bool addToRecent) {
    m_doc.SetPathName(ToLocal(path));
    m_doc.SetTitle(ToLocal(QFileInfo(path).fileName()));
    if (addToRecent) {
        m_recentFiles.Add(m_doc.GetPathName());
        emit recentFilesChanged();
    }
    emit titleChanged();
}

bool CDocManager::SaveModified() {
    if (!m_doc.IsModified())
        return true;
    const auto answer = CUiServices::Instance().MessageBox(
        m_pDialogParent, SaveChangesPrompt(FromLocal(m_doc.GetTitle())), QMessageBox::Warning,
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    switch (answer) {
    case QMessageBox::Yes:
        return DoFileSave();
    case QMessageBox::No:
        return true;
    default:
        return false;
    }
}

void CDocManager::NewDocument() {
    m_doc.SetTitle(kUntitled);
    m_doc.OnNewDocument();
    emit titleChanged();
    emit documentReplaced();
}

bool CDocManager::OnFileNew() {
    if (!SaveModified())
        return false;
    NewDocument();
    return true;
}

bool CDocManager::OnFileOpen() {
    CUiServices::FileDialogOptions options;
    options.title = QStringLiteral("Open");
    options.filters = FileFilters();
    options.confirmOverwrite = false;
    const QString name = CUiServices::Instance().GetOpenFileName(m_pDialogParent, options);
    if (name.isEmpty())
        return false;
    return OpenDocumentFile(name);
}

bool CDocManager::OpenDocumentFile(const QString& requested) {
    const QString path = CanonicalOpenPath(requested);
    // The project already open is neither asked about nor read again. Paths
    // are compared exactly: names differing in letter case are other files.
    if (!m_doc.GetPathName().empty() && ToLocal(path) == m_doc.GetPathName()) {
        emit activateRequested();
        return true;
    }
    if (!SaveModified())
        return false;

    const bool wasModified = m_doc.IsModified();
    m_doc.SetModifiedFlag(false);
    bool ok;
    {
        CWaitCursor wait;
        ok = m_doc.OnOpenDocument(ToLocal(path));
    }
    if (!ok) {
        ShowError(m_pDialogParent, FromLocal(m_doc.ErrorString()));
        if (!m_doc.IsModified()) {
            // The file was never opened: the project is as it was.
            m_doc.SetModifiedFlag(wasModified);
        } else {
            // Reading began and the project is half-filled: start afresh.
            NewDocument();
        }
        return false;
    }
    SetPathName(path);
    emit documentReplaced();
    return true;
}

bool CDocManager::OnOpenRecentFile(int index) {
    if (index < 0 || index >= m_recentFiles.GetSize() || m_recentFiles[index].empty())
        return false;
    if (OpenDocumentFile(FromLocal(m_recentFiles[index])))
        return true;
    m_recentFiles.Remove(index);
    emit recentFilesChanged();
    return false;
}

bool CDocManager::DoFileSave() {
    const QString path = FromLocal(m_doc.GetPathName());
    if (path.isEmpty() || IsReadOnlyOrMissing(path))
        return DoSave(QString());
    return DoSave(path);
}

bool CDocManager::DoSave(const QString& requested, bool replace) {
    QString path = requested;
    const bool prompted = path.isEmpty();
    if (prompted) {
        QString proposal = FromLocal(m_doc.GetPathName());
        if (replace && proposal.isEmpty())
            proposal = ProposedFileName(FromLocal(m_doc.GetTitle()));
        CUiServices::FileDialogOptions options;
        options.title = QStringLiteral("Save As");
        options.filters = FileFilters();
        options.defaultSuffix = QStringLiteral("lfp");
        options.initialPath = proposal;
        options.confirmOverwrite = true;
        path = CUiServices::Instance().GetSaveFileName(m_pDialogParent, options);
        if (path.isEmpty())
            return false;
        path = FromLocal(MakeAbsolutePath(ToLocal(path)));
    }

    const std::string target = ToLocal(path);
    struct stat st {};
    const bool existed = ::lstat(target.c_str(), &st) == 0;
    bool ok;
    {
        CWaitCursor wait;
        ok = m_doc.OnSaveDocument(target);
    }
    if (!ok) {
        ShowError(m_pDialogParent, FromLocal(m_doc.ErrorString()));
        // A file the failed attempt created under the chosen name goes away;
        // a file that was there before is never touched.
        if (prompted && !existed && ::lstat(target.c_str(), &st) == 0)
            ::unlink(target.c_str());
        return false;
    }
    // Save As names the project after the chosen file and puts it at the top
    // of the recent files; a plain Save keeps path, title and list as they are.
    if (replace && prompted)
        SetPathName(path);
    return true;
}
