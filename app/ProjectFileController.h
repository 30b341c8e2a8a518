#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <string>

class Project;
class RecentFileList;
class QWidget;

// The single-document machinery around the one project: New, open, save,
// save As, the recent-file entries and the question before changes are
// discarded. Questions, file dialogs and error messages go through
// UiServices; the window side listens to the signals.
class ProjectFileController : public QObject {
    Q_OBJECT
public:
    ProjectFileController(Project& doc, RecentFileList& recentFiles, QObject* parent = nullptr);

    // Parent window of the message boxes and file dialogs.
    void setDialogParent(QWidget* parent) { m_dialogParent = parent; }
    // Called before every save to have the form check its fields (a failed
    // check shows its message; the save goes on); empty when there is none.
    void setCheckFields(std::function<void()> check) { m_checkFields = std::move(check); }

    Project& project() const { return m_doc; }
    RecentFileList& recentFiles() const { return m_recentFiles; }

    // Commands. Each returns whether it went through.
    bool newProject();
    bool open();
    bool save() { return saveInPlace(); }
    bool saveAs() { return saveToFile(QString()); }
    // Opens recent entry index; the entry leaves the list when the open does
    // not take place.
    bool openRecentFile(int index);

    // Makes the document a new untitled project, without asking.
    void resetToUntitled();
    // Opens path as every open does (quotes stripped, made absolute, a
    // symbolic link followed). Returns true when the project at that path is
    // the open one afterwards (also when it already was).
    bool openFile(const QString& path);
    // Reads the project at path as a new untitled one (its file is never
    // saved over), after the save question. Returns whether it was read.
    bool openCopyAsUntitled(const QString& path);
    // The same for a path as the system gave it: bytes that need not be
    // valid UTF-8 (command line, recent files) are kept exactly.
    bool openLocalFile(const std::string& path);

    // Asks "save changes to %1?" when the project is modified. Returns false
    // when the command that asked must stop.
    bool maybeSave();
    // save: to the project's path, or as save As when it has none, its file
    // is missing or is read-only.
    bool saveInPlace();
    // Writes the project to path, or asks for a name when path is empty.
    // With replace the path becomes the project's path.
    bool saveToFile(const QString& path, bool replace = true);

    // The open path after the clean-up the open flow applies.
    static std::string canonicalLocalPath(const std::string& path);
    // The name proposed by save As for an untitled project: the title cut
    // before the first of " #%;/\" plus ".lfp".
    static QString proposedFileName(const QString& title);
    // True when the file cannot be saved in place: missing, or without any
    // write permission, or not writable by this process.
    static bool isReadOnlyOrMissing(const std::string& localPath);

    // "Untitled - Linkfold" or "name.lfp - Linkfold".
    QString windowTitleText() const;

signals:
    // The document holds a different project: the form must be refilled.
    void projectReplaced();
    // Title or path changed (window caption).
    void titleChanged();
    void recentFilesChanged();
    // The project was written: what it holds now is its saved state.
    void saved();
    // The project asked for is already open: bring the window forward.
    void activateRequested();
    // A note for the status bar, such as kExtrasDroppedMessage after a load.
    void statusMessage(const QString& text);

private:
    void setFilePath(const std::string& localPath, bool addToRecent = true);
    bool saveTo(const std::string& localPath);

    Project& m_doc;
    std::function<void()> m_checkFields;
    RecentFileList& m_recentFiles;
    QWidget* m_dialogParent = nullptr;
};

// The text of the save question.
QString saveChangesPrompt(const QString& title);

inline constexpr const char* kAppTitle = "Linkfold";
inline constexpr const char* kUntitled = "Untitled";
