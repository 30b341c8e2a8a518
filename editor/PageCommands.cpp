#include "editor/PageCommands.h"

#include "core/FileError.h"
#include "editor/ProjectForm.h"
#include "gui/UiServices.h"

#include <QFile>

#include <cerrno>

namespace {

// Writes the page; on failure tells the user why and returns false.
bool writePageOrComplain(ProjectForm& view, const QString& path) {
    const std::string file = QFile::encodeName(path).toStdString();
    errno = 0;
    if (view.project()->writePage(file))
        return true;
    const int err = errno;
    showError(&view, QString::fromUtf8(fileErrorText(fileErrorCauseFromErrno(err), file)));
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
