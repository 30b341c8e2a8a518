#include "FakeUiServices.h"

QMessageBox::StandardButton FakeUiServices::messageBox(QWidget*, const QString& text,
                                                       QMessageBox::Icon icon,
                                                       QMessageBox::StandardButtons buttons) {
    messages.append({text, icon, buttons});
    if (onMessage)
        onMessage(messages.back());
    if (!m_answers.isEmpty())
        return m_answers.dequeue();
    // Unanswered: the first button offered, as a plain OK would be.
    if (buttons & QMessageBox::Ok)
        return QMessageBox::Ok;
    ++unexpected;
    return QMessageBox::Cancel;
}

QString FakeUiServices::getOpenFileName(QWidget*, const FileDialogOptions& o) {
    fileDialogs.append(o);
    if (m_fileNames.isEmpty()) {
        ++unexpected;
        return {};
    }
    return m_fileNames.dequeue();
}

QString FakeUiServices::getSaveFileName(QWidget*, const FileDialogOptions& o) {
    fileDialogs.append(o);
    if (m_fileNames.isEmpty()) {
        ++unexpected;
        return {};
    }
    return m_fileNames.dequeue();
}

std::optional<QColor> FakeUiServices::getColor(QWidget*, const QColor&) {
    if (m_colors.isEmpty()) {
        ++unexpected;
        return std::nullopt;
    }
    return m_colors.dequeue();
}

int FakeUiServices::execDialog(QDialog& dialog) {
    if (m_dialogs.isEmpty()) {
        ++unexpected;
        return QDialog::Rejected;
    }
    return m_dialogs.dequeue()(dialog);
}

bool FakeUiServices::openInBrowser(const QString& pathOrUrl) {
    opened.append(pathOrUrl);
    // As the program's own: a failure is reported to the user.
    if (!m_browserOk)
        messageBox(nullptr, noBrowserMessage(pathOrUrl), QMessageBox::Warning, QMessageBox::Ok);
    return m_browserOk;
}
