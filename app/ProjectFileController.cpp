#include "app/ProjectFileController.h"

#include "app/RecentFileList.h"
#include "core/AtomicFileWriter.h"
#include "core/HeadlessGenerate.h"
#include "core/Project.h"
#include "gui/FileErrorText.h"
#include "gui/QtText.h"
#include "gui/UiServices.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// The wait cursor for the duration of a read or write.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

const QStringList& fileFilters() {
    static const QStringList filters = {
        QCoreApplication::translate("ProjectFileController", "Linkfold Files (*.lfp)"),
        QCoreApplication::translate("ProjectFileController", "All Files (*.*)")};
    return filters;
}

// The name of a project never saved, in the user's language.
const char* const kUntitledText = QT_TRANSLATE_NOOP("ProjectFileController", "Untitled");

// The core's note after a load, as the translations know it.
const char* const kExtrasDropped =
    QT_TRANSLATE_NOOP("ProjectFileController", "The extra page settings could not be read.");

} // namespace

QString saveChangesPrompt(const QString& title) {
    return QCoreApplication::translate("ProjectFileController", "Save changes to %1?").arg(title);
}

ProjectFileController::ProjectFileController(Project& doc, RecentFileList& recentFiles,
                                             QObject* parent)
    : QObject(parent), m_doc(doc), m_recentFiles(recentFiles) {}

QString ProjectFileController::windowTitleText() const {
    return fromFileNameBytes(m_doc.documentTitle()) + QStringLiteral(" - ") +
           QLatin1String(kAppTitle);
}

std::string ProjectFileController::canonicalLocalPath(const std::string& path) {
    std::string abs = makeAbsolutePath(stripQuotes(path));
    // A link to a project stands for the project.
    for (int depth = 0; depth < 40; ++depth) {
        std::error_code ec;
        const std::filesystem::path target = std::filesystem::read_symlink(abs, ec);
        if (ec)
            break;
        abs = makeAbsolutePath(
            (std::filesystem::path(abs).parent_path() / target).string()); // absolute stays so
    }
    return abs;
}

QString ProjectFileController::proposedFileName(const QString& title) {
    QString name = title;
    const qsizetype bad = name.indexOf(QRegularExpression(QStringLiteral("[ #%;/\\\\]")));
    if (bad >= 0)
        name.truncate(bad);
    return name + QStringLiteral(".lfp");
}

bool ProjectFileController::isReadOnlyOrMissing(const std::string& p) {
    struct stat st {};
    if (systemCalls().stat(p.c_str(), &st) != 0)
        return true;
    return !writableInPlace(systemCalls(), p, st.st_mode);
}

void ProjectFileController::setFilePath(const std::string& localPath, bool addToRecent) {
    m_doc.setFilePath(localPath);
    m_doc.setDocumentTitle(std::filesystem::path(localPath).filename().string());
    if (addToRecent) {
        m_recentFiles.add(m_doc.filePath());
        emit recentFilesChanged();
    }
    emit titleChanged();
}

