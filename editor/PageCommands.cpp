#include "editor/PageCommands.h"

#include "core/FileError.h"
#include "core/HeadlessGenerate.h"
#include "core/Project.h"
#include "editor/ProjectForm.h"
#include "gui/UiServices.h"

#include <QFile>
#include <QFileInfo>

namespace {

void complain(ProjectForm& view, const FileResult& result) {
    showError(&view, QFile::decodeName(QByteArray::fromStdString(fileErrorText(result))));
}

// Refuses, with a message, a page name that is the open project's own file.
bool refusedAsOwnProject(ProjectForm& view, const std::string& file) {
    const Project& project = *view.project();
    if (project.filePath().empty() || !isSameFile(project.filePath(), file))
        return false;
    complain(view, FileResult::failure(FileErrorCause::PageIsProject, file));
    return true;
}

// Writes the page; on failure tells the user why and returns false.
bool writePageOrComplain(ProjectForm& view, const QString& path) {
    const std::string file = QFile::encodeName(path).toStdString();
    if (refusedAsOwnProject(view, file))
        return false;
    const FileResult written = view.project()->writePage(file);
    if (written.ok())
        return true;
    complain(view, written);
    return false;
}

} // namespace

QString overwriteQuestion(const QString& path) {
    return QStringLiteral("%1 already exists.\nDo you want to replace it?")
        .arg(QFileInfo(path).fileName());
}

void generatePage(ProjectForm& view) {
    view.commitEdits();
    UiServices::FileDialogOptions o;
    o.title = QStringLiteral("Select Page Name");
    o.filters = {QStringLiteral("HTML (*.htm)"), QStringLiteral("All Files (*.*)")};
    o.defaultSuffix = QStringLiteral("htm");
    // The overwrite question comes after the check that the page is not the
    // project itself, so it is asked here rather than by the file dialog.
    o.confirmOverwrite = false;
    UiServices& ui = UiServices::instance();
    const QString path = ui.getSaveFileName(&view, o);
    if (path.isEmpty())
        return;
    if (refusedAsOwnProject(view, QFile::encodeName(path).toStdString()))
        return;
    if (QFileInfo::exists(path) &&
        ui.messageBox(&view, overwriteQuestion(path), QMessageBox::Warning,
                      QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    if (!writePageOrComplain(view, path))
        return;
    if (ui.messageBox(&view, QStringLiteral("Would you like to view the new page in your browser?"),
                      QMessageBox::Question,
                      QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes)
        ui.openInBrowser(path);
}

void previewPage(ProjectForm& view) {
    view.commitEdits();
    const QString path = QString::fromLatin1(kPreviewFileName);
    if (!writePageOrComplain(view, path))
        return;
    UiServices::instance().openInBrowser(path);
}
