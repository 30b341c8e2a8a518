#include "page/GenerateCommands.h"

#include "app/UiServices.h"
#include "editor/LFView.h"
#include "model/FileError.h"

#include <QFile>

#include <cerrno>

namespace {

// Writes the page; on failure tells the user why and returns false.
bool WritePageOrComplain(CLFView& view, const QString& path) {
    const std::string file = QFile::encodeName(path).toStdString();
    errno = 0;
    if (view.GetDocument()->WritePage(file))
        return true;
    const int err = errno;
    ShowError(&view, QString::fromUtf8(FileErrorText(FileErrorCauseFromErrno(err), file)));
    return false;
}

} // namespace

void OnPageGenerate(CLFView& view) {
    view.UpdateDocument();
    CUiServices::FileDialogOptions o;
    o.title = QStringLiteral("Select Page Name");
    o.filters = {QStringLiteral("HTML (*.htm)"), QStringLiteral("All Files (*.*)")};
    o.defaultSuffix = QStringLiteral("htm");
    o.confirmOverwrite = true;
    CUiServices& ui = CUiServices::Instance();
    const QString path = ui.GetSaveFileName(&view, o);
    if (path.isEmpty())
        return;
    if (!WritePageOrComplain(view, path))
        return;
    if (ui.MessageBox(&view, QStringLiteral("Would you like to view the new page in your browser?"),
                      QMessageBox::Question,
                      QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes)
        ui.OpenInBrowser(path);
}

void OnPagePreview(CLFView& view) {
    view.UpdateDocument();
    const QString path = QString::fromLatin1(kPreviewFileName);
    if (!WritePageOrComplain(view, path))
        return;
    CUiServices::Instance().OpenInBrowser(path);
}
