#include "editor/PageCommands.h"

#include "core/FileError.h"
#include "core/HeadlessGenerate.h"
#include "core/Project.h"
#include "editor/ProjectForm.h"
#include "gui/UiServices.h"

#include <QFile>

namespace {

// Writes the page; on failure tells the user why and returns false.
bool writePageOrComplain(ProjectForm& view, const QString& path) {
    const std::string file = QFile::encodeName(path).toStdString();
    const Project& project = *view.project();
    const FileResult written = !project.filePath().empty() && isSameFile(project.filePath(), file)
                                   ? FileResult::failure(FileErrorCause::PageIsProject, file)
                                   : project.writePage(file);
    if (written.ok())
        return true;
    showError(&view, QFile::decodeName(QByteArray::fromStdString(fileErrorText(written))));
    return false;
}

} // namespace

void generatePage(ProjectForm& view) {
    view.commitEdits();
    UiServices::FileDialogOptions o;
    o.title = QStringLiteral("Select Page Name");
    o.filters = {QStringLiteral("HTML (*.htm)"), QStringLiteral("All Files (*.*)")};
    o.defaultSuffix = QStringLiteral("htm");
    o.confirmOverwrite = true;
    UiServices& ui = UiServices::instance();
    const QString path = ui.getSaveFileName(&view, o);
    if (path.isEmpty())
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
