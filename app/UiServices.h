#pragma once

#include <QColor>
#include <QMessageBox>
#include <QString>
#include <QStringList>

#include <optional>

class QDialog;
class QWidget;

// Every modal question, file dialog, colour chooser and browser launch of the
// program goes through this one object, so that tests can answer them
// without a window ever blocking. Instance() is the Qt implementation unless
// a test has installed its own with SetInstance().
class CUiServices {
public:
    virtual ~CUiServices() = default;

    struct FileDialogOptions {
        QString title;
        QStringList filters;   // "Linkfold Files (*.lfp)", "All Files (*.*)"
        QString defaultSuffix; // without the dot: "lfp"
        QString initialPath;   // file or folder to start in
        bool confirmOverwrite = true;
    };

    // A message box captioned "Linkfold"; returns the button pressed.
    virtual QMessageBox::StandardButton MessageBox(QWidget* parent, const QString& text,
                                                   QMessageBox::Icon icon,
                                                   QMessageBox::StandardButtons buttons) = 0;
    // Returns an empty string when the user cancels.
    virtual QString GetOpenFileName(QWidget* parent, const FileDialogOptions& options) = 0;
    virtual QString GetSaveFileName(QWidget* parent, const FileDialogOptions& options) = 0;
    // The colour chooser, starting on initial; nothing when the user cancels.
    virtual std::optional<QColor> GetColor(QWidget* parent, const QColor& initial) = 0;
    // Runs one of the program's own modal dialogs; returns QDialog::Accepted
    // or QDialog::Rejected.
    virtual int ExecDialog(QDialog& dialog) = 0;
    // Opens a local file (or URL) with the desktop's default program.
    // Returns false when no program could be started.
    virtual bool OpenInBrowser(const QString& pathOrUrl) = 0;

    static CUiServices& Instance();
    // Installs a replacement (tests); nullptr restores the Qt implementation.
    static void SetInstance(CUiServices* services);
};

// A filter as the program names it ("JPEG (*.jpg,*.jpeg)", "All (*.*)") in
// the form Qt's file dialog matches: patterns separated by spaces, and "*"
// for every file, extension or not.
QString ToQtNameFilter(const QString& filter);

// Shorthand for the common case: an exclamation box with OK.
void ShowError(QWidget* parent, const QString& text);
