#pragma once

#include "app/UiServices.h"

#include <QDialog>
#include <QList>
#include <QQueue>

#include <functional>

// Answers every modal request from queues set up by the test and records
// what was asked. An unexpected request fails the test instead of blocking.
class CFakeUiServices : public CUiServices {
public:
    struct Message {
        QString text;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
    };

    CFakeUiServices() { SetInstance(this); }
    ~CFakeUiServices() override { SetInstance(nullptr); }

    // Queued answers, taken in order.
    void setNextAnswer(QMessageBox::StandardButton b) { m_answers.enqueue(b); }
    void setNextFileName(const QString& name) { m_fileNames.enqueue(name); }
    void setNextColor(std::optional<QColor> c) { m_colors.enqueue(c); }
    // Called with the dialog instead of exec(); returns the dialog's result.
    void setNextDialog(std::function<int(QDialog&)> f) { m_dialogs.enqueue(std::move(f)); }
    void setBrowserResult(bool ok) { m_browserOk = ok; }

    QList<Message> messages;
    QList<FileDialogOptions> fileDialogs;
    QStringList opened;
    int unexpected = 0;

    QMessageBox::StandardButton MessageBox(QWidget*, const QString& text, QMessageBox::Icon icon,
                                           QMessageBox::StandardButtons buttons) override;
    QString GetOpenFileName(QWidget*, const FileDialogOptions& o) override;
    QString GetSaveFileName(QWidget*, const FileDialogOptions& o) override;
    std::optional<QColor> GetColor(QWidget*, const QColor& initial) override;
    int ExecDialog(QDialog& dialog) override;
    bool OpenInBrowser(const QString& pathOrUrl) override;

private:
    QQueue<QMessageBox::StandardButton> m_answers;
    QQueue<QString> m_fileNames;
    QQueue<std::optional<QColor>> m_colors;
    QQueue<std::function<int(QDialog&)>> m_dialogs;
    bool m_browserOk = true;
};
