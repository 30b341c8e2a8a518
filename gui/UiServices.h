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
// without a window ever blocking. instance() is the Qt implementation unless
// a test has installed its own with setInstance().
class UiServices {
public:
    virtual ~UiServices() = default;

    struct FileDialogOptions {
        QString title;
        QStringList filters;   // "Linkfold files (*.lfp)", "All files (*.*)"
        QString defaultSuffix; // without the dot: "lfp"
        QString initialPath;   // file or folder to start in
        bool confirmOverwrite = true;
    };

    // A message box captioned "Linkfold"; returns the button pressed.
    virtual QMessageBox::StandardButton messageBox(QWidget* parent, const QString& text,
                                                   QMessageBox::Icon icon,
                                                   QMessageBox::StandardButtons buttons) = 0;
    // Returns an empty string when the user cancels.
    virtual QString getOpenFileName(QWidget* parent, const FileDialogOptions& options) = 0;
    virtual QString getSaveFileName(QWidget* parent, const FileDialogOptions& options) = 0;
    // The colour chooser, starting on initial; nothing when the user cancels.
    virtual std::optional<QColor> getColor(QWidget* parent, const QColor& initial) = 0;
    // Runs one of the program's own modal dialogs; returns QDialog::Accepted
    // or QDialog::Rejected.
    virtual int execDialog(QDialog& dialog) = 0;
    // Opens a local file (or URL) with the desktop's default program.
    // Returns false when no program could be started, after telling the
    // user so (openOrExplain).
    virtual bool openInBrowser(const QString& pathOrUrl) = 0;

    static UiServices& instance();
    // Installs a replacement (tests); nullptr restores the Qt implementation.
    static void setInstance(UiServices* services);
};

// A filter as the program names it ("JPEG (*.jpg,*.jpeg)", "All (*.*)") in
// the form Qt's file dialog matches: patterns separated by spaces, and "*"
// for every file, extension or not.
QString toQtNameFilter(const QString& filter);

// Opens a local file (or URL) with the desktop's default program through
// xdg-open (Qt's own launcher where there is none) and says whether it
// could: xdg-open ending at once with an error (no browser set up) is a
// failure; one still running after a moment is taken as started.
bool openWithDesktop(const QString& pathOrUrl);
// What the user reads when no browser could be started to show pathOrUrl.
QString noBrowserMessage(const QString& pathOrUrl);
// openWithDesktop(), and on failure noBrowserMessage() through instance()'s
// message box; what the program's openInBrowser() does.
bool openOrExplain(const QString& pathOrUrl);

// Shorthand for the common case: an exclamation box with OK.
void showError(QWidget* parent, const QString& text);
