#pragma once

#include "gui/UiServices.h"

#include <QDialog>
#include <QList>
#include <QQueue>

#include <functional>

// Answers every modal request from queues set up by the test and records
// what was asked. An unexpected request fails the test instead of blocking.
class FakeUiServices : public UiServices {
public:
    struct Message {
        QString text;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
    };

    FakeUiServices() { setInstance(this); }
    ~FakeUiServices() override { setInstance(nullptr); }

    // Queued answers, taken in order.
    void setNextAnswer(QMessageBox::StandardButton b) { m_answers.enqueue(b); }
    void setNextFileName(const QString& name) { m_fileNames.enqueue(name); }
    void setNextColor(std::optional<QColor> c) { m_colors.enqueue(c); }
    // Called with the dialog instead of exec(); returns the dialog's result.
    void setNextDialog(std::function<int(QDialog&)> f) { m_dialogs.enqueue(std::move(f)); }
    void setBrowserResult(bool ok) { m_browserOk = ok; }

    QList<Message> messages;
    // Called as each message is shown, before it is answered.
    std::function<void(const Message&)> onMessage;
    QList<FileDialogOptions> fileDialogs;
    QStringList opened;
    int unexpected = 0;

    QMessageBox::StandardButton messageBox(QWidget*, const QString& text, QMessageBox::Icon icon,
                                           QMessageBox::StandardButtons buttons) override;
    QString getOpenFileName(QWidget*, const FileDialogOptions& o) override;
    QString getSaveFileName(QWidget*, const FileDialogOptions& o) override;
    std::optional<QColor> getColor(QWidget*, const QColor& initial) override;
    int execDialog(QDialog& dialog) override;
    bool openInBrowser(const QString& pathOrUrl) override;

private:
    QQueue<QMessageBox::StandardButton> m_answers;
    QQueue<QString> m_fileNames;
    QQueue<std::optional<QColor>> m_colors;
    QQueue<std::function<int(QDialog&)>> m_dialogs;
    bool m_browserOk = true;
};