bool ProjectFileController::maybeSave() {
    if (!m_doc.isModified())
        return true;
    const auto answer = UiServices::instance().messageBox(
        m_dialogParent, saveChangesPrompt(fromFileNameBytes(m_doc.documentTitle())),
        QMessageBox::Warning, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    switch (answer) {
    case QMessageBox::Yes:
        return saveInPlace();
    case QMessageBox::No:
        return true;
    default:
        return false;
    }
}

void ProjectFileController::resetToUntitled() {
    m_doc.setDocumentTitle(toFileNameBytes(tr(kUntitledText)));
    m_doc.resetToNew();
    emit titleChanged();
    emit projectReplaced();
}

bool ProjectFileController::newProject() {
    if (!maybeSave())
        return false;
    resetToUntitled();
    return true;
}

bool ProjectFileController::open() {
    UiServices::FileDialogOptions options;
    options.title = tr("Open");
    options.filters = fileFilters();
    options.confirmOverwrite = false;
    const QString name = UiServices::instance().getOpenFileName(m_dialogParent, options);
    if (name.isEmpty())
        return false;
    return openFile(name);
}

bool ProjectFileController::openFile(const QString& requested) {
    return openLocalFile(toFileNameBytes(requested));
}

bool ProjectFileController::openLocalFile(const std::string& requested) {
    const std::string path = canonicalLocalPath(requested);
    // The project already open is neither asked about nor read again. Paths
    // are compared exactly: names differing in letter case are other files.
    if (!m_doc.filePath().empty() && path == m_doc.filePath()) {
        emit activateRequested();
        return true;
    }
    if (!maybeSave())
        return false;

    LoadResult loaded;
    {
        WaitCursor wait;
        loaded = m_doc.load(path);
    }
    if (!loaded.ok()) {
        showError(m_dialogParent, translatedFileError(loaded.error));
        // A file never opened leaves the project as it was; one that failed
        // part-way leaves it half-filled, so start afresh.
        if (loaded.status == LoadStatus::Damaged)
            resetToUntitled();
        return false;
    }
    setFilePath(path);
    emit projectReplaced();
    if (loaded.extrasDropped)
        emit statusMessage(tr(kExtrasDropped));
    return true;
}

bool ProjectFileController::openCopyAsUntitled(const QString& path) {
    if (!maybeSave())
        return false;
    LoadResult loaded;
    {
        WaitCursor wait;
        loaded = m_doc.load(toFileNameBytes(path));
    }
    if (!loaded.ok()) {
        showError(m_dialogParent, translatedFileError(loaded.error));
        if (loaded.status == LoadStatus::Damaged)
            resetToUntitled();
        return false;
    }
    m_doc.setFilePath({});
    m_doc.setDocumentTitle(toFileNameBytes(tr(kUntitledText)));
    m_doc.setModified(false);
    emit titleChanged();
    emit projectReplaced();
    if (loaded.extrasDropped)
        emit statusMessage(tr(kExtrasDropped));
    return true;
}

bool ProjectFileController::openRecentFile(int index) {
    if (index < 0 || index >= m_recentFiles.size() || m_recentFiles[index].empty())
        return false;
    if (openLocalFile(m_recentFiles[index]))
        return true;
    m_recentFiles.remove(index);
    emit recentFilesChanged();
    return false;
}

bool ProjectFileController::saveInPlace() {
    const std::string path = m_doc.filePath();
    if (path.empty() || isReadOnlyOrMissing(path))
        return saveToFile(QString());
    return saveTo(path);
}

bool ProjectFileController::saveTo(const std::string& target) {
    if (m_checkFields)
        m_checkFields();
    bool ok;
    {
        WaitCursor wait;
        ok = m_doc.save(target);
    }
    if (!ok) {
        // The atomic writer leaves the target as it was: nothing to clean up.
        showError(m_dialogParent, translatedFileError(m_doc.errorString()));
        return false;
    }
    emit saved();
    return true;
}

bool ProjectFileController::saveToFile(const QString& requested, bool replace) {
    QString path = requested;
    const bool prompted = path.isEmpty();
    if (prompted) {
        QString proposal = fromFileNameBytes(m_doc.filePath());
        if (replace && proposal.isEmpty())
            proposal = proposedFileName(fromFileNameBytes(m_doc.documentTitle()));
        UiServices::FileDialogOptions options;
        options.title = tr("Save As");
        options.filters = fileFilters();
        options.defaultSuffix = QStringLiteral("lfp");
        options.initialPath = proposal;
        options.confirmOverwrite = true;
        path = UiServices::instance().getSaveFileName(m_dialogParent, options);
        if (path.isEmpty())
            return false;
        path = fromFileNameBytes(makeAbsolutePath(toFileNameBytes(path)));
    }

    const std::string target = toFileNameBytes(path);
    if (!saveTo(target))
        return false;
    // save As names the project after the chosen file and puts it at the top
    // of the recent files; a plain save keeps path, title and list as they are.
    if (replace && prompted)
        setFilePath(target);
    return true;
}
