#include "editor/PageCommands.h"

#include "core/FileError.h"
#include "core/Project.h"
#include "gui/UiServices.h"

#include <QFile>

#include <cerrno>

namespace {

// Writes the page; on failure tells the user why and returns false.
bool writePageOrComplain(QWidget* parent, const Project& project, const QString& path) {
    const std::string file = QFile::encodeName(path).toStdString();
    errno = 0;
    if (project.writePage(file))
        return true;
    const int err = errno;
    showError(parent, QString::fromUtf8(fileErrorText(fileErrorCauseFromErrno(err), file)));
    return false;
}

} // namespace

void generatePage(QWidget* parent, const Project& project) {
    UiServices::FileDialogOptions o;
    o.title = QStringLiteral("Select Page Name");
    o.filters = {QStringLiteral("HTML (*.htm)"), QStringLiteral("All Files (*.*)")};
    o.defaultSuffix = QStringLiteral("htm");
    o.confirmOverwrite = true;
    UiServices& ui = UiServices::instance();
    const QString path = ui.getSaveFileName(parent, o);
    if (path.isEmpty())
        return;
    if (!writePageOrComplain(parent, project, path))
        return;
    if (ui.messageBox(
            parent, QStringLiteral("Would you like to view the new page in your browser?"),
            QMessageBox::Question, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes)
        ui.openInBrowser(path);
}

void previewPage(QWidget* parent, const Project& project) {
    const QString path = QString::fromLatin1(kPreviewFileName);
    if (!writePageOrComplain(parent, project, path))
        return;
    UiServices::instance().openInBrowser(path);
}
