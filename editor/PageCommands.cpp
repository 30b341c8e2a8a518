#include "editor/PageCommands.h"

#include "core/FileError.h"
#include "core/HeadlessGenerate.h"
#include "core/Project.h"
#include "gui/FileErrorText.h"
#include "gui/QtText.h"
#include "gui/UiServices.h"
#include "pageicons/BrowserIcons.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

void complain(QWidget* parent, const FileResult& result) {
    showError(parent, translatedFileError(fileErrorText(result)));
}

// Refuses, with a message, a page name that is the open project's own file.
bool refusedAsOwnProject(QWidget* parent, const Project& project, const std::string& file) {
    if (project.filePath().empty() || !isSameFile(project.filePath(), file))
        return false;
    complain(parent, FileResult::failure(FileErrorCause::PageIsProject, file));
    return true;
}

// Writes the page in the project's look. The caller has refused the
// project's own file.
FileResult writePage(const Project& project, const QString& path) {
    PageIcons icons;
    const PageStyle& style = project.pageStyle();
    if (style.look == PageLook::Modern && style.icons)
        icons = browserPageIcons(project);
    return writePageLook(project, toFileNameBytes(path), style.look, icons);
}

// Writes the page; on failure tells the user why and returns false.
bool writePageOrComplain(QWidget* parent, const Project& project, const QString& path) {
    const FileResult written = writePage(project, path);
    if (written.ok())
        return true;
    complain(parent, written);
    return false;
}

} // namespace

QString overwriteQuestion(const QString& path) {
    return QCoreApplication::translate("PageCommands",
                                       "%1 already exists.\nDo you want to replace it?")
        .arg(QFileInfo(path).fileName());
}

void generatePage(QWidget* parent, const Project& project) {
    UiServices::FileDialogOptions o;
    o.title = QCoreApplication::translate("PageCommands", "Select Page Name");
    o.filters = {QCoreApplication::translate("PageCommands", "HTML (*.htm)"),
                 QCoreApplication::translate("PageCommands", "All Files (*.*)")};
    o.defaultSuffix = QStringLiteral("htm");
    // The overwrite question comes after the check that the page is not the
    // project itself, so it is asked here rather than by the file dialog.
    o.confirmOverwrite = false;
    UiServices& ui = UiServices::instance();
    const QString path = ui.getSaveFileName(parent, o);
    if (path.isEmpty())
        return;
    if (refusedAsOwnProject(parent, project, toFileNameBytes(path)))
        return;
    if (QFileInfo::exists(path) &&
        ui.messageBox(parent, overwriteQuestion(path), QMessageBox::Warning,
                      QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    if (!writePageOrComplain(parent, project, path))
        return;
    if (ui.messageBox(parent,
                      QCoreApplication::translate(
                          "PageCommands", "Would you like to view the new page in your browser?"),
                      QMessageBox::Question,
                      QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes)
        ui.openInBrowser(path);
}

QString previewCacheFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
           QStringLiteral("/linkfold");
}

void previewPage(QWidget* parent, const Project& project) {
    QString path = QString::fromLatin1(kPreviewFileName);
    if (refusedAsOwnProject(parent, project, toFileNameBytes(path)))
        return;
    if (!writePage(project, path).ok()) {
        // A current folder the user cannot write: the cache folder instead.
        // When that fails too, the message names the page there.
        const QString folder = previewCacheFolder();
        QDir().mkpath(folder);
        path = folder + QLatin1Char('/') + QLatin1String(kPreviewFileName);
        if (refusedAsOwnProject(parent, project, toFileNameBytes(path)) ||
            !writePageOrComplain(parent, project, path))
            return;
    }
    UiServices::instance().openInBrowser(path);
}
